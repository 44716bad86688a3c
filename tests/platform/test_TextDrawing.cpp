// Text drawn as Qt draws the same text, each glyph by the path that can draw it, at every size
// and stretch; drawing never changes what a text measures.
#include "platform/imaging/TextDrawing.h"

#include "support/TestSupport.h"

#include <QFontMetricsF>

namespace imaging = platform::imaging;

namespace {

QImage drawnByUs(const imaging::TextStyle &st, const QString &text)
{
    const imaging::TextExtent e = imaging::textExtent(st, text);
    QImage img(e.size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    imaging::drawText(img, st, text, QRect(QPoint(0, 0), e.size), 0, e);
    return img;
}

imaging::TextStyle styleOf(const char *font, double pixels, double antiAlias, double widthPercent = 100)
{
    imaging::TextStyle st;
    st.fontName = QString::fromLatin1(font);
    st.size = pixels * 72.0 / 96.0;
    st.antiAlias = antiAlias;
    st.widthPercent = widthPercent;
    return st;
}

} // namespace

TEST(TextDrawing, EachGlyphIsDrawnAsQtDrawsIt)
{
    const QString emoji = QString::fromUtf8("\U0001F600\U0001F3B8 Go");
    // "CD" at 14 points stretched across a cover 16000 pixels wide, as the canvas shows it at a
    // low zoom: glyphs about 2 pixels high and a thousand wide, which Qt's glyph cache would take
    // by their area and fail to render.
    const double across = 100.0 * 16000 / imaging::measureText(styleOf("Liberation Sans", 14 * 96.0 / 72, 1), "CD").width();
    struct Case {
        const char *what;
        imaging::TextStyle style;
        QString text;
        bool asPath;  // the reference fills the glyphs as paths (Qt draws them otherwise)
        int levels;   // the largest difference of a channel
    } cases[] = {
        {"20 px", styleOf("DejaVu Serif", 20, 1), "Wolf gjq", false, 0},
        {"65 px", styleOf("DejaVu Serif", 65, 1), "Wolf gjq", false, 2},
        {"200 px", styleOf("DejaVu Serif", 200, 1), "Wolf", false, 2},
        {"20 px, no anti-aliasing", styleOf("DejaVu Serif", 20, 0), "Wolf gjq", false, 0},
        {"65 px, no anti-aliasing", styleOf("DejaVu Serif", 65, 0), "Wolf gjq", false, 0},
        {"200 px, no anti-aliasing", styleOf("DejaVu Serif", 200, 0), "Wolf", false, 0},
        {"colour emoji at 100 px", styleOf("DejaVu Sans", 100, 1), emoji, false, 2},
        {"colour emoji at 100 px, no anti-aliasing", styleOf("DejaVu Sans", 100, 0), emoji, false, 0},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (const double zoom : {0.09, 0.1, 0.12, 0.15})
        all.push_back({"CD across 16000 px at a zoom", styleOf("Liberation Sans", 14 * 96.0 / 72 * zoom, 1, across), "CD",
                       true, 2});
    for (const Case &c : all) {
        const QImage ours = drawnByUs(c.style, c.text);
        const QImage qt = testsupport::drawnByQt(c.style, c.text, c.asPath);
        EXPECT_GT(testsupport::inkOf(ours), 0) << c.what;
        EXPECT_LE(testsupport::largestChannelDifference(ours, qt), c.levels) << c.what << " " << c.style.size;
    }
}

TEST(TextDrawing, DrawingNeverChangesWhatATextMeasures)
{
    // Emoji among letters, at sizes whose outlines are filled here, and stretched.
    const QString text = QString::fromUtf8("Rock \U0001F3B8\U0001F3A4 Pop \U0001F600\r\nTrack 2 \U0001F525");
    // Qt's own advances of the lines, in the font the text is laid out in, tell it too: the
    // program keeps what it measured.
    const auto advances = [&](double pixels) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(int(pixels));
        f.setKerning(true);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::PreferAntialias);
        QList<qreal> all;
        for (const QString &line : imaging::textLines(text))
            all << QFontMetricsF(f).horizontalAdvance(line);
        return all;
    };
    for (const double pixels : {72.0, 96.0}) {
        for (const double percent : {100.0, 800.0}) {
            const imaging::TextStyle st = styleOf("Liberation Sans", pixels, 1, percent);
            const QSize before = imaging::measureText(st, text);
            const QList<qreal> advancesBefore = advances(pixels);
            const QImage drawn = drawnByUs(st, text);
            EXPECT_GT(testsupport::inkOf(drawn), 0);
            EXPECT_EQ(imaging::measureText(st, text), before) << pixels << " px at " << percent << " %";
            EXPECT_EQ(advances(pixels), advancesBefore) << pixels << " px at " << percent << " %";
        }
    }
}
