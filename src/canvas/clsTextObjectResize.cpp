// Resizing a text object by its eight handles, fitting the text to the size reached, the
// stretch commands and the position check.
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/mdlUtil.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/ui/Screen.h"

#include <cmath>

using platform::kNoUndo;
using platform::Screen;
namespace Pointer = platform::Pointer;

namespace {
QString source(const char *proc) { return QStringLiteral("clsTextObject.") + QLatin1String(proc); }
const QString kResize = QStringLiteral("ERR_RESIZE");
} // namespace

std::int16_t clsTextObject::isInResizePosition(int relX, int relY)
{
    // A rotated text has no handles.
    if (mstrIndex != gObjMoveableObjects()->mStrFocusedObjectIndex || mBoolDeleted || mBoolIsRotated)
        return 0;
    return handleAt(relX, relY);
}

void clsTextObject::startResize(int x, int y)
{
    try {
        // A snapshot of its own for the undo entry; never one an older entry still holds.
        auto snapshot = std::make_shared<clsTextObject>();
        gObjTextObjectBefore = snapshot;
        snapshot->copy(*this);
        gObjUndos()->addOtherUndo(mstrIndex, clsOtherUndo::EditText, QStringLiteral("AUTO"), clsCanvasObjectPtr(snapshot));
        if (!mBoolIsRotated)
            startResizeOriginal(x, y);
        gObjTextObjectBefore.reset();
    } catch (...) {
        reportError(kResize, source("startResize"));
    }
}

void clsTextObject::startResizeOriginal(int x, int y)
{
    mImgXResize->importImage(*mImgXPicture, kNoUndo);
    mImgXResize->setImageType(platform::ImgxImage::kTypeInMemory);
    // While the mouse moves only a transparent blank of the text's size is resized.
    mImgXPicture->blank(mImgXResize->width(), mImgXResize->height(), 0, 0, 6, kNoUndo);
    mIntResizing = isInResizePosition(x - X(), y - Y());
}

void clsTextObject::doResize(int x, int y)
{
    try {
        if (!mBoolIsRotated)
            doResizeOriginal(x, y);
    } catch (...) {
        reportError(kResize, source("doResize"));
    }
}

void clsTextObject::doResizeOriginal(int x, int y)
{
    setFocus(CanvasServices::get().editorCanvas(), false);
    const int X0 = X(), Y0 = Y(), w = W(), h = H();
    double d = 0;
    bool corner = false, horizontal = false;
    switch (mIntResizing) {
    case 1: d = ((X0 - x) + (Y0 - y)) / 2.0; corner = true; break;
    case 2: d = ((X0 - x) + (y - (Y0 + h))) / 2.0; corner = true; break;
    case 3: d = ((x - (X0 + w)) + (Y0 - y)) / 2.0; corner = true; break;
    case 4: d = ((x - (X0 + w)) + (y - (Y0 + h))) / 2.0; corner = true; break;
    case 5: d = (X0 - x) / 2.0; horizontal = true; break;
    case 6: d = (Y0 - y) / 2.0; break;
    case 7: d = (x - (X0 + w)) / 2.0; horizontal = true; break;
    case 8: d = (y - (Y0 + h)) / 2.0; break;
    default: mIntOldResizeMode = mIntResizing; return;
    }
    const int newW = corner || horizontal ? roundToInt(w + d) : w;
    const int newH = corner || !horizontal ? roundToInt(h + d) : h;
    // A size past the picture limits is not followed: the blank stays at the last one.
    if (w + d > 6 && h + d > 6 && platform::withinPictureLimits(QSize(newW, newH))) {
        mImgXPicture->resize(newW, newH, platform::imaging::ResizeMode::Fast, kNoUndo);
        const int dw = w - W(), dh = h - H();
        // The side opposite the dragged handle stays where it is.
        if (mIntResizing == 1 || mIntResizing == 2 || mIntResizing == 5)
            mObjPointMousePos->mLngX = X0 + dw;
        if (mIntResizing == 1 || mIntResizing == 3 || mIntResizing == 6)
            mObjPointMousePos->mLngY = Y0 + dh;
    }
    mIntOldResizeMode = mIntResizing;
}

