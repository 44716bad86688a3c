#include "platform/imaging/TextDrawing.h"

#include "platform/imaging/Colors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace platform::imaging {
namespace {

// A font comes in whole pixel sizes. The text is laid out and drawn with the font at the
// nearest whole size, scaled to the exact size, and without hinting: a text keeps its shape
// and its proportions at every size and zoom.
struct SizedFont {
    QFont font;
    double scale = 1; // the exact size over the font's whole pixel size
};

SizedFont fontFor(const TextStyle &s)
{
    SizedFont sized;
    QFont &f = sized.font;
    f.setFamily(s.fontName);
    // Points at 96 dpi, whatever the device: sizes stay the same on screen, in files and on paper.
    const double pixels = std::max(1.0, s.size * 96.0 / 72.0);
    const int whole = std::max(1, int(std::lround(pixels)));
    f.setPixelSize(whole);
    sized.scale = pixels / whole;
    f.setWeight(s.weight >= 7 ? QFont::Bold : QFont::Normal);
    f.setItalic(s.italic);
    f.setUnderline(s.underline);
    f.setStrikeOut(s.strikethrough);
    // The spacing is in pixels of the exact size.
    if (s.charSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, s.charSpacing / sized.scale);
    f.setKerning(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(s.antiAlias == 0 ? QFont::NoAntialias : QFont::PreferAntialias);
    return sized;
}

double stretch(const TextStyle &s) { return std::max(1.0, s.widthPercent) / 100.0; }

} // namespace

QStringList textLines(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t.split(u'\n');
}

namespace {

// Where each line goes: its text and its left edge and width in the layout box.
struct LineLayout {
    QString text;
    double x = 0;
    double width = 0;
};

struct Layout {
    std::vector<LineLayout> lines;
    double width = 0;      // the widest line
    double height = 0;
    double ascent = 0;
    double lineSpacing = 0;
};

// The size the ink is measured at (see InkMeter).
constexpr int kMeasuredPixels = 2048;

// Where the glyphs of a line reach, from its baseline's start, in pixels of the font's size. The
// font's bounding boxes come in whole pixels of the size they are measured at, which would not
// scale with the text: they are measured at a large size and scaled down.
class InkMeter {
public:
    explicit InkMeter(const QFont &font) : down_(double(font.pixelSize()) / kMeasuredPixels), large_(largeOf(font)) {}

    QRectF inkOf(const QString &line) const
    {
        const QRectF ink = large_.tightBoundingRect(line);
        return {ink.left() * down_, ink.top() * down_, ink.width() * down_, ink.height() * down_};
    }

private:
    QFont largeOf(const QFont &font) const
    {
        QFont large(font);
        large.setPixelSize(kMeasuredPixels);
        if (font.letterSpacing() != 0)
            large.setLetterSpacing(QFont::AbsoluteSpacing, font.letterSpacing() / down_);
        return large;
    }

