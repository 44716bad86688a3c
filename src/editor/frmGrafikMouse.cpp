// The mouse and the keys on the graphics editor's canvas: dragging, the context menu, moving
// the focused object with the arrow keys, and the controls that follow the focus.
#include "canvas/Globals.h"
#include "canvas/clsCanvasObject.h"
#include "canvas/clsMoveableObjects.h"
#include "core/mdlUtil.h"
#include "editor/frmGrafik.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/ShapeControl.h"

#include <QAction>
#include <QMouseEvent>

namespace {

bool isText(const clsCanvasObject &o) { return o.typeName() == QLatin1String("clsTextObject"); }

} // namespace

void frmGrafik::mouseMoveEvent(QMouseEvent *e)
{
    QMainWindow::mouseMoveEvent(e);
    const auto o = focusedObject();
    if (o && o->mIntResizing == 0 && platform::Screen::get().mousePointer() != platform::Pointer::Default)
        platform::setPointer(platform::Pointer::Default);
}

void frmGrafik::igxMain_MouseDown(Qt::MouseButton button, int x, int y)
{
    auto &model = *gObjMoveableObjects();
    if (button == Qt::LeftButton) {
        model.startDragObjects(*igxMain, x, y, shpFocusIgxMain);
    } else if (button == Qt::RightButton) {
        model.startDragObjects(*igxMain, x, y, shpFocusIgxMain);
        doPopUpMenu(x, y, 0);
        gObjMoveableObjects()->stopDragObjects(*igxMain);
    }
}

void frmGrafik::igxMain_MouseMove(int x, int y)
{
    gObjMoveableObjects()->doDragObjects(*igxMain, x, y);
    enableForFocus();
}

void frmGrafik::igxMain_MouseUp() { gObjMoveableObjects()->stopDragObjects(*igxMain); }

void frmGrafik::igxMain_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Delete:
        doDeleteSelectedItem();
        break;
    case Qt::Key_Left:
        doMoveObject(-1, 0);
        break;
    case Qt::Key_Up:
        doMoveObject(0, -1);
        break;
    case Qt::Key_Right:
        doMoveObject(1, 0);
        break;
    case Qt::Key_Down:
        doMoveObject(0, 1);
        break;
    default:
        break;
    }
}

void frmGrafik::enableForFocus()
{
    const auto o = focusedObject();
    const bool text = o && isText(*o);
    const bool picture = o && !text;
    const auto set = [this](const char *name, bool on) {
        if (QAction *a = menuEntry(QLatin1String(name)))
            a->setEnabled(on);
    };
    cmdEditText->setEnabled(text);
    set("mnuEditText", text);
    set("mnuConvertTextToPicture", text);
    set("mnuStretchText", text && rotationClass(o->mDblAngle) > 0);
    for (ButtonPlus *b : {cmdSharpen, cmdSoften, cmdEffects})
        b->setEnabled(!text);
    set("mnuBrightness", !text);
    set("mnuEffects", !text);
    set("mnuCopy", text || picture);
    for (ButtonPlus *b : {cmdRotate, cmdRotateLeft, cmdRotateRight})
        b->setEnabled(text || picture);
    if (!o)
        platform::setPointer(platform::Pointer::Default);
}
