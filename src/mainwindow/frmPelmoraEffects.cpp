// The image effects of the main window on a side's image: the buttons of each side and the
// effects popup. Each ends with the side's preview rendered again; the side's texts and
// pictures stay as they are.
#include "canvas/clsEffects.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/PopupMenus.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QMenu>

namespace {
void busy(bool on)
{
    platform::Screen::get().setMousePointer(on ? platform::Pointer::Hourglass : platform::Pointer::Default);
}
// The arrow with the hourglass: the window still answers while the effect runs.
void working(bool on)
{
    platform::Screen::get().setMousePointer(on ? platform::Pointer::ArrowHourglass : platform::Pointer::Default);
}
} // namespace

void frmPelmora::buildEffectsMenu()
{
    mnuPopUpEffects = new QMenu(this);
    mnuPopUpEffects->setObjectName(QStringLiteral("mnuPopUpEffects"));
    auto entry = [this](QMenu *menu, const char *name, const QString &caption, auto handler, int index = -1) {
        QString objectName = QLatin1String(name);
        if (index >= 0)
            objectName += u'_' + QString::number(index);
        auto *a = new QAction(caption, menu);
        a->setObjectName(objectName);
        if (index >= 0)
            a->setProperty("index", index);
        mPopUpCommands.emplace_back(a, handler);
        menu->addAction(a);
        return a;
    };
    auto subMenu = [this](const char *name, const QString &caption) {
        auto *m = new QMenu(caption, mnuPopUpEffects);
        m->setObjectName(QLatin1String(name));
        mnuPopUpEffects->addMenu(m);
        return m;
    };

    QMenu *brightness = subMenu("mnuPopUpBrightness", QStringLiteral("Brightness"));
    entry(brightness, "mnuPopUpAutoBrightness", QStringLiteral("Automatic"), [this] { mnuPopUpAutoBrightness_Click(); });
    entry(brightness, "mnuPopUpManualBrightness", QStringLiteral("Manual..."), [this] { mnuPopUpManualBrightness_Click(); });
    entry(mnuPopUpEffects, "mnuPopUpGrayscale", QStringLiteral("Grayscale"), [this] { mnuPopUpGrayscale_Click(); });
    entry(mnuPopUpEffects, "mnuPopUpNegative", QStringLiteral("Negative"), [this] { mnuPopUpNegative_Click(); });
    QMenu *sharpen = subMenu("mnuPopUpSharpenEffects", QStringLiteral("Sharpen"));
    QMenu *soften = subMenu("mnuPopUpSoftenEffects", QStringLiteral("Soften"));
    for (int percent : {25, 50, 75, 100}) {
        const QString caption = QString::number(percent) + u'%';
        entry(sharpen, "mnuPopUpSharpenPercent", caption, [this, percent] { mnuPopUpSharpenPercent_Click(percent); }, percent);
        entry(soften, "mnuPopUpSoftenPercent", caption, [this, percent] { mnuPopUpSoftenPercent_Click(percent); }, percent);
    }
    entry(sharpen, "mnuPopUpSharpenPercentManual", QStringLiteral("Manual..."), [this] { mnuPopUpSharpenPercentManual_Click(); });
    entry(soften, "mnuPopUpSoftenPercentManual", QStringLiteral("Manual..."), [this] { mnuPopUpSoftenPercentManual_Click(); });
    QMenu *flip = subMenu("mnuPopUpFlip", QStringLiteral("Flip"));
    entry(flip, "mnuPopUpFlipHorizontal", QStringLiteral("Horizontal"), [this] { mnuPopUpFlipHorizontal_Click(); });
    entry(flip, "mnuPopUpFlipVertical", QStringLiteral("Vertical"), [this] { mnuPopUpFlipVertical_Click(); });
}

platform::ImgxImage &frmPelmora::sideImage(int side) const
{
    if (side < 0 || side > 1)
        throw AppError(ErrNo::SubscriptOutOfRange);
    if (!igxBackup[size_t(side)])
        throw AppError(ErrNo::ObjectNotSet, QStringLiteral("The side has no image."));
    return *igxBackup[size_t(side)];
}

void frmPelmora::cmdInvert_Click(int side)
{
    try {
        sideImage(side).negative(QString());
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_INVERT"), QStringLiteral("frmPelmora.cmdInvert_Click"));
    }
}