    double down_;
    QFontMetricsF large_;
};

// The advance of a line in pixels: the spacing goes between letters, not after the last one.
double lineAdvance(const QFontMetricsF &fm, double scale, const QString &line, int spacing)
{
    return line.isEmpty() ? 0.0 : fm.horizontalAdvance(line) * scale - spacing;
}

Layout layoutLines(const TextStyle &style, const QFontMetricsF &fm, double scale, const QString &text, int alignment)
{
    Layout l;
    const double sx = stretch(style);
    for (const QString &t : textLines(text)) {
        const double w = lineAdvance(fm, scale, t, style.charSpacing) * sx;
        l.lines.push_back({t, 0.0, w});
        l.width = std::max(l.width, w);
    }
    for (LineLayout &line : l.lines) {
        if (alignment == 1)
            line.x = (l.width - line.width) / 2.0;
        else if (alignment == 2)
            line.x = l.width - line.width;
    }
    l.ascent = fm.ascent() * scale;
    l.lineSpacing = fm.lineSpacing() * scale;
    l.height = fm.height() * scale + double(l.lines.size() - 1) * l.lineSpacing;
    return l;
}

} // namespace

// The bounds of a text's shaping, from measurements in a release build with DejaVu Sans and
// the fonts that stand in for it (measuring the extent and drawing once shape each line four
// times):
// - ordinary text takes about 1.1 us a character, at any size and number of lines;
// - characters of many scripts mixed, nearly every one a run of its own with a font looked up
//   for it, take up to 30 us a character: OK in the text editor on 50,000 of them took 1.8 s,
//   and stretching such a text to the cover, which measures it some twenty times, half a
//   minute. A run of one script therefore counts as kCharactersPerScriptRun characters more;
// - a run of combining marks costs the more a mark, the longer it is (one shaping: 0.16 us a
//   character without marks, 0.41 with 64 marks, 0.86 with 256, 8 us with 4096 and more): OK
//   on 50,000 characters of letters with 64 marks each takes 0.07 s, while one "a" with
//   4 million accents took about 130 s to measure and draw, 16 million zero-width spaces 6 s
//   to measure alone.
// So the costliest text within the bounds is drawn in well under 5 s.
// Positions in a line are fixed-point numbers of 26.6 bits in the font's pixels: beyond
// 2^25 pixels they wrap around. The ink is measured at kMeasuredPixels, where the spacing of a
// small font is many times larger; a line whose spacing alone reaches half the range there is
// beyond the bounds.
bool beyondTextBounds(const TextStyle &style, const QString &text)
{
    if (text.size() > kMaxTextCharacters)
        return true;
    // What the text costs to shape, in characters: each of them, and each change to another
    // script as kCharactersPerScriptRun more (blanks, digits and punctuation belong to any).
    qsizetype cost = text.size();
    QChar::Script runScript = QChar::Script_Unknown;
    const double pixels = std::max(1.0, style.size * 96.0 / 72.0);
    const double measuredSpacing = std::abs(double(style.charSpacing)) * std::max(double(kMeasuredPixels), pixels) / pixels;
    constexpr double kMaxPosition = 16777216.0; // 2^24 pixels
    qsizetype lineStart = 0;
    int marks = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            if (double(i - lineStart) * measuredSpacing > kMaxPosition)
                return true;
            lineStart = i + 1;
            marks = 0;
            continue;
        }
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (const QChar::Script script = QChar::script(c);
            script > QChar::Script_Common && script != runScript) {
            if (runScript != QChar::Script_Unknown && (cost += kCharactersPerScriptRun) > kMaxTextCharacters)
                return true;
            runScript = script;
        }
        if (!QChar::isMark(c))
            marks = 0;
        else if (++marks > kMaxCombiningMarks)
            return true;
    }
    return false;
}

TextExtent textExtent(const TextStyle &style, const QString &text, int alignment)
{
    if (beyondTextBounds(style, text)) {
        TextExtent beyond;
        beyond.size = QSize(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
        return beyond;
    }
    const SizedFont sized = fontFor(style);
    const QFontMetricsF fm(sized.font);
    const double k = sized.scale;
    const Layout l = layoutLines(style, fm, k, text, alignment);
    const double sx = stretch(style) * k;
    // The layout box and the ink of every line, as the glyphs' outlines reach. Half a pixel
    // more around the ink for the edge pixels of glyphs placed between two pixels.
    QRectF area(0, 0, l.width, l.height);
    double baseline = l.ascent;
    const InkMeter meter(sized.font);
    for (const LineLayout &line : l.lines) {
        if (!line.text.isEmpty()) {
            const QRectF ink = meter.inkOf(line.text);
            if (!ink.isEmpty())
                area |= QRectF(line.x + ink.left() * sx, baseline + ink.top() * k, ink.width() * sx, ink.height() * k)
                            .adjusted(-0.5, -0.5, 0.5, 0.5);
            if (sized.font.underline())
                area |= QRectF(line.x, baseline + fm.underlinePos() * k, line.width, fm.lineWidth() * k);
        }
        baseline += l.lineSpacing;
    }
    // The picture's size is the area's rounded up once, and the area starts at its top-left
    // corner: a text drawn at another zoom gets a picture of that zoom's size, to a pixel.
    TextExtent e;
    // A size past the int range (a text no picture could hold) stays at the range's end.
    const auto side = [](double v) { return int(std::clamp(std::ceil(v - 1e-9), 0.0, 2147483647.0)); };
    e.size = QSize(side(area.width()), side(area.height()));
    e.origin = QPointF(-area.left(), -area.top());
    e.layoutWidth = l.width;
    return e;
}

QSize measureText(const TextStyle &style, const QString &text, int alignment)
{
    return textExtent(style, text, alignment).size;
}

bool layoutExceeds(const TextStyle &style, const QString &text, double maxWidth, double maxHeight)
{
    if (beyondTextBounds(style, text))
        return true;
    const SizedFont sized = fontFor(style);
    const QFontMetricsF fm(sized.font);
    const double k = sized.scale;
    // Lines break at CR LF, a lone CR or a lone LF, as textLines() splits them.
    qsizetype lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++lines;
    }
    if (fm.height() * k + double(lines - 1) * fm.lineSpacing() * k > maxHeight)
        return true;
    // A line's advance is the sum of its pieces' within a few pixels a piece (kerning and
    // shaping across the cuts); only a sum past that margin counts.
    constexpr qsizetype kPiece = 512;
    const double sx = stretch(style) * k;
    const double margin = (std::max(1.0, style.size * 96.0 / 72.0) + std::abs(style.charSpacing)) * stretch(style);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        double advance = 0, allowance = 0;
        for (qsizetype at = start; end - start > kPiece && at < end;) {
            qsizetype to = std::min(end, at + kPiece);
            if (to < end && text[to - 1].isHighSurrogate())
                ++to;
            advance += fm.horizontalAdvance(text.mid(at, to - at)) * sx;
            allowance += margin;
            if (advance - allowance > maxWidth)
                return true;
            at = to;
        }
        start = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);
    }
    return false;
}

