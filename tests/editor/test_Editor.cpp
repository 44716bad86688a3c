// The graphics editor opened on a side of the main window: write-back and restore, the canvas's
// mouse and keys, the popup menu, insertion, drops and placement.
#include <QMimeData>

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "editor/EditorGlobals.h"
#include "editor/EditorWindows.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include "EditorTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTest>

using namespace mainwindowtest;
using namespace editortest;

TEST_F(EditorTest, OkWritesTheSideBackAndCancelRestoresIt)
{
    window->hide(); // as the main window goes while the editor is open
    frmGrafik &ed = open();
    EXPECT_EQ(frmGrafik::instance(), &ed);
    // The side's model slot gets an empty model at once; the canvas shows the side's image.
    ASSERT_TRUE(gObjPartMoveableObjects[0]);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 0);
    EXPECT_EQ(canvasColor({5, 5}), QColor(Qt::red));
    EXPECT_FALSE(ed.cmdRotate->isEnabled());
    // Square image: canvas at its design size; OK and Cancel under its right edge.
    const QRect c = ed.igxMain->geometry();
    EXPECT_EQ(ed.cmdCancel->geometry().right(), c.right());
    EXPECT_EQ(ed.cmdOK->geometry().right() + 1, ed.cmdCancel->x());
    EXPECT_GT(ed.cmdOK->y(), c.bottom());

    insertPicture("blue.png", Qt::blue);
    ASSERT_TRUE(focused());
    const QPoint mid(focused()->X() + focused()->W() / 2, focused()->Y() + focused()->H() / 2);
    EXPECT_EQ(canvasColor(mid), QColor(Qt::blue));
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);

    ASSERT_FALSE(window->lblLoadPic[0]->isHidden());
    ed.cmdOK_Click();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    // The hint to load a picture no longer lies over the side.
    EXPECT_TRUE(window->lblLoadPic[0]->isHidden());
    EXPECT_TRUE(gBoolPartHasObjects[0]);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->mBoolReady);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);
    EXPECT_EQ(igxBackup[0]->undoCount(), 0);

    // Again: a second picture, deleted the first, then Cancel gives everything back.
    igxBackup[0]->negative(QStringLiteral("step"));
    const QImage before = igxBackup[0]->qimage();
    frmGrafik &again = open();
    EXPECT_EQ(model().colMoveableObjects.count(), 1);
    EXPECT_FALSE(focused()); // nothing focused at opening
    insertPicture("green.png", Qt::green);
    again.doDeleteSelectedItem();
    igxBackup[0]->negative(QStringLiteral("inside"));
    again.cmdCancel_Click();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
    EXPECT_EQ(igxBackup[0]->qimage(), before);
    EXPECT_EQ(igxBackup[0]->undoCount(), 1);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);
    EXPECT_TRUE(window->isVisible());

    // The blue picture deleted, a yellow one inserted and undone: after OK the side holds no
    // object, and a picture dropped on it asks nothing about keeping objects.
    frmGrafik &third = open();
    click(mid);
    QTest::keyClick(third.igxMain, Qt::Key_Delete);
    insertPicture("yellow.png", Qt::yellow);
    third.menuEntry("mnuUndo")->trigger();
    third.cmdOK_Click();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(gBoolPartHasObjects[0]);
    ASSERT_GE(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
    prompter->shown.clear();
    dropFiles(window->picVisible[0], {pngFile("in/cyan.png", 50, 50, Qt::cyan)});
    EXPECT_TRUE(prompter->shown.empty()) << prompter->shown.front().prompt.toStdString();
    EXPECT_EQ(QColor(igxBackup[0]->qimage().pixel(5, 5)), QColor(Qt::cyan));
}

