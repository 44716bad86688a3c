// Resizing a picture object by its eight handles, and the position check.
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsUndos.h"
#include "core/ErrorReport.h"
#include "core/mdlUtil.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"

using platform::kNoUndo;
using platform::Screen;
namespace Pointer = platform::Pointer;

namespace {
QString source(const char *proc) { return QStringLiteral("clsPictureObject.") + QLatin1String(proc); }
const QString kResize = QStringLiteral("ERR_RESIZE");
} // namespace

std::int16_t clsPictureObject::isInResizePosition(int relX, int relY)
{
    if (mstrIndex != gObjMoveableObjects()->mStrFocusedObjectIndex || mBoolDeleted)
        return 0;
    return handleAt(relX, relY);
}

void clsPictureObject::startResize(int x, int y)
{
    try {
        mObjPointResizeStart.copy(*mObjPointMousePos);
        mImgXResize->importImage(*mImgXPicture, kNoUndo);
        mImgXResize->setImageType(platform::ImgxImage::kTypeInMemory);
        // While the mouse moves only a transparent blank of the picture's size is resized.
        mImgXPicture->blank(mImgXResize->width(), mImgXResize->height(), 0, 0, 6, kNoUndo);
        mIntResizing = isInResizePosition(x - X(), y - Y());
    } catch (...) {
        reportError(kResize, source("startResize"));
    }
}

void clsPictureObject::doResize(int x, int y)
{
    try {
        setFocus(CanvasServices::get().editorCanvas(), false);
        const int X0 = X(), Y0 = Y(), w = W(), h = H();
        if (w == 0)
            return;
        int newW = w, newH = h;
        double d = 0;
        switch (mIntResizing) {
        case 1: case 2: d = X0 - x; break;
        case 3: case 4: d = x - (X0 + w); break;
        case 5: d = X0 - x; break;
        case 6: d = Y0 - y; break;
        case 7: d = x - (X0 + w); break;
        case 8: d = y - (Y0 + h); break;
        default: return;
        }
        if (mIntResizing <= 4) {
            // Corners follow the horizontal movement and keep the aspect ratio.
            newW = roundToInt(w + d);
            newH = roundToInt(h + h * d / w);
            if (!(w + d > 6 && newH > 6))
                return;
        } else {
            if (!(w + d / 2 > 6 && h + d / 2 > 6))
                return;
            if (mIntResizing == 5 || mIntResizing == 7)
                newW = roundToInt(w + d / 2);
            else
                newH = roundToInt(h + d / 2);
        }
        // A size past the picture limits is not followed: the picture stays at the last one.
        if (!platform::withinPictureLimits(QSize(newW, newH)))
            return;
        mImgXPicture->resize(newW, newH, platform::imaging::ResizeMode::Fast, kNoUndo);
        const int dw = w - W(), dh = h - H();
        if (mIntResizing == 1 || mIntResizing == 2 || mIntResizing == 5)
            mObjPointMousePos->mLngX = X0 + dw;
        if (mIntResizing == 1 || mIntResizing == 3 || mIntResizing == 6)
            mObjPointMousePos->mLngY = Y0 + dh;
    } catch (...) {
        reportError(kResize, source("doResize"));
    }
}

void clsPictureObject::stopResize()
{
    try {
        const int w = W(), h = H();
        mImgXPicture->importImage(*mImgXResize, kNoUndo);
        // The undo entry keeps the picture as it was before the resize, where it stood then.
        auto snapshot = std::make_shared<clsPictureObject>();
        const auto mine = gObjMoveableObjects()->object(mstrIndex);
        snapshot->copy(mine && mine->typeName() == typeName() ? static_cast<clsPictureObject &>(*mine) : *this);
        snapshot->mObjPointMousePos->copy(mObjPointResizeStart);
        gObjUndos()->addOtherUndo(mstrIndex, clsOtherUndo::Resize, QStringLiteral("AUTO"), clsCanvasObjectPtr(snapshot));
        mImgXPicture->resize(w, h, platform::imaging::ResizeMode::Quality, kNoUndo);
        if (mBoolIsRotated) {
            doBackupImgX();
            mDblAngle = 0;
        }
        checkPosition();
        Screen::get().setMousePointer(Pointer::Default);
    } catch (...) {
        reportError(kResize, source("stopResize"));
    }
}

void clsPictureObject::checkPosition() { clampToCanvas(CanvasServices::get().editorCanvas()); }
