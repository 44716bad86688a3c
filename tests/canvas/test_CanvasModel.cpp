#include "CanvasTestSupport.h"

#include "canvas/clsEffects.h"
#include "platform/imaging/TextDrawing.h"

using canvastest::CanvasTest;
using platform::kNoUndo;

namespace {

class Model : public CanvasTest {
protected:
    // A picture object added at a position.
    std::shared_ptr<clsPictureObject> addPicture(clsMoveableObjects &m, int x, int y, int w, int h,
                                                 QRgb color = qRgb(200, 30, 30))
    {
        m.AddClsPictureObject(picture(w, h, color));
        auto p = std::static_pointer_cast<clsPictureObject>(m.object(QString::number(m.lngIndexNumber)));
        p->mObjPointMousePos->mLngX = x;
        p->mObjPointMousePos->mLngY = y;
        return p;
    }
    QStringList layerOrder(const clsMoveableObjects &m)
    {
        QStringList out;
        for (const auto &[k, v] : m.colObjectLayers)
            out << v;
        return out;
    }
};

} // namespace

TEST_F(Model, NewObjectsGetKeysLayersAndFocus)
{
    auto m = editorModel();
    EXPECT_EQ(m->mStrFocusedObjectIndex, clsMoveableObjects::kNoFocus);
    auto img = picture(10, 10);
    m->AddClsPictureObject(img);
    const auto p = m->object("1");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->mImgXPicture, img); // the very image given
    EXPECT_EQ(p->mIntLayer, 1);
    EXPECT_EQ(p->mstrIndex, "1");
    EXPECT_EQ(p->mImgXPicture->undoLevels(), 15);
    clsTextObject t = text("Hello");
    m->AddClsTextObject(t);
    const auto added = m->object("2");
    ASSERT_TRUE(added);
    EXPECT_NE(added->mImgXPicture, t.mImgXPicture); // a copy of its own
    EXPECT_EQ(m->mStrFocusedObjectIndex, "2");
    EXPECT_EQ(layerOrder(*m), (QStringList{"1", "2"}));

    // Deleted objects still count for the layer; keys never come back.
    p->mBoolDeleted = true;
    m->AddClsPictureObject(picture(5, 5));
    EXPECT_EQ(m->object("3")->mIntLayer, 3);
}

TEST_F(Model, HitTestsAtTheBorders)
{
    auto m = editorModel();
    clsTextObject t = text("Border test");
    t.mObjPointMousePos->mLngX = 10;
    t.mObjPointMousePos->mLngY = 20;
    const int W = t.W(), H = t.H();
    EXPECT_FALSE(t.isInMousePosition(10, 25));         // on the left border
    EXPECT_TRUE(t.isInMousePosition(11, 25));
    EXPECT_FALSE(t.isInMousePosition(10 + W, 25));
    EXPECT_TRUE(t.isInMousePosition(9 + W, 21));
    EXPECT_FALSE(t.isInMousePosition(15, 20 + H));

    auto p = addPicture(*m, 10, 20, 100, 50);
    EXPECT_TRUE(p->isInMousePosition(9, 30));           // 1 pixel outside still hits
    EXPECT_FALSE(p->isInMousePosition(8, 30));
    EXPECT_TRUE(p->isInMousePosition(111, 30));
    EXPECT_FALSE(p->isInMousePosition(112, 30));
    p->mBoolDeleted = true;
    EXPECT_FALSE(p->isInMousePosition(50, 40));
}

TEST_F(Model, ClicksFindTheHighestLayerAndEqualLayersInCollectionOrder)
{
    auto m = editorModel();
    auto a = addPicture(*m, 0, 0, 100, 100);
    auto b = addPicture(*m, 50, 50, 100, 100);
    EXPECT_EQ(m->searchObjectToFocus(60, 60), "2");
    a->mIntLayer = 5;
    EXPECT_EQ(m->searchObjectToFocus(60, 60), "1");
    b->mIntLayer = 5;
    EXPECT_EQ(m->searchObjectToFocus(60, 60), "1"); // equal: the first added wins
    a->mBoolDeleted = true;
    EXPECT_EQ(m->searchObjectToFocus(60, 60), "2");
    EXPECT_EQ(m->searchObjectToFocus(300, 300), "");
}