TEST_F(EditorTest, CanvasAndWindowFollowTheShapeOfTheSide)
{
    for (const QSize box : {QSize(200, 200), QSize(300, 150), QSize(150, 300)}) {
        SCOPED_TRACE(box.width());
        window->picVisible[0]->setWidthTwips(box.width() * 15.0);
        window->picVisible[0]->setHeightTwips(box.height() * 15.0);
        frmGrafik &ed = open();
        const QSize canvas = ed.recordedCanvasSize(), form = ed.recordedFormSize();
        const QRect c = ed.igxMain->geometry();
        // The canvas takes the side's shape; the window narrows by what the canvas loses in
        // width, and is shortened by what it loses in height only as far as the toolbar beside
        // it stays whole.
        EXPECT_NEAR(double(c.width()) / c.height(), double(box.width()) / box.height(), 0.01);
        EXPECT_EQ(form.width() - ed.width(), canvas.width() - c.width());
        const int toolbarBottom = ed.cmdUndoOverview->mapTo(&ed, QPoint(0, ed.cmdUndoOverview->height())).y();
        EXPECT_EQ(ed.height(), std::max(form.height() + ed.cmdCancel->height() - (canvas.height() - c.height()),
                                        toolbarBottom + ed.cmdPicture->y()));
        for (const ButtonPlus *b : ed.centralWidget()->findChildren<ButtonPlus *>())
            EXPECT_LE(b->mapTo(&ed, QPoint(0, b->height())).y(), ed.height()) << b->objectName().toStdString();
        EXPECT_EQ(ed.cmdCancel->geometry().right(), c.right());
        EXPECT_EQ(ed.cmdOK->y(), c.y() + c.height() + ed.cmdCancel->height() / 2);
        // The focus frame: 17 twips out on the left and top, 22 right, 27 below (15 twips a pixel).
        const QRect f = ed.shpFocusIgxMain->geometry();
        EXPECT_EQ(f.topLeft(), c.topLeft() - QPoint(1, 1));
        EXPECT_EQ(f.size(), c.size() + QSize(3, 3));
        // Exit keeps the edit as OK does.
        insertPicture("blue.png", Qt::blue);
        ed.menuEntry(QStringLiteral("mnuExit"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(editor);
        EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
        gBoolPartHasObjects[0] = false;
    }

    // A screen 960 pixels high at 120 dpi, its top 40 taken by a panel: the window with its
    // title bar and status bar lies within what is left, the canvas square but smaller.
    window->picVisible[0]->setWidthTwips(200 * 15.0);
    window->picVisible[0]->setHeightTwips(200 * 15.0);
    screen->twipsX = screen->twipsY = 12.0;
    screen->free = QRect(0, 40, 1280, 920);
    frmGrafik &ed = open();
    EXPECT_TRUE(screen->free.contains(ed.frameGeometry()));
    EXPECT_LE(ed.height() + ed.style()->pixelMetric(QStyle::PM_TitleBarHeight), screen->free.height())
        << "room for a window manager's title bar";
    EXPECT_LE(ed.statusBar()->mapTo(&ed, QPoint(0, ed.statusBar()->height())).y(), ed.height());
    const QRect c = ed.igxMain->geometry();
    EXPECT_EQ(c.width(), c.height());
    EXPECT_TRUE(c.height() < 631 && c.height() > 560) << c.height();
}

TEST_F(EditorTest, CanvasMouseKeysAndEnabling)
{
    frmGrafik &ed = open();
    insertPicture("blue.png", Qt::blue);
    auto pic = focused();
    ASSERT_TRUE(pic);

    // Dragging the picture moves its pixels.
    const QPoint start(pic->X() + 10, pic->Y() + 10);
    const int x0 = pic->X(), y0 = pic->Y();
    QTest::mousePress(ed.igxMain, Qt::LeftButton, {}, start);
    QTest::mouseMove(ed.igxMain, start + QPoint(60, 40));
    QTest::mouseRelease(ed.igxMain, Qt::LeftButton, {}, start + QPoint(60, 40));
    EXPECT_EQ(pic->X(), x0 + 60);
    EXPECT_EQ(pic->Y(), y0 + 40);
    EXPECT_EQ(canvasColor({pic->X() + 5, pic->Y() + 5}), QColor(Qt::blue));
    // Picture focused: effects yes, text entries no, copy and rotate yes.
    moveOverCanvas({pic->X() + 5, pic->Y() + 5});
    EXPECT_FALSE(ed.cmdEditText->isEnabled());
    EXPECT_TRUE(ed.cmdSharpen->isEnabled());
    EXPECT_TRUE(enabled("mnuCopy"));
    EXPECT_TRUE(ed.cmdRotate->isEnabled());

    // Arrow keys move by one pixel and stop at the edge.
    QTest::keyClick(ed.igxMain, Qt::Key_Right);
    EXPECT_EQ(pic->X(), x0 + 61);
    pic->mObjPointMousePos->mLngX = ed.igxMain->width() - 6;
    QTest::keyClick(ed.igxMain, Qt::Key_Right);
    EXPECT_EQ(pic->X(), ed.igxMain->width() - 5 - pic->W());

    // A text at 45 degrees against one at 90.
    addText(45);
    auto text = focused();
    text->mObjPointMousePos->mLngX = 300;
    text->mObjPointMousePos->mLngY = 300;
    ed.igxMain->refresh();
    click({text->X() + 3, text->Y() + text->H() / 2});
    moveOverCanvas({text->X() + 3, text->Y() + text->H() / 2});
    ASSERT_EQ(focused(), text);
    EXPECT_TRUE(ed.cmdEditText->isEnabled());
    EXPECT_TRUE(enabled("mnuConvertTextToPicture"));
    EXPECT_FALSE(enabled("mnuStretchText"));
    EXPECT_FALSE(ed.cmdEffects->isEnabled());
    text->mDblAngle = 90;
    moveOverCanvas({text->X() + 3, text->Y() + text->H() / 2});
    EXPECT_TRUE(enabled("mnuStretchText"));

    // The context menu on the text, and the effects button with the text focused.
    QTest::mousePress(ed.igxMain, Qt::RightButton, {}, {text->X() + 3, text->Y() + text->H() / 2});
    EXPECT_TRUE(visible("mnuPopUpEditText"));
    EXPECT_TRUE(visible("mnuPopUpStretchText"));
    EXPECT_FALSE(visible("mnuPopUpEffects"));
    EXPECT_TRUE(visible("mnuPopUpLayerToForeground"));
    ed.doPopUpMenu(0, 0, 1);
    EXPECT_TRUE(visible("mnuPopUpSharpenEffects"));
    EXPECT_FALSE(visible("mnuPopUpLayerToForeground"));
    // An entry chosen in the menu runs its command: centre both ways.
    popups->choices.push_back(QStringLiteral("mnuPopUpCenterBoth"));
    ed.doPopUpMenu(text->X() + 3, text->Y() + 3, 0);
    EXPECT_EQ(text->X(), roundToInt(ed.igxMain->width() / 2.0 - text->W() / 2.0));
    // Double-click opens the text editor on the text.
    QTest::mouseDClick(ed.igxMain, Qt::LeftButton, {}, {text->X() + 3, text->Y() + text->H() / 2});
    ASSERT_FALSE(editorWindows->opened.empty());
    EXPECT_EQ(editorWindows->opened.back(), QStringLiteral("frmTextedit"));
    EXPECT_EQ(gObjTextObject, text);

    // The background: no text entries, no copy or rotate; right-click hides the object entries.
    click({620, 620});
    moveOverCanvas({620, 620});
    EXPECT_FALSE(ed.cmdEditText->isEnabled());
    EXPECT_TRUE(ed.cmdEffects->isEnabled());
    EXPECT_FALSE(enabled("mnuCopy"));
    EXPECT_FALSE(ed.cmdRotate->isEnabled());
    ed.doPopUpMenu(620, 620, 0);
    EXPECT_FALSE(visible("mnuPopupDelete"));
    EXPECT_FALSE(visible("mnuPopUpCenter"));
    EXPECT_TRUE(visible("mnuPopUpEffects"));

    // Delete and arrows with nothing focused: nothing, no undo entry.
    const int undos = gObjUndos()->mintUndoIndex;
    QTest::keyClick(ed.igxMain, Qt::Key_Delete);
    QTest::keyClick(ed.igxMain, Qt::Key_Left);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, undos);
    // Delete with the picture focused: marked, one entry, the background focused.
    model().mStrFocusedObjectIndex = pic->mstrIndex;
    QTest::keyClick(ed.igxMain, Qt::Key_Delete);
    EXPECT_TRUE(pic->mBoolDeleted);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, undos + 1);
    EXPECT_TRUE(model().mStrFocusedObjectIndex.isEmpty());
    // A click where it was focuses nothing: no frame round its place, the canvas's frame stays.
    const QPoint where(pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2);
    click(where);
    moveOverCanvas(where);
    EXPECT_TRUE(model().mStrFocusedObjectIndex.isEmpty());
    EXPECT_FALSE(ed.cmdRotate->isEnabled());
    EXPECT_TRUE(ed.shpFocusIgxMain->isVisible());
    const QImage shown = ed.igxMain->grab().toImage();
    int blue = 0;
    for (int y = pic->Y() - 2; y <= pic->Y() + pic->H() + 2; ++y)
        for (int x = pic->X() - 2; x <= pic->X() + pic->W() + 2; ++x)
            blue += shown.valid(x, y) && QColor(shown.pixel(x, y)) == QColor(Qt::blue) ? 1 : 0;
    EXPECT_EQ(blue, 0);
}

