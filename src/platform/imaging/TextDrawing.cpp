#include "platform/imaging/TextDrawing.h"

#include "platform/imaging/Colors.h"
#include "platform/imaging/FiltersSupport.h"
#include "platform/imaging/GlyphKinds.h"
#include "platform/imaging/OutlineFill.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <list>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <unordered_set>
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

std::atomic<long> sTextDrawings{0};

} // namespace

QStringList textLines(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t.split(u'\n');
}

namespace {

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
TextBound textBoundMet(const TextStyle &style, const QString &text)
{
    if (text.size() > kMaxTextCharacters)
        return TextBound::Characters;
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
                return TextBound::Spacing;
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
                return TextBound::Characters;
            runScript = script;
        }
        if (!QChar::isMark(c))
            marks = 0;
        else if (++marks > kMaxCombiningMarks)
            return TextBound::Marks;
    }
    return TextBound::None;
}

bool beyondTextBounds(const TextStyle &style, const QString &text) { return textBoundMet(style, text) != TextBound::None; }

namespace {

// The texts measured last, with their fonts: a command measures the text it works on several
// times over (a stretch, its check of the full scale, its drawing), and Qt takes as long for
// each (the advance of a colour emoji is read from its bitmap, decoded anew every time:
// 5000 emoji take 1.3 s to measure).
class MeasuredTexts {
public:
    std::shared_ptr<const TextMeasurement::Measured> of(const QFont &font, const QString &text)
    {
        const QString key = font.toString();
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = texts_.begin(); it != texts_.end(); ++it)
            if (it->font == key && it->text == text) {
                texts_.splice(texts_.begin(), texts_, it);
                return texts_.front().measured;
            }
        auto measured = std::make_shared<TextMeasurement::Measured>(measure(font, text));
        texts_.push_front({key, text, measured});
        if (texts_.size() > kKept)
            texts_.pop_back();
        return measured;
    }

private:
    static TextMeasurement::Measured measure(const QFont &font, const QString &text)
    {
        TextMeasurement::Measured m;
        const QFontMetricsF fm(font);
        m.ascent = fm.ascent();
        m.lineSpacing = fm.lineSpacing();
        m.height = fm.height();
        m.underlinePos = fm.underlinePos();
        m.lineWidth = fm.lineWidth();
        const InkMeter meter(font);
        for (const QString &t : textLines(text)) {
            TextMeasurement::Line line;
            line.empty = t.isEmpty();
            if (!line.empty) {
                line.advance = fm.horizontalAdvance(t);
                line.ink = meter.inkOf(t);
            }
            m.lines.push_back(line);
        }
        return m;
    }

    // The texts of a command and of the canvas zoom it draws at, and of a preview beside them.
    static constexpr size_t kKept = 4;
    struct Entry {
        QString font, text;
        std::shared_ptr<const TextMeasurement::Measured> measured;
    };
    std::list<Entry> texts_;
    std::mutex mutex_;
};

MeasuredTexts &measuredTexts()
{
    static MeasuredTexts texts;
    return texts;
}

} // namespace

TextMeasurement::TextMeasurement(const TextStyle &style, const QString &text, int alignment)
    : alignment_(alignment)
{
    if ((beyond_ = beyondTextBounds(style, text)))
        return;
    const SizedFont sized = fontFor(style);
    k_ = sized.scale;
    spacing_ = style.charSpacing;
    underlined_ = sized.font.underline();
    measured_ = measuredTexts().of(sized.font, text);
}

std::vector<double> TextMeasurement::lineWidths(double widthPercent) const
{
    // The spacing goes between letters, not after the last one.
    const double s = std::max(1.0, widthPercent) / 100.0;
    std::vector<double> widths;
    if (beyond_)
        return widths;
    for (const Line &line : measured_->lines)
        widths.push_back(line.empty ? 0.0 : (line.advance * k_ - spacing_) * s);
    return widths;
}