void frmPelmora::cmdRotate_Click(int side)
{
    try {
        working(true);
        platform::ImgxImage &image = sideImage(side);
        const QSize before(image.width(), image.height());
        image.rotate(90.0f, 0, 255, false, QString());
        keepSideObjectsOnCover(size_t(side), before);
        working(false);
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_ROTATE"), QStringLiteral("frmPelmora.cmdRotate_Click"));
    }
}

void frmPelmora::cmdSharpen_Click(int side)
{
    try {
        working(true);
        sideImage(side).sharpen(15, 3, true, QString());
        working(false);
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_SHARPEN"), QStringLiteral("frmPelmora.cmdSharpen_Click"));
    }
}

void frmPelmora::cmdBrightness_Click(int side)
{
    try {
        setMainFormTopmost(this, false, true);
        gObjCover().setEditedIndex(std::int16_t(side));
        mBoolReady = false;
        MainWindowServices::get().showBrightness(this, igxBackup[size_t(side)]);
        mBoolReady = true;
        busy(true);
        convertImageSizeToCover(std::int16_t(side));
        busy(false);
    } catch (...) {
        mBoolReady = true;
        reportError(QStringLiteral("ERR_BRIGHTER"), QStringLiteral("frmPelmora.cmdBrightness_Click"));
    }
}

void frmPelmora::cmdEffects_Click(int side)
{
    mIntActualSide = std::int16_t(side);
    const ButtonPlus *b = cmdEffects[size_t(side)];
    const QPoint at = b->mapTo(this, QPoint(0, 0));
    doPopUpMenu(at.x() + b->width(), at.y());
}

void frmPelmora::doPopUpMenu(int x, int y)
{
    try {
        // The chosen entry's command runs here, before the preview is rendered again.
        if (QAction *chosen = platform::PopupMenus::get().popup(*mnuPopUpEffects, mapToGlobal(QPoint(x, y))))
            for (const auto &[action, command] : mPopUpCommands)
                if (action == chosen)
                    command();
        convertImageSizeToCover(mIntActualSide);
    } catch (...) {
        reportError(QStringLiteral("ERR_POPUPMENU"), QStringLiteral("frmPelmora.doPopUpMenu"));
    }
}

template <class F>
void frmPelmora::withSideElement(F effect)
{
    if (!mObjEffects)
        mObjEffects = std::make_unique<clsEffects>();
    sideImage(mIntActualSide);
    ImgxElement element(igxBackup[size_t(mIntActualSide)]);
    effect(*mObjEffects, element);
    igxBackup[size_t(mIntActualSide)] = element.image;
}

void frmPelmora::mnuPopUpAutoBrightness_Click()
{
    withSideElement([](clsEffects &e, clsElement &el) { e.autoBrightness(el); });
}

void frmPelmora::mnuPopUpManualBrightness_Click() { cmdBrightness_Click(mIntActualSide); }

void frmPelmora::mnuPopUpGrayscale_Click()
{
    withSideElement([](clsEffects &e, clsElement &el) { e.grayscale(el); });
}

void frmPelmora::mnuPopUpNegative_Click()
{
    withSideElement([](clsEffects &e, clsElement &el) { e.negative(el); });
}

void frmPelmora::mnuPopUpFlipHorizontal_Click()
{
    withSideElement([](clsEffects &e, clsElement &el) { e.flip(el, 0); });
}

void frmPelmora::mnuPopUpFlipVertical_Click()
{
    withSideElement([](clsEffects &e, clsElement &el) { e.flip(el, 1); });
}

void frmPelmora::mnuPopUpSharpenPercent_Click(int index)
{
    sideImage(mIntActualSide).sharpen(index, 3, true, QString());
}

void frmPelmora::mnuPopUpSoftenPercent_Click(int index)
{
    sideImage(mIntActualSide).soften(index, QString());
}

void frmPelmora::mnuPopUpSharpenPercentManual_Click() { doSharpSoft(true); }

void frmPelmora::mnuPopUpSoftenPercentManual_Click() { doSharpSoft(false); }

void frmPelmora::doSharpSoft(bool sharpen)
{
    try {
        mBoolReady = false;
        MainWindowServices::get().showSharpSoft(this, igxBackup[size_t(mIntActualSide)], sharpen, false);
        mBoolReady = true;
    } catch (...) {
        mBoolReady = true;
        reportError(QStringLiteral("ERR_CHANGES"), QStringLiteral("frmPelmora.doSharpSoft"));
    }
}