TEST_F(EditorTest, InsertionDropsAndPlacement)
{
    frmGrafik &ed = open();
    // A damaged file: the message, nothing added.
    writeFile("broken.png", "not a picture");
    choosers->files.push_back(platform::FileDialogResult{path("broken.png"), 1});
    ed.cmdPicture_Click();
    EXPECT_EQ(model().colMoveableObjects.count(), 0);
    ASSERT_FALSE(prompter->shown.empty());
    EXPECT_TRUE(prompts().last().contains(QStringLiteral("corrupt")));

    // Drops: the first file only, at the drop point; a text file changes nothing.
    const QString green = pngFile("green.gif.png", 80, 80, Qt::green);
    const QString yellow = pngFile("yellow.png", 80, 80, Qt::yellow);
    writeFile("notes.txt", "hello");
    dropFiles(ed.igxMain, {path("notes.txt")});
    EXPECT_EQ(model().colMoveableObjects.count(), 0);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);
    dropFiles(ed.igxMain, {green, yellow});
    ASSERT_EQ(model().colMoveableObjects.count(), 1);
    auto pic = focused();
    ASSERT_TRUE(pic);
    EXPECT_EQ(QColor(pic->mImgXPicture->qimage().pixel(1, 1)), QColor(Qt::green));
    // Shown at the canvas's zoom, as the side itself is.
    ASSERT_NE(gDblZoomFactor, 1.0);
    EXPECT_EQ(pic->W(), roundToInt(80 * gDblZoomFactor));
    EXPECT_EQ(pic->X(), 5); // where it was dropped
    EXPECT_EQ(pic->Y(), 5);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);

    // Centring: in the canvas's pixels, not clamped.
    pic->mImgXPicture->resize(200, 100, 13, platform::kNoUndo);
    ed.igxMain->resize(500, 300);
    ed.doCenterObject(0);
    EXPECT_EQ(pic->X(), 150);
    EXPECT_EQ(pic->Y(), 100);
    pic->mObjPointMousePos->mLngY = 7;
    pic->mImgXPicture->resize(700, 100, 13, platform::kNoUndo);
    ed.doCenterObject(1);
    EXPECT_EQ(pic->X(), -100);
    EXPECT_EQ(pic->Y(), 7);

    // Layers and conversion of a text into a picture in its place.
    addText(30);
    auto text = focused();
    text->mObjPointMousePos->mLngX = 40;
    text->mObjPointMousePos->mLngY = 50;
    ed.moveToBackground();
    EXPECT_EQ(model().colObjectLayers.begin()->second, text->mstrIndex);
    ed.convertTextToPicture();
    EXPECT_TRUE(text->mBoolDeleted);
    auto converted = focused();
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->typeName(), QStringLiteral("clsPictureObject"));
    EXPECT_EQ(converted->X(), 40);
    EXPECT_EQ(converted->Y(), 50);
    EXPECT_EQ(converted->mDblAngle, 0);

    // Stretch: a text at 0 degrees to the canvas width, at 45 nothing.
    addText(0);
    auto flat = focused();
    ed.adaptObjectSizeToZoom(flat->mstrIndex);
    ed.doStretch();
    EXPECT_NEAR(flat->W(), ed.igxMain->image()->width() * gDblZoomFactor, 1);
    // A single letter, from the popup: as wide as the canvas shows the cover.
    addText(0);
    const auto letter = std::static_pointer_cast<clsTextObject>(focused());
    letter->mstrText = QStringLiteral("W");
    ed.adaptObjectSizeToZoom(letter->mstrIndex);
    popups->choices = {"mnuPopUpStretchText"};
    click({letter->X() + letter->W() / 2, letter->Y() + letter->H() / 2}, Qt::RightButton);
    EXPECT_NEAR(letter->W(), ed.igxMain->image()->width() * gDblZoomFactor, 1);
    addText(90);
    auto upright = focused();
    ed.adaptObjectSizeToZoom(upright->mstrIndex);
    ed.doStretch();
    EXPECT_NEAR(upright->H(), ed.igxMain->image()->height() * gDblZoomFactor, 8); // one proportional step
    addText(45);
    auto slanted = focused();
    ed.adaptObjectSizeToZoom(slanted->mstrIndex);
    const int w45 = slanted->W();
    ed.doStretch();
    EXPECT_EQ(slanted->W(), w45);

    // The collector frees the converted text's image, not the deleted picture an entry needs.
    model().mStrFocusedObjectIndex = pic->mstrIndex;
    ed.doDeleteSelectedItem();
    ed.TimerMyTimer_Timer();
    EXPECT_FALSE(text->mImgXPicture);
    ASSERT_TRUE(pic->mImgXPicture);
    EXPECT_FALSE(pic->mImgXPicture->isEmpty());
    EXPECT_FALSE(converted->mImgXPicture->isEmpty());
}


