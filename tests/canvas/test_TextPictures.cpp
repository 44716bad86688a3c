// Text pictures hold all of their ink at every zoom and in full-scale output; hovering keeps
// one focus frame; a picture's undo steps stay consistent through a resize.
#include "CanvasTestSupport.h"

#include "canvas/clsUndos.h"
#include "platform/imaging/TextDrawing.h"

#include <QPainter>
#include <QRegularExpression>

using canvastest::CanvasTest;
using platform::kNoUndo;
namespace imaging = platform::imaging;

namespace {

// Columns without any ink at the left and at the right of an image.
std::pair<int, int> blankColumns(const QImage &img)
{
    int first = img.width(), last = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, img.width() - 1 - last};
}

class TextPictures : public CanvasTest {
protected:
    static clsTextObject styled(const QString &s, const QString &family, double size)
    {
        clsTextObject t;
        t.mfntFont.setFamily(family);
        t.setFontSize(size);
        t.mdblAntiAlias = 1;
        t.mstrText = s;
        return t;
    }
    // The ink of the same text drawn in a box of its picture's size on a large image, where
    // nothing is cut.
    static qint64 uncutInk(const clsTextObject &t)
    {
        imaging::TextStyle st;
        st.fontName = t.mfntFont.family();
        st.size = t.fontSize();
        st.italic = t.mfntFont.italic();
        st.widthPercent = t.mSnglWidthInPercent;
        st.charSpacing = t.mLngCharSpace;
        st.antiAlias = t.mdblAntiAlias;
        const QSize m(t.W(), t.H());
        QImage big(m.width() + 400, m.height() + 400, QImage::Format_ARGB32_Premultiplied);
        big.fill(Qt::transparent);
        imaging::drawText(big, st, t.mstrText, QRect(QPoint(200, 200), m), t.mbyteAlignment);
        return testsupport::inkOf(big);
    }
};

} // namespace

TEST_F(TextPictures, PictureHoldsAllOfTheInk)
{
    clsTextObject italic = styled("Wolf", "DejaVu Sans", 40);
    italic.mfntFont.setItalic(true);
    clsTextObject serif = styled("gjpqy", "DejaVu Serif", 40);
    clsTextObject tight = styled("Wolf", "DejaVu Sans", 30);
    tight.mLngCharSpace = -3;
    clsTextObject italicRight = styled("Wolf\r\nW", "Liberation Serif", 36);
    italicRight.mfntFont.setItalic(true);
    italicRight.mbyteAlignment = 2;
    // A new text as the program makes it: its font, size and anti-aliasing (none) as shipped.
    clsTextObject fresh;
    fresh.mstrText = QStringLiteral("Wolf gjpqy");
    for (clsTextObject *t : {&italic, &serif, &tight, &italicRight, &fresh}) {
        ASSERT_TRUE(t->TextToImgX(nullptr));
        EXPECT_GT(testsupport::inkOf(t->mImgXPicture->qimage()), 0);
        EXPECT_EQ(testsupport::inkOf(t->mImgXPicture->qimage()), uncutInk(*t)) << t->mstrText.toStdString();
    }

    // Spacing goes between letters: a right-aligned or centred line ends at its last letter.
    clsTextObject spaced = styled("xxxx", "DejaVu Sans", 20);
    spaced.mLngCharSpace = 8;
    for (std::uint8_t align : {0, 1, 2}) {
        spaced.mbyteAlignment = align;
        spaced.TextToImgX(nullptr);
        const auto [left, right] = blankColumns(spaced.mImgXPicture->qimage());
        EXPECT_LE(std::abs(left - right), 2) << int(align);
    }

    // A shadow with the largest blur stays inside its picture: its edge is clear.
    clsTextObject shadowed = styled("Blur", "DejaVu Sans", 24);
    shadowed.mObjTextShadow->mBoolIsActive = true;
    shadowed.mObjTextShadow->mLngX = 4;
    shadowed.mObjTextShadow->mLngY = -4;
    shadowed.mObjTextShadow->mByteOpacitiy = 255;
    shadowed.mObjTextShadow->mDblBlurLevel = 255;
    shadowed.TextToImgX(nullptr);
    const QImage &img = shadowed.mImgXPicture->qimage();
    int edge = 0;
    for (int x = 0; x < img.width(); ++x)
        edge += qAlpha(img.pixel(x, 0)) + qAlpha(img.pixel(x, img.height() - 1));
    for (int y = 0; y < img.height(); ++y)
        edge += qAlpha(img.pixel(0, y)) + qAlpha(img.pixel(img.width() - 1, y));
    EXPECT_EQ(edge, 0);
}

