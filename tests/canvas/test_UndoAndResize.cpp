#include "CanvasTestSupport.h"

#include "canvas/clsGarbageCollector.h"
#include "canvas/clsUndos.h"

using canvastest::CanvasTest;
using platform::kNoUndo;

namespace {

class Resize : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        editorModel();
    }
    std::shared_ptr<clsPictureObject> addPicture(int x, int y, int w, int h)
    {
        auto m = gObjMoveableObjects();
        m->AddClsPictureObject(picture(w, h));
        auto p = std::static_pointer_cast<clsPictureObject>(m->object(QString::number(m->lngIndexNumber)));
        p->mObjPointMousePos->mLngX = x;
        p->mObjPointMousePos->mLngY = y;
        return p;
    }
    std::shared_ptr<clsTextObject> addText(const QString &s, double size = 12)
    {
        auto m = gObjMoveableObjects();
        m->AddClsTextObject(text(s, size));
        return std::static_pointer_cast<clsTextObject>(m->object(QString::number(m->lngIndexNumber)));
    }
    // A text object 120 x 30 at (10, 10), focused.
    std::shared_ptr<clsTextObject> text120x30()
    {
        auto t = addText("Resize");
        t->mImgXPicture->blank(120, 30, 0, 0, 6, kNoUndo);
        t->mObjPointMousePos->mLngX = 10;
        t->mObjPointMousePos->mLngY = 10;
        return t;
    }
};

} // namespace

TEST_F(Resize, TextZonesAndPointers)
{
    auto t = text120x30();
    EXPECT_EQ(t->isInResizePosition(0, 15), 0);
    EXPECT_EQ(t->isInResizePosition(1, 15), 5);
    EXPECT_EQ(screen->pointer, 9);
    EXPECT_EQ(t->isInResizePosition(6, 15), 5);
    EXPECT_EQ(t->isInResizePosition(120, 15), 7);
    EXPECT_EQ(t->isInResizePosition(60, 3), 6);
    EXPECT_EQ(screen->pointer, 7);
    EXPECT_EQ(t->isInResizePosition(1, 30), 2);
    EXPECT_EQ(screen->pointer, 6);
    EXPECT_EQ(t->isInResizePosition(120, 1), 3);
    EXPECT_EQ(screen->pointer, 6);
    EXPECT_EQ(t->isInResizePosition(2, 2), 1);
    EXPECT_EQ(screen->pointer, 8);
    EXPECT_EQ(t->isInResizePosition(118, 28), 4);
    t->mImgXPicture->blank(120, 10, 0, 0, 6, kNoUndo);
    EXPECT_EQ(t->isInResizePosition(50, 5), 8); // overlapping zones: the later test wins
    screen->setMousePointer(0);
    t->mBoolIsRotated = true;
    EXPECT_EQ(t->isInResizePosition(1, 5), 0);
    EXPECT_EQ(screen->pointer, 0);
}

TEST_F(Resize, TextLiveStepsAndOneUndoEntry)
{
    auto t = text120x30();
    const int stepsBefore = t->mImgXPicture->undoCount();
    t->startDrag(11, 11, t->mstrIndex); // top-left corner
    ASSERT_EQ(t->mIntResizing, 1);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);
    EXPECT_EQ(gObjUndos()->getLastUndoText(), "Edit Text");
    EXPECT_FALSE(gObjTextObjectBefore);
    EXPECT_EQ(t->mImgXPicture->undoCount(), stepsBefore); // the blank leaves no step
    t->doDrag(0, 4, *canvas);            // dx 10, dy 6, d 8
    EXPECT_EQ(t->W(), 128);
    EXPECT_EQ(t->H(), 38);
    EXPECT_EQ(t->X(), 2);
    EXPECT_EQ(t->Y(), 2);

    auto r = text120x30();
    r->startDrag(129, 25, r->mstrIndex); // right edge
    ASSERT_EQ(r->mIntResizing, 7);
    r->doDrag(140, 25, *canvas);
    EXPECT_EQ(r->W(), 125);
    EXPECT_EQ(r->X(), 10);
    r->doDrag(140, 25, *canvas);         // [127.5] = 128
    EXPECT_EQ(r->W(), 128);
}