TextExtent TextMeasurement::at(double widthPercent) const
{
    if (beyond_) {
        TextExtent beyond;
        beyond.size = QSize(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
        return beyond;
    }
    const Measured &m = *measured_;
    const double sx = std::max(1.0, widthPercent) / 100.0 * k_;
    // Each line's width, aligned in the widest line's.
    const std::vector<double> widths = lineWidths(widthPercent);
    const double width = widths.empty() ? 0.0 : *std::max_element(widths.begin(), widths.end());
    const double lineSpacing = m.lineSpacing * k_;
    const double height = m.height * k_ + double(m.lines.size() - 1) * lineSpacing;
    // The layout box and the ink of every line, as the glyphs' outlines reach. Half a pixel
    // more around the ink for the edge pixels of glyphs placed between two pixels.
    QRectF area(0, 0, width, height);
    double baseline = m.ascent * k_;
    for (size_t i = 0; i < m.lines.size(); ++i) {
        const Line &line = m.lines[i];
        const double x = alignment_ == 1 ? (width - widths[i]) / 2.0 : alignment_ == 2 ? width - widths[i] : 0.0;
        if (!line.empty) {
            const QRectF &ink = line.ink;
            if (!ink.isEmpty())
                area |= QRectF(x + ink.left() * sx, baseline + ink.top() * k_, ink.width() * sx, ink.height() * k_)
                            .adjusted(-0.5, -0.5, 0.5, 0.5);
            if (underlined_)
                area |= QRectF(x, baseline + m.underlinePos * k_, widths[i], m.lineWidth * k_);
        }
        baseline += lineSpacing;
    }
    // The picture's size is the area's rounded up once, and the area starts at its top-left
    // corner: a text drawn at another zoom gets a picture of that zoom's size, to a pixel.
    TextExtent e;
    // A size past the int range (a text no picture could hold) stays at the range's end.
    const auto side = [](double v) { return int(std::clamp(std::ceil(v - 1e-9), 0.0, 2147483647.0)); };
    e.size = QSize(side(area.width()), side(area.height()));
    e.origin = QPointF(-area.left(), -area.top());
    e.layoutWidth = width;
    return e;
}

TextExtent textExtent(const TextStyle &style, const QString &text, int alignment)
{
    return TextMeasurement(style, text, alignment).at(style.widthPercent);
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

// Qt draws a glyph from its glyph cache while its em square, as the painter scales it, is at
// most 64 pixels square, and larger ones as paths. It decides by the area: a glyph 3 pixels high
// and a thousand wide passes, FreeType fails to render it ("render glyph failed") and Qt copies
// from a bad buffer. Here each axis counts. Larger outlines are filled here (Qt's rasteriser gets
// slower with the square of a glyph's width, see OutlineFill.h); glyphs without an outline
// (colour bitmaps, colour layers, bitmap strikes) Qt draws at every size, scaled, and so they
// are left to it.
constexpr double kCachedGlyphPixels = 64;

bool inQtCache(double emPixels, double sx, double sy)
{
    return emPixels * std::abs(sx) <= kCachedGlyphPixels && emPixels * std::abs(sy) <= kCachedGlyphPixels;
}

// What a glyph Qt draws costs, in units of the outline fill's work, measured in a release build
// per pixel of the glyph's box (a colour glyph's bitmap is up to a quarter wider and higher than
// its em square): Qt makes its picture once (renders the outline, or scales the bitmap: 10 ns a
// pixel) and blends it wherever it stands (1 to 2 ns a pixel). A colour bitmap is decoded for
// its picture (0.36 ms) and, since Qt does not keep its advance, again for every layout of the
// text: 80 us a glyph each time, and a drawing lays the text out up to three times.
constexpr double kQtGlyphBox = 1.25;
constexpr double kQtMadePixelWork = 1.0;
constexpr double kQtBlendedPixelWork = 0.2;
constexpr double kColourBitmapMadeWork = 33000;
constexpr double kColourBitmapLayoutWork = 3 * 7300;

double qtGlyphPixels(double emPixels, double sx, double sy)
{
    return (emPixels * std::abs(sx) * kQtGlyphBox + 2) * (emPixels * std::abs(sy) * kQtGlyphBox + 2);
}

// A cubic curve from p[0] to p[3] as straight edges, appended to out without its start: halved
// until the control points lie within tolerance of the chord (relative to the chord's length
// over one unit, absolute below), at most nine times, as the painter flattens the curves of a
// path before it fills it.
void flattenCubic(const QPointF (&p)[4], double tolerance, QPolygonF &out)
{
    struct Piece {
        QPointF c[4];
        int levels;
    };
    Piece stack[10];
    stack[0] = {{p[0], p[1], p[2], p[3]}, 9};
    int top = 0;
    while (top >= 0) {
        Piece &b = stack[top];
        const double dx = b.c[3].x() - b.c[0].x(), dy = b.c[3].y() - b.c[0].y();
        double l = std::abs(dx) + std::abs(dy), d;
        if (l > 1.0) {
            d = std::abs(dx * (b.c[0].y() - b.c[1].y()) - dy * (b.c[0].x() - b.c[1].x()))
                + std::abs(dx * (b.c[0].y() - b.c[2].y()) - dy * (b.c[0].x() - b.c[2].x()));
        } else {
            d = std::abs(b.c[0].x() - b.c[1].x()) + std::abs(b.c[0].y() - b.c[1].y()) + std::abs(b.c[0].x() - b.c[2].x())
                + std::abs(b.c[0].y() - b.c[2].y());
            l = 1.0;
        }
        if (d < tolerance * l || b.levels == 0) {
            out.append(b.c[3]);
            --top;
            continue;
        }
        // The second half goes below the first on the stack.
        const QPointF m01 = (b.c[0] + b.c[1]) / 2, m12 = (b.c[1] + b.c[2]) / 2, m23 = (b.c[2] + b.c[3]) / 2;
        const QPointF m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2, mid = (m012 + m123) / 2;
        const int levels = b.levels - 1;
        const Piece first{{b.c[0], m01, m012, mid}, levels};
        const Piece second{{mid, m123, m23, b.c[3]}, levels};
        stack[top] = second;
        stack[top + 1] = first;
        ++top;
    }
}

// A glyph's outline as closed polygons in the picture's pixels: flattened where the painter
// flattens it, in the font's pixels with a tolerance of a quarter pixel of the larger scale,
// then scaled.
std::vector<QPolygonF> flattenedOutline(const QPainterPath &path, double sx, double sy)
{
    std::vector<QPolygonF> outlines;
    const double tolerance = 0.25 / std::max({std::abs(sx), std::abs(sy), 1e-9});
    QPolygonF current;
    const auto close = [&] {
        if (current.size() > 1)
            outlines.push_back(std::move(current));
        current.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            close();
            current.append(QPointF(e.x, e.y));
        } else if (e.isLineTo()) {
            current.append(QPointF(e.x, e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount() && !current.isEmpty()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            const QPointF points[4] = {current.last(), QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y)};
            flattenCubic(points, tolerance, current);
            i += 2;
        }
    }
    close();
    for (QPolygonF &outline : outlines)
        for (QPointF &p : outline)
            p = QPointF(p.x() * sx, p.y() * sy);
    return outlines;
}

// What making a glyph's outlines costs, in units of the outline fill's work, for each element of
// its path and each point of its polygons: measured in a release build, 25 to 36 ns a point (the
// path from the font, its curves halved, the points kept). A text of thousands of
// different glyphs stretched wide (ideographs, say) is made of millions of points before one is
// filled.
constexpr double kFlattenedPointWork = 3;

// The outlines of a font's glyphs at the drawing's scale.
struct FlatGlyph {
    std::vector<QPolygonF> outlines;
    QPainterPath path;    // in the font's pixels, for a fill without anti-aliasing
    QRectF bounds;        // of the outlines, from the glyph's origin
    double work = 0;      // the cells its edges cross, and its points
};

class GlyphOutlines {
public:
    GlyphOutlines(double sx, double sy, bool keepPaths) : sx_(sx), sy_(sy), keepPaths_(keepPaths) {}

    // The glyph's outlines, made the first time it is asked for: then what making them costs
    // is added to work.
    const FlatGlyph &of(const QRawFont &font, quint32 glyph, double &work)
    {
        auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const auto &f) { return f.first == font; });
        if (it == fonts_.end()) {
            fonts_.emplace_back(font, std::unordered_map<quint32, FlatGlyph>());
            it = std::prev(fonts_.end());
        }
        auto &glyphs = it->second;
        if (const auto g = glyphs.find(glyph); g != glyphs.end())
            return g->second;
        FlatGlyph flat;
        const QPainterPath path = font.pathForGlyph(glyph);
        flat.outlines = flattenedOutline(path, sx_, sy_);
        if (keepPaths_)
            flat.path = path;
        for (const QPolygonF &outline : flat.outlines) {
            flat.bounds |= outline.boundingRect();
            for (qsizetype i = 1; i < outline.size(); ++i)
                flat.work += std::abs(outline[i].x() - outline[i - 1].x()) + std::abs(outline[i].y() - outline[i - 1].y()) + 1;
            work += outline.size() * kFlattenedPointWork;
        }
        work += path.elementCount() * kFlattenedPointWork;
        return glyphs.emplace(glyph, std::move(flat)).first->second;
    }

private:
    double sx_, sy_;
    bool keepPaths_;
    std::list<std::pair<QRawFont, std::unordered_map<quint32, FlatGlyph>>> fonts_;
};

