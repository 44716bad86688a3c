#include "platform/imaging/TextDrawing.h"

#include "platform/imaging/Colors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

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

QSize measureText(const TextStyle &style, const QString &text)
{
    const QFont f = fontFor(style);
    const QFontMetricsF fm(f);
    const QStringList lines = textLines(text);
    double w = 0;
    for (const QString &l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    const double h = fm.height() + (lines.size() - 1) * fm.lineSpacing();
    return QSize(int(std::ceil(w * stretch(style))), int(std::ceil(h)));
}

namespace {

// The lines of the text with one pen, at their places in the box.
void drawLines(QPainter &p, const TextStyle &style, const QFont &f, const QString &text, const QRect &box,
               int alignment, const QColor &color)
{
    const QFontMetricsF fm(f);
    const double sx = stretch(style);
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, style.antiAlias != 0);
    p.setFont(f);
    p.setPen(QPen(color, 1));
    double y = box.top() + fm.ascent();
    for (const QString &l : textLines(text)) {
        const double lw = fm.horizontalAdvance(l) * sx;
        double x = box.left();
        if (alignment == 1)
            x += (box.width() - lw) / 2.0;
        else if (alignment == 2)
            x += box.width() - lw;
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
        const QSize boxSize = box.size().isValid() ? box.size() : measureText(style, text);
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
