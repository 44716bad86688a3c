#include "platform/imaging/TextDrawing.h"

#include "platform/imaging/Colors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

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
    QPainterPath path;
    const QStringList lines = textLines(text);
    double y = fm.ascent();
    for (const QString &l : lines) {
        const double lw = fm.horizontalAdvance(l) * sx;
        double x = 0;
        if (alignment == 1)
            x = (box.width() - lw) / 2.0;
        else if (alignment == 2)
            x = box.width() - lw;
        QPainterPath line;
        line.addText(0, 0, f, l);
        // Underline and strikethrough are drawn by us: the outline of a text leaves them out.
        const double lineW = fm.horizontalAdvance(l);
        const double thick = std::max(1.0, fm.lineWidth());
        if (style.underline)
            line.addRect(QRectF(0, fm.underlinePos(), lineW, thick));
        if (style.strikethrough)
            line.addRect(QRectF(0, -fm.strikeOutPos(), lineW, thick));
        QTransform t;
        t.translate(box.left() + x, box.top() + y);
        t.scale(sx, 1.0);
        path.addPath(t.map(line));
        y += fm.lineSpacing();
    }
    path.setFillRule(Qt::WindingFill);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, style.antiAlias != 0);
    p.setPen(Qt::NoPen);
    if (!style.fillImage.isNull()) {
        const QSize boxSize = box.size().isValid() ? box.size() : measureText(style, text);
        QBrush brush(style.fillImage.scaled(std::max(1, boxSize.width()), std::max(1, boxSize.height()),
                                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        brush.setTransform(QTransform::fromTranslate(box.left(), box.top()));
        p.setBrush(brush);
    } else {
        p.setBrush(fromColorRef(style.penColor));
    }
    p.drawPath(path);
}

} // namespace platform::imaging