TEST_F(Resize, TextResizeFitsWithinItsBoundAndUndoesToTheStart)
{
    auto t = addText("Fit me", 12);
    t->mObjPointMousePos->mLngX = 20;
    t->mObjPointMousePos->mLngY = 20;
    const int w0 = t->W(), h0 = t->H();
    const double size0 = t->fontSize();
    gObjMoveableObjects()->stopDragObjects(*canvas);
    t->startDrag(20 + w0 - 1, 20 + h0 / 2, t->mstrIndex); // right edge
    ASSERT_EQ(t->mIntResizing, 7);
    for (int i = 0; i < 8; ++i)
        t->doDrag(20 + int(w0 * 1.5), 20 + h0 / 2, *canvas);
    const int target = t->W();
    gObjMoveableObjects()->stopDragObjects(*canvas);
    EXPECT_EQ(t->mIntResizing, 0);
    EXPECT_NEAR(t->W(), target, 3);
    EXPECT_DOUBLE_EQ(t->fontSize(), size0);     // an edge changes only the width percent
    EXPECT_GT(t->mSnglWidthInPercent, 140);
    EXPECT_TRUE(prompter->shown.empty());

    gObjUndos()->doLastUndo(*gObjMoveableObjects(), *canvas);
    EXPECT_EQ(t->W(), w0);
    EXPECT_FLOAT_EQ(t->mSnglWidthInPercent, 100);
    EXPECT_EQ(t->X(), 20);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);
}

TEST_F(Resize, PictureLiveStepsKeepTheAspectAtCorners)
{
    auto p = addPicture(10, 10, 100, 50);
    p->startResize(11, 11);
    ASSERT_EQ(p->mIntResizing, 1);
    EXPECT_EQ(p->mImgXPicture->undoCount(), 0);
    p->doResize(0, 0);
    EXPECT_EQ(p->W(), 110);
    EXPECT_EQ(p->H(), 55);
    EXPECT_EQ(p->X(), 0);
    EXPECT_EQ(p->Y(), 5);

    auto q = addPicture(10, 10, 100, 50);
    q->startResize(11, 30); // left edge
    ASSERT_EQ(q->mIntResizing, 5);
    q->doResize(0, 30);
    EXPECT_EQ(q->W(), 105);
    EXPECT_EQ(q->X(), 5);
    q->doResize(0, 30);
    EXPECT_EQ(q->W(), 108);
    EXPECT_EQ(q->X(), 2);
    EXPECT_EQ(q->H(), 50);
}

TEST_F(Resize, PictureResizeUndoRestoresSizeAndPosition)
{
    auto p = addPicture(10, 10, 100, 50);
    const QImage original = p->mImgXPicture->qimage();
    p->startDrag(11, 11, p->mstrIndex);
    p->doDrag(0, 0, *canvas);
    gObjMoveableObjects()->stopDragObjects(*canvas);
    EXPECT_EQ(p->W(), 110);
    EXPECT_EQ(gObjUndos()->getLastUndoText(), "Resize");
    gObjUndos()->doLastUndo(*gObjMoveableObjects(), *canvas);
    EXPECT_EQ(p->W(), 100);
    EXPECT_EQ(p->X(), 10);
    EXPECT_EQ(p->Y(), 10);
    EXPECT_EQ(p->mImgXPicture->qimage(), original);
}

