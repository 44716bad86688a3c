#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/ImgxImage.h"

#include "support/TestSupport.h"

#include <QPainter>
#include <QSignalSpy>

using platform::ImgxImage;
using platform::kNoUndo;
namespace imaging = platform::imaging;

namespace {

ImgxImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba((x * 7) % 256, (y * 5) % 256, (x + y) % 256, 255));
    ImgxImage i;
    i.setQImage(img, kNoUndo);
    return i;
}

} // namespace

TEST(ImgxImage, UndoTextsDecideWhatIsRecorded)
{
    ImgxImage img = pattern(20, 10);
    EXPECT_EQ(img.undoLevels(), 15);
    img.negative(kNoUndo);
    EXPECT_EQ(img.undoCount(), 0);
    img.negative("");
    EXPECT_EQ(img.undoCount(), 1);
    EXPECT_EQ(img.undoText(0), "");
    img.flip(0);
    EXPECT_EQ(img.undoCount(), 2);
    EXPECT_EQ(img.undoText(1), platform::kDefaultUndoText);
    img.colorize(0x808080, "Grayscale");
    EXPECT_EQ(img.undoText(2), "Grayscale");
}

TEST(ImgxImage, UndoRestoresSizeAndDoesNothingWhenEmpty)
{
    ImgxImage img = pattern(40, 30);
    const QImage start = img.qimage();
    img.undo();
    EXPECT_EQ(img.qimage(), start);
    img.resize(80, 15, 13, "");
    img.rotate(90, 0, 0, false, "");
    EXPECT_EQ(img.width(), 15);
    EXPECT_EQ(img.height(), 80);
    img.undo();
    EXPECT_EQ(img.width(), 80);
    img.undo();
    EXPECT_EQ(img.qimage(), start);
    EXPECT_EQ(img.undoCount(), 0);
}

TEST(ImgxImage, FifteenStepsReplayToTheExactStates)
{
    ImgxImage img = pattern(64, 48);
    std::vector<QImage> states{img.qimage()};
    for (int i = 0; i < 17; ++i) {
        switch (i % 5) {
        case 0: img.soften(40, "soften"); break;
        case 1: img.flip(i % 2, "flip"); break;
        case 2: img.resize(64 + i, 48, 13, "resize"); break;
        case 3: img.negative("negative"); break;
        case 4: img.blank(30, 20, 0x00FF00, 128, 6, "blank"); break;
        }
        states.push_back(img.qimage());
    }
    ASSERT_EQ(img.undoCount(), 15);
    for (int k = 0; k < 15; ++k) {
        img.undo();
        ASSERT_EQ(img.qimage(), states[states.size() - 2 - k]) << "after undo " << k + 1;
    }
    img.undo(); // the oldest steps fell off the buffer: nothing more to undo
    EXPECT_EQ(img.qimage(), states[2]);
}

TEST(ImgxImage, LoweringTheLevelsDropsTheOldestSteps)
{
    ImgxImage img = pattern(16, 16);
    std::vector<QImage> states{img.qimage()};
    for (int i = 0; i < 6; ++i) {
        img.resize(16 + i, 16, 2, "r");
        states.push_back(img.qimage());
    }
    img.setUndoLevels(2);
    EXPECT_EQ(img.undoCount(), 2);
    img.undo();
    img.undo();
    EXPECT_EQ(img.qimage(), states[4]);
    img.setUndoLevels(0);
    img.negative("");
    EXPECT_EQ(img.undoCount(), 0);
}

TEST(ImgxImage, AChangeWithoutAStepLastsWhenALaterStepIsUndone)
{
    // Steps between the kept copies are rebuilt by replaying; a change without a step must
    // not get lost then, wherever the copies fall.
    for (int before = 1; before <= 6; ++before) {
        SCOPED_TRACE(before);
        ImgxImage img = pattern(40, 20);
        for (int i = 0; i < before; ++i)
            img.flip(0, "");
        img.rotate(90, 0, 0, false, kNoUndo);
        const QImage turned = img.qimage();
        img.negative("");
        img.undo();
        EXPECT_EQ(img.qimage(), turned);
        // The newest step goes back together with the change made after it.
        img.undo();
        EXPECT_EQ(img.width(), 40);
        EXPECT_EQ(img.undoCount(), before - 1);
    }
}

