#include "canvas/clsCanvasObject.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
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