TEST_F(Model, FocusMovesWithClicksAndTheFrameShowsForTheBackground)
{
    auto m = editorModel();
    QWidget frame;
    m->mObjFocusBackgroundObject = &frame;
    // Without objects a click changes nothing.
    m->startDragObjects(*canvas, 5, 5, &frame);
    EXPECT_EQ(m->mStrFocusedObjectIndex, clsMoveableObjects::kNoFocus);

    addPicture(*m, 10, 10, 50, 50);
    addPicture(*m, 200, 10, 50, 50);
    m->startDragObjects(*canvas, 20, 20, &frame);
    EXPECT_EQ(m->mStrFocusedObjectIndex, "1");
    EXPECT_TRUE(m->object("1")->mBoolDragging);
    EXPECT_FALSE(frame.isVisibleTo(frame.parentWidget()) && frame.isVisible());
    m->stopDragObjects(*canvas);
    EXPECT_FALSE(m->object("1")->mBoolDragging);

    m->startDragObjects(*canvas, 400, 300, &frame);
    EXPECT_EQ(m->mStrFocusedObjectIndex, "");
    EXPECT_FALSE(frame.isHidden());

    // A focused key that is gone from the model is passed over.
    m->mStrFocusedObjectIndex = "77";
    QString old = clsMoveableObjects::kNoFocus;
    m->changeFocus(*canvas, 20, 20, false, old, &frame);
    EXPECT_EQ(m->mStrFocusedObjectIndex, "1");
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(Model, DraggingIsClampedToTheCanvas)
{
    // The canvas is 500 x 400: the limits are 495 and 395.
    auto m = editorModel();
    auto p = addPicture(*m, 10, 10, 100, 50);
    m->mStrFocusedObjectIndex = "1";
    p->startDrag(20, 20, "1");
    ASSERT_TRUE(p->mBoolDragging);
    p->doDrag(20 + 484, 20, *canvas); // X = 494: stays
    EXPECT_EQ(p->X(), 494);
    p->doDrag(20 + 485, 20, *canvas); // X = 495: back so the right edge is on the limit
    EXPECT_EQ(p->X(), 395);
    p->doDrag(20 - 109, 20, *canvas); // X = -99 keeps
    EXPECT_EQ(p->X(), -99);
    p->doDrag(20 - 110, 20, *canvas); // X = -100: wholly outside
    EXPECT_EQ(p->X(), 0);
    p->doDrag(20, 20 + 386, *canvas); // Y = 396 >= 395
    EXPECT_EQ(p->Y(), 345);
}

TEST_F(Model, LayerMovesRenumberInDrawingOrder)
{
    auto m = editorModel();
    for (int i = 0; i < 3; ++i)
        addPicture(*m, i * 10, 0, 20, 20);
    m->mStrFocusedObjectIndex = "3";
    m->moveFocusedObjectToBackground();
    EXPECT_EQ(layerOrder(*m), (QStringList{"3", "1", "2"}));
    EXPECT_EQ(m->object("3")->mIntLayer, 1);
    EXPECT_EQ(m->object("1")->mIntLayer, 2);
    EXPECT_EQ(m->object("2")->mIntLayer, 3);
    m->moveFocusedObjectToForeground();
    EXPECT_EQ(layerOrder(*m), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(m->object("3")->mIntLayer, 3);

    m->mStrFocusedObjectIndex = "";
    m->moveFocusedObjectToForeground();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("clsMoveableObjects.MoveFocusedObjectToLayer"));
    EXPECT_EQ(layerOrder(*m), (QStringList{"1", "2", "3"}));
}

TEST_F(Model, ACopyIsIndependentOfItsSource)
{
    auto m = editorModel();
    addPicture(*m, 5, 5, 30, 30);
    m->AddClsTextObject(text("Copy me"));
    m->mStrFocusedObjectIndex = "1";
    m->moveFocusedObjectToForeground();
    m->dblZoomFactor = 0.5;
    clsMoveableObjects c;
    c.copy(*m);
    EXPECT_EQ(layerOrder(c), layerOrder(*m));
    EXPECT_EQ(c.mStrFocusedObjectIndex, "1");
    EXPECT_EQ(c.lngIndexNumber, 2);
    EXPECT_DOUBLE_EQ(c.dblZoomFactor, 0.5);
    EXPECT_NE(c.objEffects, m->objEffects);
    auto cp = c.object("1");
    cp->mObjPointMousePos->mLngX = 99;
    cp->mImgXPicture->negative(kNoUndo);
    EXPECT_EQ(m->object("1")->X(), 5);
    EXPECT_EQ(QColor(m->object("1")->mImgXPicture->qimage().pixel(1, 1)), QColor(200, 30, 30));
    EXPECT_EQ(static_cast<clsTextObject &>(*c.object("2")).mstrText, "Copy me");
    EXPECT_EQ(c.mObjBackground->mIgxCtrlRefToBackground, canvas.get());
}

TEST_F(Model, DrawToImgXPlacesAndSizesAtFullScale)
{
    auto m = editorModel();
    auto p = addPicture(*m, 3, 7, 101, 50, qRgb(0, 0, 255));
    platform::ImgxImage target;
    target.blank(400, 300, 0xFFFFFF, 255, 6, kNoUndo);
    p->DrawToImgX(target, 0.5, m->objEffects.get());
    const QImage &t = target.qimage();
    EXPECT_EQ(QColor(t.pixel(6, 14)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(t.pixel(6 + 201, 14 + 99)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(t.pixel(5, 14)), QColor(Qt::white));
    EXPECT_EQ(QColor(t.pixel(6 + 202, 14)), QColor(Qt::white));
    EXPECT_EQ(QColor(t.pixel(6, 14 + 100)), QColor(Qt::white));
    EXPECT_EQ(p->W(), 101); // the object's own picture is as it was
    EXPECT_EQ(p->H(), 50);

    // A text: drawn twice the size at twice the place, its settings as they were.
    clsTextObject tx = text("Zoom", 10);
    tx.mObjPointMousePos->mLngX = 10;
    tx.mObjPointMousePos->mLngY = 20;
    tx.mlngColor = 0x0000FF;
    tx.TextToImgX(nullptr);
    const int w = tx.W(), h = tx.H();
    platform::ImgxImage t2;
    t2.blank(400, 300, 0xFFFFFF, 255, 6, kNoUndo);
    tx.DrawToImgX(t2, 0.5, m->objEffects.get());
    EXPECT_DOUBLE_EQ(tx.fontSize(), 10);
    EXPECT_FLOAT_EQ(tx.mSnglWidthInPercent, 100);
    QRect painted;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (qRed(t2.qimage().pixel(x, y)) > 128 && qGreen(t2.qimage().pixel(x, y)) < 100)
                painted |= QRect(x, y, 1, 1);
    EXPECT_TRUE(QRect(20, 40, 2 * w, 2 * h).contains(painted)) << painted.x() << "," << painted.y();

    tx.DrawToImgX(t2, 0, m->objEffects.get()); // a zoom of 0 is reported, not divided by
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("clsTextObject.DrawToImgXCtrl"));
    EXPECT_DOUBLE_EQ(tx.fontSize(), 10);
}

TEST_F(Model, TextSizesWithAndWithoutShadow)
{
    clsTextObject t = text("Shadow", 14);
    platform::imaging::TextStyle st;
    st.fontName = "DejaVu Sans";
    st.size = 14;
    st.antiAlias = 0; // as the object has it
    const QSize m = platform::imaging::measureText(st, "Shadow");
    EXPECT_EQ(t.W(), m.width());
    EXPECT_EQ(t.H(), m.height());
    t.mObjTextShadow->mBoolIsActive = true;
    t.mObjTextShadow->mLngX = -10;
    t.mObjTextShadow->mLngY = 4;
    t.mObjTextShadow->mByteOpacitiy = 255;
    t.TextToImgX(nullptr);
    EXPECT_EQ(t.W(), m.width() + 15);
    EXPECT_EQ(t.H(), m.height() + 9);
    // A shadow to the left stays inside: the leftmost column of opaque pixels is not at 0.
    const QImage &img = t.mImgXPicture->qimage();
    int leftmost = img.width();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                leftmost = std::min(leftmost, x);
    EXPECT_GE(leftmost, 1);
    EXPECT_LT(leftmost, 10);

    t.mSnglWidthInPercent = 0.5f;
    t.TextToImgX(nullptr);
    EXPECT_FLOAT_EQ(t.mSnglWidthInPercent, 1.0f);

    clsTextObject empty = text("");
    EXPECT_FALSE(empty.mImgXPicture->isEmpty());
}

TEST_F(Model, RotationFlags)
{
    clsTextObject t = text("Angle");
    const QSize flat(t.W(), t.H());
    for (double a : {0.0, 360.0, 720.0, -360.0}) {
        t.mDblAngle = a;
        t.TextToImgX(nullptr);
        EXPECT_FALSE(t.mBoolIsRotated) << a;
        EXPECT_EQ(QSize(t.W(), t.H()), flat) << a;
    }
    for (double a : {180.0, 0.5, 359.6, 90.0}) {
        t.mDblAngle = a;
        t.TextToImgX(nullptr);
        EXPECT_TRUE(t.mBoolIsRotated) << a;
        EXPECT_EQ(QSize(t.mImgXBackup->width(), t.mImgXBackup->height()), flat) << a;
    }
    EXPECT_EQ(t.W(), flat.height()); // 90 degrees
}

TEST_F(Model, EffectsReachTheirTargets)
{
    auto m = editorModel();
    auto p = addPicture(*m, 0, 0, 20, 20, qRgb(10, 20, 30));
    clsEffects fx;
    fx.negative(*p);
    EXPECT_EQ(QColor(p->mImgXPicture->qimage().pixel(1, 1)), QColor(245, 235, 225));
    EXPECT_EQ(p->mImgXPicture->undoCount(), 1);
    EXPECT_TRUE(p->mImgXBackup->isEmpty());

    p->doBackupImgX();
    p->mBoolIsRotated = true;
    fx.negative(*p);
    EXPECT_EQ(QColor(p->mImgXBackup->qimage().pixel(1, 1)), QColor(10, 20, 30));
    EXPECT_EQ(p->mImgXBackup->undoCount(), 1);

    clsTextObject t = text("Not me");
    const QImage before = t.mImgXPicture->qimage();
    screen->setMousePointer(11);
    fx.negative(t);
    EXPECT_EQ(t.mImgXPicture->qimage(), before);
    EXPECT_EQ(screen->pointer, 0);

    // The background: the canvas image, and its backup once rotated.
    fx.flip(*m->mObjBackground, 0);
    EXPECT_EQ(canvas->image()->undoCount(), 1);
    EXPECT_TRUE(m->mObjBackground->mImgXBackup->isEmpty());

    // grayscale is colorize with hue 0, saturation 0, lightness 127.
    auto a = picture(8, 8, qRgb(200, 100, 50));
    auto b = picture(8, 8, qRgb(200, 100, 50));
    ImgxElement ea(a), eb(b);
    fx.grayscale(ea);
    fx.colorize(eb, 0, 0, 127, "Grayscale");
    EXPECT_EQ(a->qimage(), b->qimage());
    EXPECT_EQ(a->undoText(0), "Grayscale");
    const QRgb g = a->qimage().pixel(0, 0);
    EXPECT_TRUE(qRed(g) == qGreen(g) && qGreen(g) == qBlue(g));
}

TEST_F(Model, BackgroundBackupAndCopy)
{
    clsBackground bg;
    EXPECT_DOUBLE_EQ(bg.mDblAngle, 0);
    EXPECT_FALSE(bg.mBoolIsRotated);
    EXPECT_TRUE(bg.mImgXBackup->isEmpty());
    canvas->image()->blank(30, 20, 0x00FF00, 255, 6, kNoUndo);
    bg.doBackupImgX(*canvas);
    EXPECT_EQ(bg.mImgXBackup->undoLevels(), 15);
    canvas->image()->negative(kNoUndo);
    bg.doRestoreFromBackup(*canvas);
    EXPECT_EQ(QColor(canvas->image()->qimage().pixel(1, 1)), QColor(0, 255, 0));

    clsBackground never, copy;
    never.mDblAngle = 12;
    never.mBoolIsRotated = true;
    never.mIgxCtrlRefToBackground = canvas.get();
    copy.copy(never);
    EXPECT_TRUE(copy.mImgXBackup->isEmpty());
    EXPECT_DOUBLE_EQ(copy.mDblAngle, 12);
    EXPECT_EQ(copy.mIgxCtrlRefToBackground, canvas.get());
}

TEST_F(Model, TheCanvasShowsLayerOrderAndTheDottedFocusFrame)
{
    auto m = editorModel();
    auto lower = addPicture(*m, 50, 50, 100, 100, qRgb(255, 0, 0));
    auto upper = addPicture(*m, 100, 100, 100, 100, qRgb(0, 128, 0));
    QObject::connect(canvas.get(), &platform::ImgxCanvas::paint,
                     [&](platform::imaging::DeviceContext &dc) { m->renderObjects(dc); });
    canvas->refresh();
    m->mStrFocusedObjectIndex = "1";
    m->showFocus(*canvas);
    QImage shot = canvas->renderToImage();
    EXPECT_EQ(QColor(shot.pixel(120, 120)), QColor(0, 128, 0)); // the later one on top
    EXPECT_EQ(QColor(shot.pixel(70, 70)), QColor(255, 0, 0));
    // The focus frame of the lower object: blue dots along its top edge.
    int blue = 0, gaps = 0;
    for (int x = 52; x < 98; ++x) {
        const QColor c(shot.pixel(x, 50));
        (c == QColor(0, 0, 255) ? blue : gaps)++;
    }
    EXPECT_GT(blue, 10);
    EXPECT_GT(gaps, 10);

    m->mStrFocusedObjectIndex = "1";
    m->moveFocusedObjectToForeground();
    canvas->refresh();
    shot = canvas->renderToImage();
    EXPECT_EQ(QColor(shot.pixel(120, 120)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(70, 50)), QColor(255, 0, 0)); // the frame went with the repaint
    (void)lower;
    (void)upper;
}