TEST(ImgxImage, ImportCopiesPixelsAndTypeNotSteps)
{
    ImgxImage a = pattern(10, 10);
    a.setImageType(2);
    a.negative("");
    ImgxImage b;
    b.importImage(a, kNoUndo);
    EXPECT_EQ(b.qimage(), a.qimage());
    EXPECT_EQ(b.imageType(), 2);
    EXPECT_EQ(b.undoCount(), 0);
    a.negative(kNoUndo);
    EXPECT_NE(b.qimage(), a.qimage());
}

TEST(ImgxImage, ExactSizesAfterResizingAndTurning)
{
    ImgxImage img = pattern(400, 200);
    img.resize(177, 33, 2, kNoUndo);
    EXPECT_EQ(img.width(), 177);
    EXPECT_EQ(img.height(), 33);
    img.resize(400, 200, 13, kNoUndo);
    img.resizeToWidth(200, 13, kNoUndo);
    EXPECT_EQ(img.height(), 100);
    ImgxImage odd = pattern(101, 50);
    odd.resizeToWidth(202, 13, kNoUndo);
    EXPECT_EQ(odd.height(), 100);
    ImgxImage half = pattern(4, 5);      // 5 * 1 / 2 = 2.5 -> 2
    half.resizeToWidth(2, 13, kNoUndo);
    EXPECT_EQ(half.height(), 2);
    ImgxImage half2 = pattern(4, 7);     // 3.5 -> 4
    half2.resizeToWidth(2, 13, kNoUndo);
    EXPECT_EQ(half2.height(), 4);

    // A turn is refused, before its picture is made, when the turned picture would be over the
    // limits although the picture itself is within them: 16000 x 1000 turned by 45 degrees is
    // 12021 x 12021, 144 megapixels.
    ImgxImage wide;
    wide.blank(16000, 1000, 0xFFFFFF, 255, 6, kNoUndo);
    EXPECT_THROW(wide.rotate(45, 0, 0, false, kNoUndo), platform::PictureTooLarge);
    EXPECT_EQ(wide.qimage().size(), QSize(16000, 1000));
    wide.rotate(90, 0, 0, false, kNoUndo);
    EXPECT_EQ(wide.qimage().size(), QSize(1000, 16000));
}

TEST(ImgxImage, BlankAndDrawImageBlendByAlpha)
{
    ImgxImage base;
    base.blank(10, 10, 0x0000FF, 255, 6, kNoUndo); // red
    EXPECT_EQ(base.imageType(), 6);
    EXPECT_EQ(QColor(base.qimage().pixel(3, 3)), QColor(255, 0, 0));
    ImgxImage top;
    top.blank(4, 4, 0, 0, 6, kNoUndo);             // transparent
    EXPECT_EQ(qAlpha(top.qimage().pixel(0, 0)), 0);
    QImage t = top.qimage();
    t.setPixel(1, 1, qRgba(0, 0, 255, 255));
    top.setQImage(t, kNoUndo);
    base.drawImage(top, 2, 2, "");
    EXPECT_EQ(QColor(base.qimage().pixel(2, 2)), QColor(255, 0, 0)); // transparent shows below
    EXPECT_EQ(QColor(base.qimage().pixel(3, 3)), QColor(0, 0, 255));
    base.undo();
    EXPECT_EQ(QColor(base.qimage().pixel(3, 3)), QColor(255, 0, 0));
}

TEST(ImgxImage, TextGrowsWithSizeAndWidthPercent)
{
    imaging::TextStyle s;
    s.fontName = "DejaVu Sans";
    s.size = 12;
    const QSize base = ImgxImage::measureText(s, "Track list");
    s.size = 24;
    const QSize big = ImgxImage::measureText(s, "Track list");
    EXPECT_GT(big.width(), base.width() * 1.8);
    EXPECT_GT(big.height(), base.height() * 1.8);
    s.size = 12;
    s.widthPercent = 150.5;
    const QSize wide = ImgxImage::measureText(s, "Track list");
    EXPECT_NEAR(wide.width(), base.width() * 1.505, 2);
    EXPECT_EQ(wide.height(), base.height());
    s.widthPercent = 100;
    const QSize two = ImgxImage::measureText(s, "Track list\r\nline two");
    EXPECT_GT(two.height(), base.height() * 1.8);
    s.charSpacing = 3;
    EXPECT_EQ(ImgxImage::measureText(s, "abcd").width(), [&] {
        imaging::TextStyle n = s;
        n.charSpacing = 0;
        return ImgxImage::measureText(n, "abcd").width() + 9; // between the four letters only
    }());
}

