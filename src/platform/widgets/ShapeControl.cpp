#include "platform/widgets/ShapeControl.h"

#include <QPainter>

ShapeControl::ShapeControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeControl::setShape(int s)
{
    shape_ = s;
    update();
}

void ShapeControl::setBorderColor(std::uint32_t bgr)
{
    color_ = bgr & 0xFFFFFFu;
    update();
}

void ShapeControl::setBorderStyle(int s)
{
    style_ = s;
    update();
}

void ShapeControl::setBorderWidth(int px)
{
    width_ = std::max(1, px);
    update();
}

void ShapeControl::paintEvent(QPaintEvent *)
{
    if (style_ == kTransparent)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, shape_ != kRectangle);
    QPen pen(QColor(int(color_ & 0xFF), int((color_ >> 8) & 0xFF), int((color_ >> 16) & 0xFF)));
    pen.setWidth(width_);
    pen.setStyle(style_ == kDash ? Qt::DashLine : style_ == kDot ? Qt::DotLine : Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The line lies inside the widget: inset by half its width.
    const double half = width_ / 2.0;
    QRectF r = QRectF(rect()).adjusted(half, half, -half, -half);
    if (shape_ == kCircle) {
        const double d = std::min(r.width(), r.height());
        r = QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
    }
    if (shape_ == kRectangle)
        p.drawRect(r);
    else
        p.drawEllipse(r);
}