void clsTextObject::stopResize()
{
    try {
        if (!mBoolIsRotated)
            stopResizeOriginal();
        checkPosition();
    } catch (...) {
        reportError(kResize, source("stopResize"));
    }
}

void clsTextObject::stopResizeOriginal()
{
    const int newW = W(), newH = H();
    mImgXPicture->importImage(*mImgXResize, kNoUndo);
    changeSize([&] {
        const QuietTooLarge quiet;
        switch (mIntOldResizeMode) {
        case 1: case 2: case 3: case 4: case 6: case 8:
            adaptFontsizeToHeight(newH);
            if (!quiet.refused())
                adaptWidthInPercent(newW, false);
            break;
        case 5: case 7:
            adaptWidthInPercent(newW, true);
            break;
        default: break;
        }
        if (quiet.refused() || !drawableAtFullScale())
            return;
        // The fit measured the text; it is drawn once, at the canvas zoom.
        CanvasServices::get().adaptObjectSizeToZoom(mstrIndex);
    });
}

void clsTextObject::changeSize(const std::function<void()> &change)
{
    const clsTextObject before = [this] {
        clsTextObject copied;
        copied.copy(*this);
        return copied;
    }();
    bool refused = false;
    {
        const QuietTooLarge quiet;
        change();
        refused = quiet.refused();
    }
    if (refused) {
        copy(before);
        tellTooLarge();
    }
}

void clsTextObject::fit(double &q, double m0, int target, bool byHeight, bool zeroFactorIsOne)
{
    Screen::get().setMousePointer(Pointer::Hourglass);
    const QuietTooLarge quiet;
    if (m0 == 0)
        throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
    q = q * target / m0;
    int n = 0, phase = 0;
    enum { None, Increase, Decrease } last = None;
    auto apply = [&] {
        if (byHeight)
            setFontSize(std::max(1.0, q));
        else
            mSnglWidthInPercent = float(std::max(1.0, q));
    };
    for (;;) {
        ++n;
        apply();
        // Each pass measures the picture the text would have at the canvas zoom; only a turned
        // text, whose picture is made by the turn, is drawn for it.
        QSize measured;
        if (turnsPicture()) {
            CanvasServices::get().adaptObjectSizeToZoom(mstrIndex);
            measured = QSize(W(), H());
        } else {
            measured = pictureSizeAtZoom(gDblZoomFactor);
        }
        // A size whose text cannot be drawn ends the fit; the caller takes the text back.
        if (quiet.refused())
            break;
        const int m = byHeight ? measured.height() : measured.width();
        if (m == 0)
            throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
        double f = double(target) / m;
        if (f == 0 && zeroFactorIsOne)
            f = 1;
        if (m > target) {
            q = phase == 0 ? q * f : q - 1;
            if (n >= 2 && last == Increase)
                ++phase;
            last = Decrease;
        } else if (m < target) {
            q = phase == 0 ? q * f : q + 1;
            if (n >= 2 && last == Decrease)
                ++phase;
            last = Increase;
        } else {
            break;
        }
        // A font size never goes below 1 point, a width below 1 percent.
        q = std::max(1.0, q);
        if (n >= kMaxFitPasses || phase >= 2)
            break;
    }
    apply();
    Screen::get().setMousePointer(Pointer::Default);
}

void clsTextObject::adaptFontsizeToHeight(int target)
{
    try {
        if (gDblZoomFactor == 0)
            throw AppError(ErrNo::DivisionByZero);
        double q = fontSize();
        fit(q, roundHalfEven(H() / gDblZoomFactor), target, true, true);
    } catch (...) {
        reportError(kResize, source("adaptFontsizeToHeight"));
    }
}

void clsTextObject::adaptWidthInPercent(int target, bool measureResizeCopy)
{
    try {
        double q = mSnglWidthInPercent;
        // The width the picture has at the call: as a fit of the height has left the text,
        // which the fit measured and did not draw.
        const int width = measureResizeCopy ? mImgXResize->width()
                          : turnsPicture()  ? W()
                                            : pictureSizeAtZoom(gDblZoomFactor).width();
        fit(q, width, target, false, false);
    } catch (...) {
        reportError(kResize, source("adaptWidthInPercent"));
    }
}

