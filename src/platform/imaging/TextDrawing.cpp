#include "platform/imaging/TextDrawing.h"

#include "platform/imaging/Colors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <vector>

namespace platform::imaging {
namespace {

QFont fontFor(const TextStyle &s)
{
    QFont f(s.fontName);
    // Points at 96 dpi, whatever the device: sizes stay the same on screen, in files and on paper.
    f.setPixelSize(std::max(1, int(std::lround(s.size * 96.0 / 72.0))));
    f.setWeight(s.weight >= 7 ? QFont::Bold : QFont::Normal);
    f.setItalic(s.italic);
    f.setUnderline(s.underline);
    f.setStrikeOut(s.strikethrough);
    if (s.charSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, s.charSpacing);
    f.setKerning(true);
    f.setStyleStrategy(s.antiAlias == 0 ? QFont::NoAntialias : QFont::PreferAntialias);
    return f;
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

// The advance of a line: the spacing goes between letters, not after the last one.
double lineAdvance(const QFontMetricsF &fm, const QString &line, int spacing)
{
    return line.isEmpty() ? 0.0 : fm.horizontalAdvance(line) - spacing;
}

Layout layoutLines(const TextStyle &style, const QFontMetricsF &fm, const QString &text, int alignment)
{
    Layout l;
    const double sx = stretch(style);
    for (const QString &t : textLines(text)) {
        const double w = lineAdvance(fm, t, style.charSpacing) * sx;
        l.lines.push_back({t, 0.0, w});
        l.width = std::max(l.width, w);
    }
    for (LineLayout &line : l.lines) {
        if (alignment == 1)
            line.x = (l.width - line.width) / 2.0;
        else if (alignment == 2)
            line.x = l.width - line.width;
    }
    l.ascent = fm.ascent();
    l.lineSpacing = fm.lineSpacing();
    l.height = fm.height() + double(l.lines.size() - 1) * l.lineSpacing;
    return l;
}

} // namespace

TextExtent textExtent(const TextStyle &style, const QString &text, int alignment)
{
    const QFont f = fontFor(style);
    const QFontMetricsF fm(f);
    const Layout l = layoutLines(style, fm, text, alignment);
    const double sx = stretch(style);
    // The layout box and the ink of every line, as the glyphs' outlines reach. Half a pixel
    // more around the ink for the edge pixels of glyphs placed between two pixels.
    QRectF area(0, 0, l.width, l.height);
    double baseline = l.ascent;
    for (const LineLayout &line : l.lines) {
        if (!line.text.isEmpty()) {
            const QRectF ink = fm.boundingRect(line.text);
            if (!ink.isEmpty())
                area |= QRectF(line.x + ink.left() * sx, baseline + ink.top(), ink.width() * sx, ink.height())
                            .adjusted(-0.5, -0.5, 0.5, 0.5);
            if (f.underline())
                area |= QRectF(line.x, baseline + fm.underlinePos(), line.width, fm.lineWidth());
        }
        baseline += l.lineSpacing;
    }
    const int left = int(std::floor(area.left())), top = int(std::floor(area.top()));
    const int right = int(std::ceil(area.right())), bottom = int(std::ceil(area.bottom()));
    TextExtent e;
    e.size = QSize(right - left, bottom - top);
    e.origin = QPoint(-left, -top);
    e.layoutWidth = l.width;
    return e;
}

QSize measureText(const TextStyle &style, const QString &text, int alignment)
{
    return textExtent(style, text, alignment).size;
}

namespace {

// The lines of the text with one pen, at their places in the box.
void drawLines(QPainter &p, const TextStyle &style, const QFont &f, const QString &text, const QRect &box,
               int alignment, const QColor &color)
{
    const QFontMetricsF fm(f);
    const double sx = stretch(style);
    const TextExtent e = textExtent(style, text, alignment);
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, style.antiAlias != 0);
    p.setFont(f);
    p.setPen(QPen(color, 1));
    // The layout box inside the area; a box wider or narrower than measured aligns the lines
    // in its own width less the ink's margins.
    const double left = box.left() + e.origin.x();
    const double width = box.width() - (e.size.width() - e.layoutWidth);
    double y = box.top() + e.origin.y() + fm.ascent();
    for (const QString &l : textLines(text)) {
        const double lw = lineAdvance(fm, l, style.charSpacing) * sx;
        double x = left;
        if (alignment == 1)
            x += (width - lw) / 2.0;
        else if (alignment == 2)
            x += width - lw;
        // The glyphs are stretched by scaling the painter.
        QTransform t;
        t.translate(x, y);
        t.scale(sx, 1.0);
        p.setTransform(t);
        p.drawText(QPointF(0, 0), l);
        y += fm.lineSpacing();
    }
}

} // namespace

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment)
{
    if (img.isNull())
        return;
    const QFont f = fontFor(style);
    if (style.fillImage.isNull()) {
        QPainter p(&img);
        drawLines(p, style, f, text, box, alignment, fromColorRef(style.penColor));
        return;
    }
    // Filled text: the glyphs' coverage first, on a layer of its own, then the fill image,
    // stretched over the text's box, kept where the glyphs are, and the layer laid onto the
    // picture. Two blends of the whole layer instead of a textured blend per glyph.
    QImage layer(img.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        return;
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        drawLines(p, style, f, text, box, alignment, Qt::white);
        p.resetTransform();
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        const QSize boxSize = box.size().isValid() ? box.size() : measureText(style, text, alignment);
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
