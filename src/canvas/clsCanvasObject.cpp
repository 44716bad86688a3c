#include "canvas/clsCanvasObject.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "core/ErrorReport.h"
#include "core/mdlUtil.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"

void clsCanvasObject::clampToCanvas(const platform::ImgxCanvas &igxCtrl)
{
    const auto &screen = platform::Screen::get();
    const float limX = float(igxCtrl.width() * screen.twipsPerPixelX() / screen.twipsPerPixelX() - 5);
    const float limY = float(igxCtrl.height() * screen.twipsPerPixelY() / screen.twipsPerPixelY() - 5);
    clsPoint &p = *mObjPointMousePos;
    if (p.mLngX + W() <= 0)
        p.mLngX = 0;
    if (p.mLngY + H() <= 0)
        p.mLngY = 0;
    if (p.mLngX >= limX)
        p.mLngX = roundToInt(double(limX) - W());
    if (p.mLngY >= limY)
        p.mLngY = roundToInt(double(limY) - H());
}

bool clsCanvasObject::isFocusedInEditor() const
{
    return gObjMoveableObjects()->mStrFocusedObjectIndex == mstrIndex;
}

void clsCanvasObject::resetPointer()
{
    auto &screen = platform::Screen::get();
    if (screen.mousePointer() != platform::Pointer::Default)
        screen.setMousePointer(platform::Pointer::Default);
}

void clsCanvasObject::startDrag(int x, int y, const QString &focusedKey)
{
    if (focusedKey != mstrIndex || mBoolDeleted || !isInMousePosition(x, y))
        return;
    const int relX = x - X(), relY = y - Y();
    if (isInResizePosition(relX, relY) == 0) {
        mObjPointMouseOffset->mLngX = relX;
        mObjPointMouseOffset->mLngY = relY;
        mBoolDragging = true;
    } else {
        startResize(x, y);
    }
}

void clsCanvasObject::doBackupImgX()
{
    try {
        if (!mImgXBackup)
            mImgXBackup = platform::ImgxImage::create();
        mImgXBackup->importImage(*mImgXPicture, platform::kNoUndo);
        mImgXBackup->setImageType(platform::ImgxImage::kTypeInMemory);
        mImgXBackup->setUndoLevels(15);
    } catch (...) {
        reportError(QStringLiteral("ERR_COPYIMGX"), typeName() + QStringLiteral(".doBackupImgX"));
    }
}

void clsCanvasObject::doRestoreFromBackup()
{
    try {
        mImgXPicture->importImage(*mImgXBackup, platform::kNoUndo);
    } catch (...) {
        reportError(QStringLiteral("ERR_COPYIMGX"), typeName() + QStringLiteral(".doRestoreFromBackup"));
    }
}

std::int16_t clsCanvasObject::handleAt(int relX, int relY) const
{
    namespace Pointer = platform::Pointer;
    const int w = W(), h = H();
    const bool left = isBetween(relX, 1, 6), right = isBetween(relX, w - 6, w);
    const bool top = isBetween(relY, 1, 6), bottom = isBetween(relY, h - 6, h);
    const struct { bool in; std::int16_t handle; int pointer; } zones[] = {
        {left, 5, Pointer::SizeWE},          {top, 6, Pointer::SizeNS},
        {right, 7, Pointer::SizeWE},         {bottom, 8, Pointer::SizeNS},
        {left && top, 1, Pointer::SizeNWSE}, {left && bottom, 2, Pointer::SizeNESW},
        {right && top, 3, Pointer::SizeNESW}, {right && bottom, 4, Pointer::SizeNWSE},
    };
    std::int16_t handle = 0;
    for (const auto &z : zones) {
        if (z.in) {
            handle = z.handle;
            platform::Screen::get().setMousePointer(z.pointer);
        }
    }
    return handle;
}

void clsCanvasObject::doDrag(int x, int y, platform::ImgxCanvas &igxCtrl)
{
    try {
        if (mBoolDragging) {
            mObjPointMousePos->mLngX = x - mObjPointMouseOffset->mLngX;
            mObjPointMousePos->mLngY = y - mObjPointMouseOffset->mLngY;
            clampToCanvas(igxCtrl);
            igxCtrl.refresh();
        } else if (mIntResizing != 0) {
            doResize(x, y);
        } else if (isFocusedInEditor() && !isInMousePosition(x, y)) {
            resetPointer();
        } else if (isInResizePosition(x - X(), y - Y()) == 0 && isFocusedInEditor()) {
            resetPointer();
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_DRAG"), typeName() + QStringLiteral(".doDrag"));
    }
}

void clsCanvasObject::render(platform::imaging::DeviceContext &hdc)
{
    if (mBoolDeleted || !mImgXPicture || mImgXPicture->isEmpty())
        return;
    hdc.paintImage(mImgXPicture->qimage(), X(), Y());
}

void clsCanvasObject::setFocus(platform::ImgxCanvas &igxCtrl, bool boolFocus)
{
    static const platform::imaging::Pen focusPen{0xFF0000, 255, 2, 1};
    if (boolFocus && !mstrIndex.isEmpty() && !mBoolDeleted)
        igxCtrl.hdc().drawRect(QPoint(X(), Y()), QPoint(X() + W(), Y() + H()), focusPen);
    else
        igxCtrl.refresh();
}