// A run of glyphs of one font of a line, placed in the picture: its outlines to be filled at
// once (where they overlap their coverage adds up, as in one path of the painter), and the
// glyphs Qt draws.
struct PlacedRun {
    std::vector<std::pair<const FlatGlyph *, QPointF>> glyphs;
    QRectF bounds;
    QPainterPath path;   // the outlines from the line's top, for a fill without anti-aliasing
    QGlyphRun byQt;      // the glyphs Qt draws, from the line's top
    QTransform at;       // from the line's top into the picture
};

GlyphOutlines outlinesFor(const TextStyle &style)
{
    const SizedFont sized = fontFor(style);
    return GlyphOutlines(stretch(style) * sized.scale, sized.scale, style.antiAlias == 0);
}

} // namespace

// The text and where it goes, what is to be drawn: each line's runs, and the lines whose
// underline or strikeout the painter draws, and what drawing it costs, in cells its edges cross
// and pixels its runs cover.
struct TextPlan::Data {
    Data(const TextStyle &style, const QString &text, const QRect &box, int alignment, const TextExtent &extent);

    TextStyle style; // without its fill image
    QString text;
    QRect box;
    int alignment;
    TextExtent extent;
    GlyphOutlines outlines;
    std::vector<PlacedRun> runs;
    std::vector<std::pair<QTransform, double>> decorations; // a line's transform and advance
    double work = 0;
};

