#include "mainwindow/clsPrintBorders.h"

#include "platform/Rounding.h"
#include "platform/imaging/Colors.h"

#include <QPainter>

platform::imaging::Pen clsPrintBorders::pen() const
{
    return platform::imaging::Pen{std::uint32_t(color_), 255, int(style_), int(thickness_)};
}

void clsPrintBorders::singleLine(float x1, float y1, float x2, float y2, bool rectangle)
{
    if (!canvas_)
        return;
    const QPoint a(roundToInt(x1), roundToInt(y1));
    const QPoint b(roundToInt(x2), roundToInt(y2));
    platform::imaging::DeviceContext &dc = canvas_();
    if (rectangle)
        dc.drawRect(a, b, pen());
    else
        dc.drawLine(a, b, pen());
}

void clsPrintBorders::Ellipse(float x, float y, float width, float height, bool flag)
{
    if (!canvas_ || flag)
        return;
    if (height == -1)
        height = width;
    const int w = std::max(1, roundToInt(width)), h = std::max(1, roundToInt(height));
    QImage img(2 * w + roundToInt(x), 2 * h + roundToInt(y), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        QPen qp(platform::imaging::fromColorRef(std::uint32_t(color_)));
        qp.setWidth(std::max(1, int(thickness_)));
        qp.setStyle(style_ == 2 ? Qt::DotLine : Qt::SolidLine);
        p.setPen(qp);
        p.drawEllipse(QRectF(x, y, w, h));
    }
    canvas_().paintImage(img, 0, 0);
}
