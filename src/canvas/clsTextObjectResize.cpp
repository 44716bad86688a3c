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
#include "platform/imaging/ImgxCanvas.h"
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
    if (w + d > 6 && h + d > 6) {
        const int newW = corner || horizontal ? roundToInt(w + d) : w;
        const int newH = corner || !horizontal ? roundToInt(h + d) : h;
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
    switch (mIntOldResizeMode) {
    case 1: case 2: case 3: case 4: case 6: case 8:
        adaptFontsizeToHeight(newH);
        adaptWidthInPercent(newW, false);
        break;
    case 5: case 7:
        adaptWidthInPercent(newW, true);
        break;
    default: break;
    }
    TextToImgX(gObjMoveableObjects()->objEffects.get());
    CanvasServices::get().adaptObjectSizeToZoom(mstrIndex);
}

void clsTextObject::fit(double &q, double m0, int target, bool byHeight, bool zeroFactorIsOne)
{
    Screen::get().setMousePointer(Pointer::Hourglass);
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
        CanvasServices::get().adaptObjectSizeToZoom(mstrIndex);
        const int m = byHeight ? H() : W();
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
        fit(q, measureResizeCopy ? mImgXResize->width() : W(), target, false, false);
    } catch (...) {
        reportError(kResize, source("adaptWidthInPercent"));
    }
}

void clsTextObject::stretchToWidth(int target, clsEffects *effects)
{
    const double size = fontSize();
    try {
        const double z = gDblZoomFactor;
        setFontSize(size * z);
        TextToImgX(effects);
        // The target is a width on the canvas, at its zoom: it is compared with the text as
        // the canvas shows it, as it stands.
        const int t = target;
        int w = W();
        if (t < 1 || w == t) {
            setFontSize(size);
            return;
        }
        Screen::get().setMousePointer(Pointer::Hourglass);
        if (w == 0)
            throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
        // From the proportional first guess the width percent goes in steps of 0.01: up to the
        // first step at which the text is as wide as the target, or down to the first at which
        // it is no wider (or the percent reaches 1). The width grows with the percent, so that
        // step is found by doubling the distance and then halving it, not one step at a time.
        const float before = mSnglWidthInPercent;
        const double first = float(mSnglWidthInPercent * double(t) / w);
        const auto percentAt = [first](std::int64_t step, int direction) {
            return float(first + direction * 0.01 * double(step));
        };
        const auto widthAt = [&](float percent) {
            mSnglWidthInPercent = percent;
            return pictureWidth(effects);
        };
        const int direction = widthAt(float(first)) <= t ? 1 : -1;
        // The steps there are: up to the widest stretch, down to 1 %.
        const std::int64_t last = direction > 0 ? std::int64_t((kMaxStretchPercent - first) / 0.01)
                                                : std::int64_t(std::ceil((first - 1) / 0.01));
        const auto reached = [&](std::int64_t step) {
            if (direction < 0 && (step >= last || percentAt(step, direction) <= 1))
                return true;
            const int width = widthAt(percentAt(step, direction));
            return direction > 0 ? width >= t : width <= t;
        };
        std::int64_t done = 0, found = 0;
        if (!reached(0)) {
            std::int64_t step = 1;
            while (step < last && !reached(step)) {
                done = step;
                step *= 2;
            }
            found = std::min(step, std::max<std::int64_t>(last, 1));
            // done does not reach the target, found does (or is the last step there is).
            while (found - done > 1) {
                const std::int64_t mid = done + (found - done) / 2;
                (reached(mid) ? found : done) = mid;
            }
        }
        // A text whose width does not follow its percent keeps the percent it had.
        mSnglWidthInPercent = direction > 0 && found == last && !reached(last) ? before
                                                                               : std::max(1.0f, percentAt(found, direction));
        setFontSize(size);
        TextToImgX(effects);
        Screen::get().setMousePointer(Pointer::Default);
    } catch (...) {
        setFontSize(size);
        reportError(kResize, source("stretchToWidth"));
    }
}

void clsTextObject::stretchToHeight(int target, clsEffects *effects)
{
    try {
        const int t = roundToInt(target * gDblZoomFactor);
        if (t < 1 || H() == t)
            return;
        Screen::get().setMousePointer(Pointer::Hourglass);
        if (H() == 0)
            throw AppError(ErrNo::DivisionByZero, QStringLiteral("The text measures 0 pixels"));
        mSnglWidthInPercent = float(mSnglWidthInPercent * double(t) / H());
        TextToImgX(effects);
        Screen::get().setMousePointer(Pointer::Default);
    } catch (...) {
        reportError(kResize, source("stretchToHeight"));
    }
}

void clsTextObject::checkPosition() { clampToCanvas(CanvasServices::get().editorCanvas()); }