TEST(ImgxImage, TextIsDrawnInPenColourOrFillImage)
{
    imaging::TextStyle s;
    s.fontName = "DejaVu Sans";
    s.size = 30;
    s.penColor = 0x0000FF; // red
    const QSize m = ImgxImage::measureText(s, "HH");
    ImgxImage img;
    img.blank(m.width(), m.height(), 0, 0, 6, kNoUndo);
    img.drawText(s, "HH", QRect(QPoint(0, 0), m), 0, "");
    int red = 0, other = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.qimage().pixel(x, y);
            if (qAlpha(p) == 255)
                (qRed(p) == 255 && qGreen(p) == 0 ? red : other)++;
        }
    EXPECT_GT(red, 100);
    EXPECT_EQ(other, 0);

    QImage fill(2, 1, QImage::Format_ARGB32_Premultiplied);
    fill.setPixel(0, 0, qRgb(0, 255, 0));
    fill.setPixel(1, 0, qRgb(0, 255, 0));
    s.fillImage = fill;
    s.antiAlias = 0;
    ImgxImage filled;
    filled.blank(m.width(), m.height(), 0, 0, 6, kNoUndo);
    filled.drawText(s, "HH", QRect(QPoint(0, 0), m), 0, kNoUndo);
    bool green = false;
    for (int y = 0; y < filled.height(); ++y)
        for (int x = 0; x < filled.width(); ++x) {
            const QRgb p = filled.qimage().pixel(x, y);
            ASSERT_TRUE(qAlpha(p) == 0 || qAlpha(p) == 255) << "anti-alias 0 leaves no half pixels";
            green = green || (qAlpha(p) == 255 && qGreen(p) == 255);
        }
    EXPECT_TRUE(green);
}

TEST(ImgxCanvas, PaintsImageObjectsAndOverlayUntilRefresh)
{
    platform::ImgxCanvas canvas;
    canvas.resize(40, 30);
    canvas.image()->blank(40, 30, 0xFF0000, 255, 6, kNoUndo); // blue
    EXPECT_EQ(canvas.image()->undoLevels(), 15);
    int painted = 0;
    QObject::connect(&canvas, &platform::ImgxCanvas::paint, [&](imaging::DeviceContext &dc) {
        ++painted;
        QImage obj(5, 5, QImage::Format_ARGB32_Premultiplied);
        obj.fill(Qt::red);
        dc.paintImage(obj, 10, 10);
    });
    imaging::Pen pen{0x00FF00, 255, 0, 1};
    canvas.hdc().drawLine(QPoint(0, 20), QPoint(39, 20), pen);
    QImage shot = canvas.renderToImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(shot.pixel(12, 12)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(5, 20)), QColor(0, 255, 0));
    EXPECT_GE(painted, 1);
    canvas.refresh();
    shot = canvas.renderToImage();
    EXPECT_EQ(QColor(shot.pixel(5, 20)), QColor(0, 0, 255));
}

TEST(ImgxCanvas, RectangleOutlineStopsShortOfTheSecondCorner)
{
    platform::ImgxCanvas canvas;
    canvas.resize(20, 20);
    canvas.image()->blank(20, 20, 0xFFFFFF, 255, 6, kNoUndo);
    canvas.hdc().drawRect(QPoint(2, 3), QPoint(12, 8), imaging::Pen{0, 255, 0, 1});
    const QImage shot = canvas.renderToImage();
    EXPECT_EQ(QColor(shot.pixel(2, 3)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(11, 7)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(12, 5)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(5, 8)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(Qt::white));
}

TEST(ImgxCanvas, AutoZoomFitsTheImage)
{
    platform::ImgxCanvas canvas;
    canvas.resize(200, 100);
    canvas.image()->blank(400, 100, 0, 255, 6, kNoUndo);
    EXPECT_DOUBLE_EQ(canvas.zoom(), 1.0);
    canvas.setAutoZoom(true);
    EXPECT_DOUBLE_EQ(canvas.zoom(), 0.5);
}