TextPlan::Data::Data(const TextStyle &style, const QString &text, const QRect &box, int alignment,
                     const TextExtent &extent)
    : style(style), text(text), box(box), alignment(alignment), extent(extent),
      outlines(outlinesFor(style))
{
    this->style.fillImage = QImage();
}

namespace {

// Where each line of the text starts, as the painter draws it: the transform that takes the
// line's glyphs, at the font's whole pixel size from the baseline's start, into the picture.
// Goes on while line() returns true.
template <class Line>
void forEachLine(const TextStyle &style, const SizedFont &sized, const QString &text, const QRect &box, int alignment,
                 const TextExtent &e, Line &&line)
{
    const QFontMetricsF fm(sized.font);
    const double k = sized.scale;
    const double sx = stretch(style);
    const std::vector<double> widths = TextMeasurement(style, text, alignment).lineWidths(style.widthPercent);
    // The layout box inside the area; a box wider or narrower than measured aligns the lines
    // in its own width less the ink's margins.
    const double left = box.left() + e.origin.x();
    const double width = box.width() - (e.size.width() - e.layoutWidth);
    double y = box.top() + e.origin.y() + fm.ascent() * k;
    const QStringList lines = textLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &l = lines[i];
        const double lw = size_t(i) < widths.size() ? widths[size_t(i)] : 0.0;
        double x = left;
        if (alignment == 1)
            x += (width - lw) / 2.0;
        else if (alignment == 2)
            x += width - lw;
        // The glyphs are stretched, and brought to the exact size, by scaling the painter.
        QTransform t;
        t.translate(x, y);
        t.scale(sx * k, k);
        if (!line(l, t))
            return;
        y += fm.lineSpacing() * k;
    }
}

