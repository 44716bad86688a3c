#include "canvas/clsEffects.h"

#include "canvas/clsBackground.h"
#include "canvas/clsPictureObject.h"
#include "core/ErrorReport.h"
#include "platform/imaging/Colors.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"

#include <QScopeGuard>

namespace {

using platform::Screen;

// Runs one effect on every target of the element, with the busy pointer while it runs and
// the program's error report when it fails.
template <class F>
void runEffect(clsElement &element, const char *key, const char *proc, F apply)
{
    try {
        const auto images = clsEffects::targets(element);
        if (!images.empty())
            Screen::get().setMousePointer(platform::Pointer::Hourglass);
        for (const auto &img : images)
            if (img)
                apply(*img);
        Screen::get().setMousePointer(platform::Pointer::Default);
    } catch (...) {
        reportError(QString::fromLatin1(key), QStringLiteral("clsEffects.") + QLatin1String(proc));
    }
}

} // namespace

std::vector<platform::ImgxImagePtr> clsEffects::targets(clsElement &element)
{
    const QString type = element.typeName();
    if (type == QLatin1String("clsPictureObject")) {
        auto &p = static_cast<clsPictureObject &>(element);
        std::vector<platform::ImgxImagePtr> t{p.mImgXPicture};
        if (p.mBoolIsRotated)
            t.push_back(p.mImgXBackup);
        return t;
    }
    if (type == QLatin1String("clsBackground")) {
        auto &b = static_cast<clsBackground &>(element);
        std::vector<platform::ImgxImagePtr> t;
        if (b.mIgxCtrlRefToBackground)
            t.push_back(b.mIgxCtrlRefToBackground->image());
        if (b.mBoolIsRotated)
            t.push_back(b.mImgXBackup);
        return t;
    }
    if (type == QLatin1String("ImgX"))
        return {static_cast<ImgxElement &>(element).image};
    return {};
}

void clsEffects::soften(clsElement &element, long lngPercent)
{
    runEffect(element, "ERR_SOFTEN", "soften", [&](platform::ImgxImage &i) { i.soften(int(lngPercent)); });
}

void clsEffects::sharpen(clsElement &element, long lngPercent, long lngFilterSize, bool boolIgnoreAlpha)
{
    runEffect(element, "ERR_SHARPEN", "sharpen", [&](platform::ImgxImage &i) {
        i.sharpen(int(lngPercent), int(lngFilterSize), boolIgnoreAlpha);
    });
}

void clsEffects::rotate(platform::ImgxImage &image, float singleAngle, long lngColor, bool boolFastMode)
{
    Screen::get().setMousePointer(platform::Pointer::Hourglass);
    // A turn refused for its size (or its memory) leaves the pointer as it was before.
    const auto pointer = qScopeGuard([] { Screen::get().setMousePointer(platform::Pointer::Default); });
    image.rotate(singleAngle, std::uint32_t(lngColor), 0, boolFastMode, platform::kNoUndo);
}

void clsEffects::negative(clsElement &element)
{
    runEffect(element, "ERR_NEGATIV", "negative", [](platform::ImgxImage &i) { i.negative(); });
}

void clsEffects::colorize(clsElement &element, std::uint8_t byteHue, std::uint8_t byteSat, std::uint8_t byteLum,
                          const QString &strUndoText)
{
    runEffect(element, "ERR_COLORIZE", "colorize", [&](platform::ImgxImage &i) {
        const QRgb rgb = platform::imaging::hslToRgb(byteHue, byteSat, byteLum);
        i.colorize(platform::imaging::toColorRef(QColor(rgb)), strUndoText);
    });
}

void clsEffects::grayscale(clsElement &element) { colorize(element, 0, 0, 127, QStringLiteral("Grayscale")); }

void clsEffects::autoBrightness(clsElement &element)
{
    runEffect(element, "ERR_BRIGHTER", "autoBrightness",
              [](platform::ImgxImage &i) { i.autoBrightness(8, 248, QStringLiteral("Auto-Brightness")); });
}

void clsEffects::flip(clsElement &element, std::uint8_t byteDirection)
{
    runEffect(element, "ERR_FLIP", "flip", [&](platform::ImgxImage &i) { i.flip(byteDirection); });
}