// A CD back inlay (15 x 11.8 cm, folds 0.65 cm in from either side): its fold lines stay on the
// canvas whatever repaints it, and a picture inserted or turned shows its frame.
TEST_F(EditorTest, TheFoldLinesOfABackInlayStayAndTheNewPictureShowsItsFrame)
{
    ASSERT_EQ(window->lstCoverNames[1]->currentItem()->text(), "CD back inlay");
    QImage red(600, 472, QImage::Format_RGB32);
    red.fill(Qt::red);
    igxBackup[1]->setQImage(red, platform::kNoUndo);
    // The right side's editor button opens the editor on that side.
    windows->windowAction = [this](const QString &form) {
        if (form == QLatin1String("frmGrafik"))
            open();
    };
    QTest::mouseClick(window->cmdEditor[1], Qt::LeftButton);
    ASSERT_TRUE(editor);
    frmGrafik &ed = *editor;
    const int w = ed.igxMain->width(), h = ed.igxMain->height();
    const int folds[] = {roundToInt(w * 0.65 / 15), roundToInt(w - w * 0.65 / 15)};
    // The fold lines are black strokes down the canvas, and nothing else in the red is black.
    const auto foldsDrawn = [&] {
        const QImage shown = ed.igxMain->grab().toImage();
        for (const int x : folds) {
            int dark = 0;
            for (int y = 0; y < h; ++y)
                dark += qRed(shown.pixel(x, y)) < 80 ? 1 : 0;
            if (dark < h / 4)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(foldsDrawn());
    // The frame that marks the selected picture: a dotted blue line along its right edge.
    const auto framed = [&](const clsCanvasObject &o) {
        const QImage shown = ed.igxMain->grab().toImage();
        int blue = 0;
        for (int y = o.Y() + 4; y < o.Y() + o.H() - 4; ++y)
            for (int x = o.X() + o.W() - 1; x <= o.X() + o.W() + 1; ++x)
                blue += QColor(shown.pixel(x, y)) == QColor(Qt::blue) ? 1 : 0;
        return blue >= (o.H() - 8) / 4;
    };

    insertPicture("green.png", Qt::green, 80);
    const auto pic = focused();
    ASSERT_TRUE(pic);
    EXPECT_TRUE(foldsDrawn());
    EXPECT_TRUE(framed(*pic));
    const QPoint from(pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2);
    QTest::mousePress(ed.igxMain, Qt::LeftButton, {}, from);
    QTest::mouseMove(ed.igxMain, from + QPoint(150, 60));
    QTest::mouseRelease(ed.igxMain, Qt::LeftButton, {}, from + QPoint(150, 60));
    EXPECT_EQ(pic->X(), from.x() + 150 - pic->W() / 2);
    EXPECT_TRUE(foldsDrawn());
    EXPECT_TRUE(framed(*pic));

    QTest::mouseClick(ed.cmdRotateRight, Qt::LeftButton);
    EXPECT_EQ(pic->mDblAngle, 90);
    EXPECT_TRUE(foldsDrawn());
    EXPECT_TRUE(framed(*pic));
}