TEST_F(TextPictures, ZoomKeepsProportionsAndOutputIsDrawnAtFullSize)
{
    auto m = editorModel();
    clsTextObject t = styled("Proportion", "DejaVu Sans", 24);
    t.mSnglWidthInPercent = 150;
    m->AddClsTextObject(t);
    const QString key = QString::number(m->lngIndexNumber);
    auto &o = static_cast<clsTextObject &>(*m->object(key));

    gDblZoomFactor = 1;
    adaptObjectSizeToZoom(*m, key);
    const double full = double(o.W()) / o.H();
    const QImage fullPicture = o.mImgXPicture->qimage();
    gDblZoomFactor = 0.5;
    adaptObjectSizeToZoom(*m, key);
    EXPECT_NEAR(double(o.W()) / o.H(), full, full * 0.06);
    EXPECT_FLOAT_EQ(o.mSnglWidthInPercent, 150);
    EXPECT_DOUBLE_EQ(o.fontSize(), 24);
    // At half the zoom a text's picture is half as wide and half as high, to a pixel, for the
    // sizes covers use.
    for (const double points : {12.0, 14.0, 18.0, 24.0, 32.0, 48.0}) {
        for (const char *words : {"Proportion", "Rock", "gjpqy Wolf", "Side A\r\nSide B"}) {
            clsTextObject probe = styled(QString::fromLatin1(words), "DejaVu Sans", points);
            probe.renderAtZoom(1, nullptr);
            const QSize one(probe.W(), probe.H());
            probe.renderAtZoom(0.5, nullptr);
            EXPECT_NEAR(probe.W(), one.width() / 2.0, 1) << points << " " << words;
            EXPECT_NEAR(probe.H(), one.height() / 2.0, 1) << points << " " << words;
        }
    }

    // Output at zoom 0.5: the text rendered from its own values, exactly as at zoom 1, and
    // the canvas picture left as it was.
    const QImage canvasPicture = o.mImgXPicture->qimage();
    o.mObjPointMousePos->mLngX = 10;
    o.mObjPointMousePos->mLngY = 20;
    platform::ImgxImage out;
    out.blank(600, 300, 0xFFFFFF, 255, 6, kNoUndo);
    o.DrawToImgX(out, 0.5, m->objEffects.get());
    QImage expected(600, 300, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.drawImage(20, 40, fullPicture);
    }
    EXPECT_EQ(out.qimage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
    EXPECT_EQ(o.mImgXPicture->qimage(), canvasPicture);
    EXPECT_DOUBLE_EQ(o.fontSize(), 24);
}

TEST_F(TextPictures, StretchToWidthAtHalfZoomFillsTheCover)
{
    auto m = editorModel();
    m->AddClsTextObject(styled("Stretch me", "DejaVu Sans", 20));
    const QString key = QString::number(m->lngIndexNumber);
    auto &o = static_cast<clsTextObject &>(*m->object(key));
    gDblZoomFactor = 0.5;
    adaptObjectSizeToZoom(*m, key);

    // The cover, 500 pixels wide, is 250 pixels wide on the canvas at this zoom.
    o.stretchToWidth(250, m->objEffects.get());
    adaptObjectSizeToZoom(*m, key);
    EXPECT_NEAR(o.W(), 250, 1);
    EXPECT_DOUBLE_EQ(o.fontSize(), 20);

    const float percent = o.mSnglWidthInPercent;
    o.stretchToWidth(o.W(), m->objEffects.get());
    EXPECT_FLOAT_EQ(o.mSnglWidthInPercent, percent);
    EXPECT_DOUBLE_EQ(o.fontSize(), 20);

    // Short texts, whose first guess falls far short, reach the target too, and so does a
    // text with a shadow made narrower.
    for (const char *word : {"W", "CD", "Rock", "i"}) {
        for (const int target : {250, 600}) {
            clsTextObject &t = static_cast<clsTextObject &>(*m->object(key));
            t.mstrText = QString::fromLatin1(word);
            t.mSnglWidthInPercent = 100;
            t.stretchToWidth(target, m->objEffects.get());
            adaptObjectSizeToZoom(*m, key);
            EXPECT_NEAR(t.W(), target, 1) << word << " " << target;
        }
    }
    o.mstrText = QStringLiteral("A line with a shadow that is too wide for the cover");
    o.mObjTextShadow->mBoolIsActive = true;
    o.mObjTextShadow->mLngX = 5;
    o.mObjTextShadow->mDblBlurLevel = 30;
    o.mSnglWidthInPercent = 180;
    o.stretchToWidth(250, m->objEffects.get());
    adaptObjectSizeToZoom(*m, key);
    EXPECT_NEAR(o.W(), 250, 1);
}

TEST_F(TextPictures, HoveringKeepsOneFocusFrame)
{
    auto m = editorModel();
    m->AddClsTextObject(text("Hover", 14));
    m->AddClsPictureObject(picture(60, 40));
    m->object(QString::number(m->lngIndexNumber))->mObjPointMousePos->mLngX = 200;
    m->startDragObjects(*canvas, 5, 5, nullptr);
    m->stopDragObjects(*canvas);
    m->mStrFocusedObjectIndex = QString::number(m->lngIndexNumber - 1);
    canvas->refresh();
    m->doDragObjects(*canvas, 10, 8);
    const size_t afterOne = canvas->overlay().items().size();
    EXPECT_EQ(afterOne, 1u);
    for (int i = 0; i < 1000; ++i)
        m->doDragObjects(*canvas, 5 + i % 40, 4 + i % 9);
    EXPECT_EQ(canvas->overlay().items().size(), afterOne);
}

TEST_F(TextPictures, PictureUndoThroughAResizeNeverEmpties)
{
    auto m = editorModel();
    m->AddClsPictureObject(picture(100, 50));
    auto p = std::static_pointer_cast<clsPictureObject>(m->object(QString::number(m->lngIndexNumber)));
    p->mObjPointMousePos->mLngX = 10;
    p->mObjPointMousePos->mLngY = 10;
    m->mStrFocusedObjectIndex = p->mstrIndex;
    const QImage original = p->mImgXPicture->qimage();

    m->objEffects->negative(*p);
    gObjUndos()->addImgxUndo(p->mstrIndex, "Negative");
    const QImage negated = p->mImgXPicture->qimage();
    p->startDrag(11, 11, p->mstrIndex);
    p->doDrag(0, 0, *canvas);
    m->stopDragObjects(*canvas);
    ASSERT_EQ(p->W(), 110);

    gObjUndos()->doLastUndo(*m, *canvas);
    EXPECT_EQ(p->mImgXPicture->qimage(), negated);
    gObjUndos()->doLastUndo(*m, *canvas);
    EXPECT_EQ(p->mImgXPicture->qimage(), original);
}

TEST_F(TextPictures, ATextTooLargeToDrawKeepsItsPictureAndSettings)
{
    // A line about 9500 pixels wide: drawn at zoom 1, twice as wide at zoom 2.
    auto m = editorModel();
    for (int i = 0; i < 2; ++i)
        m->AddClsTextObject(styled(QString(150, u'W'), "DejaVu Sans", 48));
    auto &o = static_cast<clsTextObject &>(*m->object(QString::number(m->lngIndexNumber)));
    const auto zoomTo = [&](double zoom) {
        gDblZoomFactor = zoom;
        adaptObjectSizesToZoom(&m);
        return o.mImgXPicture->qimage();
    };
    const QImage full = zoomTo(1);
    ASSERT_GT(o.W(), platform::kMaxImageSide / 2);
    ASSERT_LT(o.W(), platform::kMaxImageSide);
    // Each refusal names the bound it met.
    const auto toldOnce = [&](const char *bound = "The text is too large to be drawn: its picture would have more") {
        ASSERT_EQ(prompter->shown.size(), 1u);
        EXPECT_TRUE(prompter->shown[0].prompt.startsWith(QLatin1String(bound))) << prompter->shown[0].prompt.toStdString();
        prompter->shown.clear();
    };
    const auto keptAndToldOnce = [&](const QImage &before) {
        EXPECT_EQ(o.mImgXPicture->qimage(), before);
        EXPECT_DOUBLE_EQ(o.fontSize(), 48);
        EXPECT_FLOAT_EQ(o.mSnglWidthInPercent, 100);
        toldOnce();
    };

    // Zooming: both texts keep their pictures and the user hears of it once.
    zoomTo(2);
    keptAndToldOnce(full);
    // Stretching by the command to a width no picture can have.
    gDblZoomFactor = 1;
    o.stretchToHeight(3 * o.H(), m->objEffects.get());
    keptAndToldOnce(full);
    // Stretching by a handle at half zoom: 12000 pixels on the canvas are 24000 at full scale.
    const QImage half = zoomTo(0.5);
    o.startResize(o.X() + o.W(), o.Y() + o.H() / 2);
    o.doResize(o.X() + o.W() + 2 * (12000 - o.W()), o.Y() + o.H() / 2);
    o.stopResize();
    keptAndToldOnce(half);

    // Turning: the turned picture of a block of such lines would be over the limits; it is
    // refused before anything is drawn.
    clsTextObject block = styled(QStringList(150, QString(150, u'W')).join("\r\n"), "DejaVu Sans", 48);
    block.mDblAngle = 45;
    EXPECT_FALSE(block.TextToImgX(nullptr));
    EXPECT_TRUE(block.mImgXPicture->isEmpty());
    // The bounds as a user can check them, the pixels in all to the pixel.
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(
        QRegularExpression(QStringLiteral("more than 16384 pixels a side or 134\\D?217\\D?728 pixels in all\\."))))
        << prompter->shown[0].prompt.toStdString();
    toldOnce();

    // The turn is measured at the angle it is made with. 33554610 degrees are a quarter turn,
    // but the picture is turned by the nearest angle a float holds, 2 degrees less; there a
    // block of lines 16370 pixels wide is more than 16384 pixels wide. The text is refused as
    // too large, as a fit counts it.
    clsTextObject wide = styled(QStringList(13, QString(260, u'W')).join("\r\n"), "DejaVu Sans", 48);
    wide.mSnglWidthInPercent = float(100.0 * 16370 / platform::imaging::measureText(clsTextObject::textStyle(
        wide.mfntFont, 48, 100, 0, 0, 1), wide.mstrText).width());
    const QSize upright = platform::imaging::measureText(
        clsTextObject::textStyle(wide.mfntFont, 48, wide.mSnglWidthInPercent, 0, 0, 1), wide.mstrText);
    ASSERT_GT(upright.width(), 16362);
    ASSERT_LE(upright.width(), platform::kMaxImageSide);
    ASSERT_GT(upright.height(), 700);
    ASSERT_LT(upright.height(), 1100);
    wide.mDblAngle = 33554610;
    {
        const clsTextObject::QuietTooLarge quiet;
        EXPECT_FALSE(wide.TextToImgX(nullptr));
        EXPECT_TRUE(quiet.refused());
        EXPECT_TRUE(prompter->shown.empty());
    }
    EXPECT_FALSE(wide.TextToImgX(nullptr));
    EXPECT_TRUE(wide.mImgXPicture->isEmpty());
    toldOnce();

    // Texts whose characters take longer to lay out than their size shows (marks and
    // zero-width characters have no width), and a spacing past the range of the font's
    // positions: refused at once, each with the message of its bound. At the bounds they are
    // drawn.
    struct Case {
        const char *what;
        QString text;
        int spacing;
        bool drawn;
        const char *told = nullptr;
    };
    const char *const tooMany = "The text is too long to be drawn: it has more than 50000 characters";
    const char *const accents = "The text cannot be drawn: a letter of it carries more than 64 accents";
    const char *const spaced = "The text cannot be drawn: its letter spacing takes a line further";
    const QChar accent(0x301), zeroWidth(0x200B);
    const QString latinGreek = (QStringLiteral("a\u03b1").repeated(100) + "\n").repeated(7);
    const Case cases[] = {
        {"64 marks", "a" + QString(64, accent) + "b", 0, true},
        {"65 marks", "b" + QString(65, accent), 0, false, accents},
        {"4 million marks", "a" + QString(4'000'000, accent), 0, false, tooMany},
        {"50000 characters", QString(49'999, zeroWidth) + "a", 0, true},
        {"50001 characters", QString(50'000, zeroWidth) + "a", 0, false, tooMany},
        {"16 million characters", QString(16'000'000, zeroWidth), 0, false, tooMany},
        // Each change to another script costs 32 characters more: 1,521 characters with 1,513
        // changes are 49,937, two letters and changes more 50,003.
        {"1513 changes of script", latinGreek + QStringLiteral("a\u03b1").repeated(57), 0, true},
        {"1515 changes of script", latinGreek + QStringLiteral("a\u03b1").repeated(58), 0, false, tooMany},
        {"wide spacing", "aa", 10000, true},
        {"spacing past the range", QString(500, u'a'), 67000, false, spaced},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        clsTextObject t = styled(c.text, "DejaVu Sans", 14);
        t.mLngCharSpace = c.spacing;
        EXPECT_EQ(t.TextToImgX(nullptr), c.drawn);
        if (c.drawn) {
            EXPECT_FALSE(t.mImgXPicture->isEmpty());
            EXPECT_TRUE(prompter->shown.empty());
            EXPECT_GE(t.W(), c.spacing);
        } else {
            EXPECT_TRUE(t.mImgXPicture->isEmpty());
            toldOnce(c.told);
        }
    }
}