TEST_F(Resize, StackKeepsSixteenAndRenumbers)
{
    auto &u = *gObjUndos();
    for (int i = 1; i <= 17; ++i)
        u.addImgxUndo("", QString("step %1").arg(i));
    EXPECT_EQ(u.mintUndoIndex, 16);
    EXPECT_EQ(u.colUndos.count(), 16);
    EXPECT_EQ(u.colUndos.value("1")->mstrText, "step 2");
    EXPECT_EQ(u.colUndos.value("1")->mstrUndoIndex, "1");
    EXPECT_EQ(u.getLastUndoText(), "step 17");
    u.addOtherUndo("1", 7, "AUTO", QString("NONE"));
    EXPECT_EQ(u.getLastUndoText(), "UNKNOWN");

    clsUndos empty;
    empty.doLastUndo(*gObjMoveableObjects(), *canvas);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "This Error Message should never appear");
    EXPECT_EQ(prompter->shown[0].title, "Error");
}

TEST_F(Resize, DeleteInsertAndRotateUndo)
{
    auto m = gObjMoveableObjects();
    auto p = addPicture(10, 10, 40, 40);
    p->mBoolDeleted = true;
    gObjUndos()->addOtherUndo(p->mstrIndex, clsOtherUndo::Delete, "AUTO", QString("NONE"));
    gObjUndos()->doLastUndo(*m, *canvas);
    EXPECT_FALSE(p->mBoolDeleted);
    EXPECT_EQ(m->searchObjectToFocus(20, 20), p->mstrIndex);

    gObjUndos()->addOtherUndo(p->mstrIndex, clsOtherUndo::Insert, "AUTO", QString("NONE"));
    gObjUndos()->doLastUndo(*m, *canvas);
    EXPECT_FALSE(m->colMoveableObjects.contains(p->mstrIndex));
    EXPECT_FALSE(m->colObjectLayers.contains(p->mstrIndex));
    EXPECT_EQ(m->mStrFocusedObjectIndex, "");

    // The background rotated 10, then 20 more; one undo shows 10 again.
    canvas->image()->blank(60, 30, 0x00FF00, 255, 6, kNoUndo);
    auto &bg = *m->mObjBackground;
    bg.doBackupImgX(*canvas);
    bg.mBoolIsRotated = true;
    bg.mDblAngle = 10;
    m->objEffects->rotate(*canvas->image(), 10, 0, false);
    const QSize at10(canvas->image()->width(), canvas->image()->height());
    gObjUndos()->addOtherUndo("", clsOtherUndo::Rotate, "AUTO", 10.0);
    bg.doRestoreFromBackup(*canvas);
    bg.mDblAngle = 30;
    m->objEffects->rotate(*canvas->image(), 30, 0, false);
    gObjUndos()->doLastUndo(*m, *canvas);
    EXPECT_DOUBLE_EQ(bg.mDblAngle, 10);
    EXPECT_EQ(QSize(canvas->image()->width(), canvas->image()->height()), at10);
}

TEST_F(Resize, EditedRotatedTextUndoesRotatedOnce)
{
    auto t = addText("Old words");
    t->mDblAngle = 90;
    t->TextToImgX(gObjMoveableObjects()->objEffects.get());
    const QSize rotated(t->W(), t->H());
    auto before = std::make_shared<clsTextObject>();
    before->copy(*t);
    gObjUndos()->addOtherUndo(t->mstrIndex, clsOtherUndo::EditText, "AUTO", clsCanvasObjectPtr(before));
    t->mstrText = "New and much longer words";
    t->TextToImgX(gObjMoveableObjects()->objEffects.get());
    gObjUndos()->doLastUndo(*gObjMoveableObjects(), *canvas);
    EXPECT_EQ(t->mstrText, "Old words");
    EXPECT_TRUE(t->mBoolIsRotated);
    EXPECT_EQ(QSize(t->W(), t->H()), rotated);
}