// Lays the text out and counts its work, line by line until the work passes kMaxOutlineWork.
void planGlyphs(TextPlan::Data &plan)
{
    const TextStyle &style = plan.style;
    const SizedFont sized = fontFor(style);
    GlyphKinds kinds;
    const bool decorated = sized.font.underline() || sized.font.strikeOut();
    const double sx = stretch(style) * sized.scale, sy = sized.scale;
    const bool aliased = style.antiAlias == 0;
    // The glyphs Qt draws make their pictures once a font.
    std::vector<std::pair<QRawFont, std::unordered_set<quint32>>> madeByQt;
    forEachLine(style, sized, plan.text, plan.box, plan.alignment, plan.extent, [&](const QString &l, const QTransform &t) {
        if (l.isEmpty())
            return true;
        QTextLayout layout(l, sized.font);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return true;
        if (decorated)
            plan.decorations.emplace_back(t, line.naturalTextWidth());
        // The glyph runs place the glyphs from the line's top.
        const QTransform at = QTransform::fromTranslate(0, -line.ascent()) * t;
        for (const QGlyphRun &run : line.glyphRuns()) {
            const QRawFont font = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const bool cached = inQtCache(font.pixelSize(), sx, sy);
            auto made = std::find_if(madeByQt.begin(), madeByQt.end(), [&](const auto &m) { return m.first == font; });
            PlacedRun placed;
            placed.at = at;
            QList<quint32> qtIndexes;
            QList<QPointF> qtPositions;
            for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
                const GlyphKind kind = kinds.of(font, indexes[i]);
                if (cached || kind != GlyphKind::Outline) {
                    qtIndexes.append(indexes[i]);
                    qtPositions.append(positions[i]);
                    const bool colour = kind == GlyphKind::ColourBitmap;
                    const double pixels = qtGlyphPixels(font.pixelSize(), sx, sy);
                    plan.work += pixels * kQtBlendedPixelWork + (colour ? kColourBitmapLayoutWork : 0);
                    if (made == madeByQt.end())
                        made = madeByQt.insert(madeByQt.end(), {font, {}});
                    if (made->second.insert(indexes[i]).second)
                        plan.work += pixels * kQtMadePixelWork + (colour ? kColourBitmapMadeWork : 0);
                    continue;
                }
                const FlatGlyph &g = plan.outlines.of(font, indexes[i], plan.work);
                if (g.outlines.empty())
                    continue;
                const QPointF origin = at.map(positions[i]);
                placed.glyphs.emplace_back(&g, origin);
                placed.bounds |= g.bounds.translated(origin);
                plan.work += g.work;
                if (aliased)
                    placed.path.addPath(g.path.translated(positions[i]));
            }
            if (!qtIndexes.isEmpty()) {
                placed.byQt.setRawFont(font);
                placed.byQt.setGlyphIndexes(qtIndexes);
                placed.byQt.setPositions(qtPositions);
            }
            if (placed.glyphs.empty() && qtIndexes.isEmpty())
                continue;
            plan.work += placed.bounds.width() * placed.bounds.height();
            plan.runs.push_back(std::move(placed));
        }
        return plan.work <= kMaxOutlineWork;
    });
}