namespace {

// The lines of the text with one pen, at their places in the box.
void drawLines(QPainter &p, const TextStyle &style, const SizedFont &sized, const QString &text, const QRect &box,
               int alignment, const TextExtent &e, const QColor &color)
{
    const QFontMetricsF fm(sized.font);
    const double k = sized.scale;
    const double sx = stretch(style);
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, style.antiAlias != 0);
    p.setFont(sized.font);
    p.setPen(QPen(color, 1));
    // The layout box inside the area; a box wider or narrower than measured aligns the lines
    // in its own width less the ink's margins.
    const double left = box.left() + e.origin.x();
    const double width = box.width() - (e.size.width() - e.layoutWidth);
    double y = box.top() + e.origin.y() + fm.ascent() * k;
    for (const QString &l : textLines(text)) {
        const double lw = lineAdvance(fm, k, l, style.charSpacing) * sx;
        double x = left;
        if (alignment == 1)
            x += (width - lw) / 2.0;
        else if (alignment == 2)
            x += width - lw;
        // The glyphs are stretched, and brought to the exact size, by scaling the painter.
        QTransform t;
        t.translate(x, y);
        t.scale(sx * k, k);
        p.setTransform(t);
        p.drawText(QPointF(0, 0), l);
        y += fm.lineSpacing() * k;
    }
}

} // namespace

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment)
{
    if (!img.isNull() && !beyondTextBounds(style, text))
        drawText(img, style, text, box, alignment, textExtent(style, text, alignment));
}

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment,
              const TextExtent &extent)
{
    if (img.isNull() || beyondTextBounds(style, text))
        return;
    const SizedFont f = fontFor(style);
    if (style.fillImage.isNull()) {
        QPainter p(&img);
        drawLines(p, style, f, text, box, alignment, extent, fromColorRef(style.penColor));
        return;
    }
    // Filled text: the glyphs' coverage first, on a layer of its own, then the fill image,
    // stretched over the text's box, kept where the glyphs are, and the layer laid onto the
    // picture. Two blends of the whole layer instead of a textured blend per glyph.
    QImage layer(img.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        throw std::bad_alloc();
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        drawLines(p, style, f, text, box, alignment, extent, Qt::white);
        p.resetTransform();
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        const QSize boxSize = box.size().isValid() ? box.size() : extent.size;
        p.drawImage(QRect(box.topLeft(), boxSize.expandedTo(QSize(1, 1))), style.fillImage);
        // Glyph parts outside the box keep the fill's nearest colours, as a stretched brush does.
        p.setClipRegion(QRegion(layer.rect()).subtracted(QRect(box.topLeft(), boxSize)));
        QBrush brush(style.fillImage);
        QTransform bt;
        bt.translate(box.left(), box.top());
        bt.scale(double(std::max(1, boxSize.width())) / style.fillImage.width(),
                 double(std::max(1, boxSize.height())) / style.fillImage.height());
        brush.setTransform(bt);
        p.fillRect(layer.rect(), brush);
    }
    QPainter p(&img);
    p.drawImage(0, 0, layer);
}

} // namespace platform::imaging
