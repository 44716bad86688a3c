// The graphics editor's canvas at its zoom: the objects fitted to it, and the window and canvas
// laid out for the shape of the side's picture and for the screen, with the focus frame around
// the canvas.
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "core/ErrorReport.h"
#include "core/mdlUtilWindows.h"
#include "editor/frmGrafik.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/ShapeControl.h"

#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace {

QString source(const char *procedure) { return QStringLiteral("frmGrafik.") + QLatin1String(procedure); }

} // namespace

void frmGrafik::adaptObjectSizeToZoom(const QString &key)
{
    try {
        auto &model = *gObjMoveableObjects();
        if (!model.object(key))
            throw std::runtime_error("no object under the key");
        ::adaptObjectSizeToZoom(model, key);
    } catch (...) {
        reportError(QStringLiteral("ERR_ADAPT_OBJECTSIZE_TO_ZOOM"), source("adaptObjectSizeToZoom"));
    }
}

void frmGrafik::layoutEditorWindow()
{
    igxMain->resize(mLngCanvasWidth, mLngCanvasHeight);
    resize(mLngFormWidth, mLngFormHeight);
    const auto &image = igxMain->image();
    const int w = image ? image->width() : 0;
    const int h = image ? image->height() : 0;
    int formW = mLngFormWidth, formH = mLngFormHeight;
    if (w > 0 && h > 0) {
        if (w > h) {
            const int canvasH = int(mLngCanvasHeight * (double(h) / double(w)));
            igxMain->resize(mLngCanvasWidth, canvasH);
            formH = mLngFormHeight - (mLngCanvasHeight - canvasH);
        } else if (w < h) {
            const int canvasW = int(mLngCanvasWidth * (double(w) / double(h)));
            igxMain->resize(canvasW, mLngCanvasHeight);
            formW = mLngFormWidth - (mLngCanvasWidth - canvasW);
        }
    }
    formH += cmdCancel->height();
    // A landscape side shortens the canvas, but never the window below what the toolbar beside
    // the canvas needs.
    int toolbarBottom = 0;
    for (const ButtonPlus *b : {cmdPicture, cmdText, cmdEditText, cmdBackColor, cmdBlankSheet, cmdRotate, cmdRotateLeft,
                                cmdRotateRight, cmdSharpen, cmdSoften, cmdEffects, cmdSave, cmdUndoOverview})
        toolbarBottom = std::max(toolbarBottom, b->geometry().bottom() + 1);
    formH = std::max(formH, menuBar()->sizeHint().height() + toolbarBottom + cmdPicture->y());
    resize(formW, formH);
    const QRect c = igxMain->geometry();
    cmdOK->move(c.x() + c.width() - cmdCancel->width() - cmdOK->width(), c.y() + c.height() + cmdCancel->height() / 2);
    cmdCancel->move(cmdOK->x() + cmdOK->width(), cmdOK->y());
    placeInFreeArea(*this);
}

bool frmGrafik::fitRecordedSizesToScreen()
{
    const QRect free = platform::Screen::get().freeArea();
    if (free.isEmpty())
        return false;
    // A canvas as much smaller as the window reaches past the free area, as far as the
    // toolbar beside it lets the window shrink.
    const QMargins frame = windowFrame(*this);
    const int excess = std::min(height() + frame.top() + frame.bottom() - free.height(), mLngCanvasHeight / 2);
    if (excess <= 0)
        return false;
    mLngCanvasHeight -= excess;
    mLngCanvasWidth -= excess;
    mLngFormHeight -= excess;
    mLngFormWidth -= excess;
    return true;
}

void frmGrafik::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // The window manager's frame is known once the window is on the screen.
    QTimer::singleShot(0, this, [this] { placeInFreeArea(*this); });
}

void frmGrafik::positionFocusFrame()
{
    const platform::Screen &screen = platform::Screen::get();
    const auto px = [&](double twips, double perPixel) { return roundToInt(twips / perPixel); };
    shpFocusIgxMain->setBorderColor(0xFF0000);
    shpFocusIgxMain->setBorderWidth(7);
    const QRect c = igxMain->geometry();
    const double tx = screen.twipsPerPixelX(), ty = screen.twipsPerPixelY();
    shpFocusIgxMain->setGeometry(c.x() - px(17, tx), c.y() - px(17, ty), c.width() + px(39, tx),
                                 c.height() + px(44, ty));
}
