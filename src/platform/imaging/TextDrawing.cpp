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

void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment)
{
    if (img.isNull())
        return;
    const QFont f = fontFor(style);
    const QFontMetricsF fm(f);
    const double sx = stretch(style);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, style.antiAlias != 0);
    p.setFont(f);
    QBrush brush(fromColorRef(style.penColor));
    if (!style.fillImage.isNull()) {
        // The fill image is stretched over the text's box.
        const QSize boxSize = box.size().isValid() ? box.size() : measureText(style, text);
        brush = QBrush(style.fillImage);
        QTransform t;
        t.translate(box.left(), box.top());
        t.scale(double(std::max(1, boxSize.width())) / style.fillImage.width(),
                double(std::max(1, boxSize.height())) / style.fillImage.height());
        brush.setTransform(t);
    }
    double y = box.top() + fm.ascent();
    for (const QString &l : textLines(text)) {
        const double lw = fm.horizontalAdvance(l) * sx;
        double x = box.left();
        if (alignment == 1)
            x += (box.width() - lw) / 2.0;
        else if (alignment == 2)
            x += box.width() - lw;
        // The glyphs are stretched by scaling the painter; the brush stays in image pixels.
        QTransform t;
        t.translate(x, y);
        t.scale(sx, 1.0);
        p.setTransform(t);
        QBrush local = brush;
        local.setTransform(brush.transform() * t.inverted());
        p.setPen(QPen(local, 1));
        p.drawText(QPointF(0, 0), l);
        y += fm.lineSpacing();
    }
}

} // namespace platform::imaging