// The glyphs of a run filled into img with one colour, composited as the painter's fill does,
// a band of rows at a time. The painter fills glyphs drawn as paths with smooth edges whether
// or not the text is antialiased, and so does this.
void fillRun(QImage &img, const PlacedRun &run, QRgb color)
{
    if (run.glyphs.empty())
        return;
    const QRect area = run.bounds.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(img.rect());
    if (area.isEmpty())
        return;
    constexpr qint64 kBandCells = 4 << 20;
    const int bandRows = int(std::clamp<qint64>(kBandCells / area.width(), 1, area.height()));
    const QRgb premultiplied = qPremultiply(color);
    for (int top = area.top(); top <= area.bottom(); top += bandRows) {
        const QRect band(area.left(), top, area.width(), std::min(bandRows, area.bottom() + 1 - top));
        OutlineCoverage coverage(band);
        for (const auto &[glyph, origin] : run.glyphs) {
            const QRectF b = glyph->bounds.translated(origin);
            if (b.bottom() < band.top() - 1 || b.top() > band.bottom() + 1)
                continue;
            for (const QPolygonF &outline : glyph->outlines)
                coverage.addOutline(outline.constData(), outline.size(), origin);
        }
        const std::vector<std::uint8_t> cover = coverage.coverage();
        for (int y = 0; y < band.height(); ++y) {
            QRgb *d = reinterpret_cast<QRgb *>(img.scanLine(band.top() + y)) + band.left();
            const std::uint8_t *c = cover.data() + size_t(y) * size_t(band.width());
            for (int x = 0; x < band.width(); ++x) {
                if (c[x] == 0)
                    continue;
                const QRgb source = c[x] == 255 ? premultiplied : detail::byteMul(premultiplied, c[x]);
                d[x] = qAlpha(source) == 255 ? source : source + detail::byteMul(d[x], 255 - qAlpha(source));
            }
        }
    }
}

void setUpPainter(QPainter &p, const TextStyle &style, const SizedFont &sized, const QColor &color)
{
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, style.antiAlias != 0);
    p.setFont(sized.font);
    p.setPen(QPen(color, 1));
}

// The underline and strikeout of a line, as the painter draws them under the glyphs' path.
void drawDecorations(QImage &img, const SizedFont &sized, const TextPlan::Data &plan, const QColor &color)
{
    if (plan.decorations.empty())
        return;
    const QFontMetricsF fm(sized.font);
    QPainter p(&img);
    setUpPainter(p, plan.style, sized, color);
    QPen pen(color, fm.lineWidth(), Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const auto &[t, advance] : plan.decorations) {
        p.setTransform(t);
        const double x2 = std::floor(advance);
        if (sized.font.underline()) {
            const double offset = fm.underlinePos();
            double adjusted = std::ceil(offset) + 0.5;
            if (offset <= fm.descent())
                adjusted = std::min(adjusted, fm.descent() - 0.5);
            p.drawLine(QLineF(0, adjusted, x2, adjusted));
        }
        if (sized.font.strikeOut())
            p.drawLine(QLineF(0, -fm.ascent() / 3.0, x2, -fm.ascent() / 3.0));
    }
}