void clsTextObject::stretchToWidth(int target, clsEffects *effects)
{
    changeSize([&] { stretchToWidthOriginal(target, effects); });
}

void clsTextObject::stretchToWidthOriginal(int target, clsEffects *effects)
{
    const double size = fontSize();
    try {
        const double z = gDblZoomFactor;
        setFontSize(size * z);
        // The target is a width on the canvas, at its zoom: it is compared with the text as
        // the canvas shows it, as it stands, measured once, without drawing it, for every width
        // percent the search tries. The text is drawn once, at the end, at the canvas zoom.
        const platform::imaging::TextMeasurement measured(currentStyle(), mstrText, mbyteAlignment);
        const int t = target;
        const int w = pictureWidth(effects, measured);
        if (t < 1 || w == t) {
            TextToImgX(effects);
            setFontSize(size);
            return;
        }
        Screen::get().setMousePointer(Pointer::Hourglass);
        if (w == 0)
            throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
        // From the proportional first guess the width percent goes in steps of 0.01: up to the
        // first step at which the text is as wide as the target, or down to the first at which
        // it is no wider, but not past the widest stretch or below 1 %. The width grows with the
        // percent, so that step is found by halving the steps there are.
        const float before = mSnglWidthInPercent;
        const double first = float(mSnglWidthInPercent * double(t) / w);
        const auto widthAt = [&](float percent) {
            mSnglWidthInPercent = percent;
            return pictureWidth(effects, measured);
        };
        const bool up = widthAt(float(first)) <= t;
        const double step = up ? 0.01 : -0.01;
        const auto percentAt = [&](std::int64_t n) { return float(first + step * double(n)); };
        const auto reached = [&](std::int64_t n) {
            const int width = widthAt(percentAt(n));
            return up ? width >= t : width <= t;
        };
        // The steps there are: up to the widest stretch, down to 1 %. The search takes the last
        // step down when none before it reaches the target, and one past the last step up.
        const std::int64_t last = std::max<std::int64_t>(
            0, up ? std::int64_t((kMaxStretchPercent - first) / 0.01) : std::int64_t(std::ceil((first - 1) / 0.01)));
        std::int64_t low = 0, high = up ? last + 1 : last;
        while (low < high) {
            const std::int64_t mid = low + (high - low) / 2;
            if (reached(mid))
                high = mid;
            else
                low = mid + 1;
        }
        // A text that does not reach the target at the widest stretch keeps the percent it had.
        mSnglWidthInPercent = low > last ? before : std::max(1.0f, percentAt(low));
        setFontSize(size);
        if (drawableAtFullScale())
            renderAtZoom(z, effects);
        Screen::get().setMousePointer(Pointer::Default);
    } catch (...) {
        setFontSize(size);
        reportError(kResize, source("stretchToWidth"));
    }
}

void clsTextObject::stretchToHeight(int target, clsEffects *effects)
{
    changeSize([&] { stretchToHeightOriginal(target, effects); });
}

void clsTextObject::stretchToHeightOriginal(int target, clsEffects *effects)
{
    try {
        const int t = roundToInt(target * gDblZoomFactor);
        // The text is drawn once, at the canvas zoom, stretched or not.
        if (t < 1 || H() == t) {
            renderAtZoom(gDblZoomFactor, effects);
            return;
        }
        Screen::get().setMousePointer(Pointer::Hourglass);
        if (H() == 0)
            throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
        mSnglWidthInPercent = float(mSnglWidthInPercent * double(t) / H());
        if (drawableAtFullScale())
            renderAtZoom(gDblZoomFactor, effects);
        Screen::get().setMousePointer(Pointer::Default);
    } catch (...) {
        reportError(kResize, source("stretchToHeight"));
    }
}

void clsTextObject::checkPosition() { clampToCanvas(CanvasServices::get().editorCanvas()); }