TEST_F(Resize, ImageEntriesStepBackPictureAndBackup)
{
    auto p = addPicture(0, 0, 10, 10);
    p->doBackupImgX();
    p->mBoolIsRotated = true;
    gObjMoveableObjects()->objEffects->negative(*p);
    gObjUndos()->addImgxUndo(p->mstrIndex, "Negative");
    gObjUndos()->doLastUndo(*gObjMoveableObjects(), *canvas);
    EXPECT_EQ(QColor(p->mImgXPicture->qimage().pixel(1, 1)), QColor(200, 30, 30));
    EXPECT_EQ(QColor(p->mImgXBackup->qimage().pixel(1, 1)), QColor(200, 30, 30));

    // The background: the canvas image and the side image each one step.
    services->sideImage = picture(8, 8);
    services->sideImage->negative("");
    canvas->image()->negative("");
    gObjUndos()->addImgxUndo("", "Negative");
    gObjUndos()->doLastUndo(*gObjMoveableObjects(), *canvas);
    EXPECT_EQ(services->sideImage->undoCount(), 0);
    EXPECT_EQ(canvas->image()->undoCount(), 0);
}

TEST_F(Resize, CollectorLogs)
{
    auto m = gObjMoveableObjects();
    clsGarbageCollector gc;
    gc.doGargageCollect(*m, *gObjUndos());
    EXPECT_EQ(gc.mStrRemoved, "GarbageCollector Removed:\r\nNOTHING\r\nEND GARBAGE");
    EXPECT_EQ(gc.mStrNotDeleteAble, "GarbageNotAllowedToDelete:\r\nNOTHING\r\nEND NOTDELETEABLE");

    addPicture(0, 0, 5, 5);
    addPicture(0, 0, 5, 5);
    auto third = addPicture(0, 0, 5, 5);
    third->mBoolDeleted = true;
    gObjUndos()->addOtherUndo("3", clsOtherUndo::Delete, "AUTO", QString("NONE"));
    gObjUndos()->addOtherUndo("3", clsOtherUndo::Delete, "AUTO", QString("NONE"));
    gc.doGargageCollect(*m, *gObjUndos());
    EXPECT_EQ(gc.mStrNotDeleteAble, "GarbageNotAllowedToDelete:\r\nOBJECT Nr. 3\r\nEND NOTDELETEABLE");
    EXPECT_TRUE(third->mImgXPicture);

    for (int i = 0; i < 16; ++i)
        gObjUndos()->addImgxUndo("1", "effect");
    gc.doGargageCollect(*m, *gObjUndos());
    EXPECT_EQ(gc.mStrRemoved, "GarbageCollector Removed:\r\nOBJECT Nr. 3\r\nEND GARBAGE");
    EXPECT_FALSE(third->mImgXPicture);
    EXPECT_FALSE(third->mImgXBackup);
    // A freed object is harmless for painting and copying.
    platform::imaging::RecordingContext dc;
    m->renderObjects(dc);
    clsMoveableObjects copy;
    copy.copy(*m);
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(Resize, ZoomAdaptation)
{
    auto m = gObjMoveableObjects();
    auto p = addPicture(0, 0, 400, 100);
    auto t = addText("Zoomed", 20);
    auto deleted = addPicture(0, 0, 400, 100);
    deleted->mBoolDeleted = true;
    gDblOldZoomFactor = 0;
    gDblZoomFactor = 0.5;
    std::shared_ptr<clsMoveableObjects> model = m;
    adaptObjectSizesToZoom(&model);
    EXPECT_EQ(p->W(), 200);
    EXPECT_EQ(deleted->W(), 400); // a deleted object is left as it is
    EXPECT_DOUBLE_EQ(gDblOldZoomFactor, 0.5);
    EXPECT_DOUBLE_EQ(t->fontSize(), 20);
    const QImage half = p->mImgXPicture->qimage();
    adaptObjectSizesToZoom(&model);
    EXPECT_EQ(p->mImgXPicture->qimage(), half); // unchanged zoom: pictures left alone

    gDblZoomFactor = 0;
    adaptObjectSizesToZoom(&model);
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(p->W(), 200);
}