// The glyphs of a run that are not filled here, and the outlines of a text without anti-aliasing:
// drawn by Qt's painter, as Qt draws them (an aliased fill is Qt's, pixel for pixel).
void drawByQt(QImage &img, const SizedFont &sized, const TextPlan::Data &plan, const QColor &color)
{
    QPainter p(&img);
    setUpPainter(p, plan.style, sized, color);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (const PlacedRun &run : plan.runs) {
        p.setTransform(run.at);
        if (!run.path.isEmpty()) {
            QPainterPath path = run.path;
            path.setFillRule(Qt::WindingFill);
            p.drawPath(path);
        }
        if (!run.byQt.glyphIndexes().isEmpty()) {
            p.setPen(QPen(color, 1));
            p.drawGlyphRun(QPointF(0, 0), run.byQt);
            p.setPen(Qt::NoPen);
        }
    }
}

// The lines of the text with one colour, at their places in the box.
void drawLines(QImage &img, const TextPlan::Data &plan, const QColor &color)
{
    ++sTextDrawings;
    const TextStyle &style = plan.style;
    const SizedFont sized = fontFor(style);
    if (style.antiAlias != 0)
        for (const PlacedRun &run : plan.runs)
            fillRun(img, run, color.rgba());
    drawByQt(img, sized, plan, color);
    drawDecorations(img, sized, plan, color);
}

} // namespace

TextPlan::TextPlan(const TextStyle &style, const QString &text, const QRect &box, int alignment,
                   const TextExtent &extent)
{
    auto plan = std::make_shared<Data>(style, text, box, alignment, extent);
    if (beyondTextBounds(style, text))
        plan->work = std::numeric_limits<double>::infinity();
    else
        planGlyphs(*plan);
    data_ = std::move(plan);
}

double TextPlan::work() const { return data_->work; }

double drawingWork(const TextStyle &style, const QString &text, int alignment)
{
    if (beyondTextBounds(style, text))
        return std::numeric_limits<double>::infinity();
    const TextExtent e = textExtent(style, text, alignment);
    return TextPlan(style, text, QRect(QPoint(0, 0), e.size), alignment, e).work();
}

long textDrawings() { return sTextDrawings; }

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment)
{
    if (!img.isNull() && !beyondTextBounds(style, text))
        drawText(img, style, text, box, alignment, textExtent(style, text, alignment));
}

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment,
              const TextExtent &extent)
{
    if (!img.isNull())
        drawText(img, TextPlan(style, text, box, alignment, extent), style.fillImage);
}

void drawText(QImage &img, const TextPlan &text, const QImage &fillImage)
{
    const TextPlan::Data &plan = *text.data_;
    if (img.isNull() || text.tooCostly())
        return;
    if (fillImage.isNull()) {
        drawLines(img, plan, fromColorRef(plan.style.penColor));
        return;
    }
    // Filled text: the glyphs' coverage first, on a layer of its own, then the fill image,
    // stretched over the text's box, kept where the glyphs are, and the layer laid onto the
    // picture. Two blends of the whole layer instead of a textured blend per glyph.
    QImage layer(img.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        throw std::bad_alloc();
    layer.fill(Qt::transparent);
    drawLines(layer, plan, Qt::white);
    {
        const QRect &box = plan.box;
        QPainter p(&layer);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        const QSize boxSize = box.size().isValid() ? box.size() : plan.extent.size;
        p.drawImage(QRect(box.topLeft(), boxSize.expandedTo(QSize(1, 1))), fillImage);
        // Glyph parts outside the box keep the fill's nearest colours, as a stretched brush does.
        p.setClipRegion(QRegion(layer.rect()).subtracted(QRect(box.topLeft(), boxSize)));
        QBrush brush(fillImage);
        QTransform bt;
        bt.translate(box.left(), box.top());
        bt.scale(double(std::max(1, boxSize.width())) / fillImage.width(),
                 double(std::max(1, boxSize.height())) / fillImage.height());
        brush.setTransform(bt);
        p.fillRect(layer.rect(), brush);
    }
    QPainter p(&img);
    p.drawImage(0, 0, layer);
}

} // namespace platform::imaging
