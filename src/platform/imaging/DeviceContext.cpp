#include "platform/imaging/DeviceContext.h"

#include "platform/imaging/Colors.h"

#include <QPainter>

namespace platform::imaging {
namespace {

QPen qpen(const Pen &pen)
{
    QPen p(fromColorRef(pen.color, pen.alpha));
    p.setWidth(std::max(0, pen.width));
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    switch (pen.style) {
    case 1: p.setStyle(Qt::DashLine); break;
    case 2: p.setStyle(Qt::DotLine); break;
    case 3: p.setStyle(Qt::DashDotLine); break;
    case 4: p.setStyle(Qt::DashDotDotLine); break;
    default: p.setStyle(Qt::SolidLine); break;
    }
    return p;
}

} // namespace

void PainterContext::paintImage(const QImage &img, int x, int y)
{
    p_.drawImage(QPoint(x, y), img);
}

void PainterContext::paintImageStretched(const QImage &img, const QRect &target)
{
    p_.save();
    p_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p_.drawImage(target, img);
    p_.restore();
}

void PainterContext::drawLine(QPoint from, QPoint to, const Pen &pen)
{
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setPen(qpen(pen));
    p_.drawLine(from, to);
    p_.restore();
}

void PainterContext::drawRect(QPoint corner1, QPoint corner2, const Pen &pen)
{
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setPen(qpen(pen));
    p_.setBrush(Qt::NoBrush);
    // Like the classic rectangle call: the outline covers the first corner up to one pixel
    // short of the second.
    p_.drawRect(QRect(corner1, corner2).normalized().adjusted(0, 0, -2, -2));
    p_.restore();
}

void RecordingContext::add(Item item)
{
    // An opaque line or frame that is already there would only paint the same pixels again:
    // a frame drawn on every mouse move stays one item, and one drawing per paint.
    if ((item.kind == Item::Line || item.kind == Item::Rect) && item.pen.alpha >= 255) {
        for (const Item &i : items_)
            if (i.kind == item.kind && i.a == item.a && i.b == item.b && i.pen.color == item.pen.color
                && i.pen.alpha == item.pen.alpha && i.pen.style == item.pen.style && i.pen.width == item.pen.width)
                return;
    }
    items_.push_back(std::move(item));
    if (changed)
        changed();
}

void RecordingContext::paintImage(const QImage &img, int x, int y)
{
    add({Item::Image, img, QRect(), QPoint(x, y), QPoint(), Pen()});
}

void RecordingContext::paintImageStretched(const QImage &img, const QRect &target)
{
    add({Item::StretchedImage, img, target, QPoint(), QPoint(), Pen()});
}

void RecordingContext::drawLine(QPoint from, QPoint to, const Pen &pen)
{
    add({Item::Line, QImage(), QRect(), from, to, pen});
}

void RecordingContext::drawRect(QPoint corner1, QPoint corner2, const Pen &pen)
{
    add({Item::Rect, QImage(), QRect(), corner1, corner2, pen});
}

void RecordingContext::replay(DeviceContext &dc) const
{
    for (const Item &i : items_) {
        switch (i.kind) {
        case Item::Image: dc.paintImage(i.image, i.a.x(), i.a.y()); break;
        case Item::StretchedImage: dc.paintImageStretched(i.image, i.rect); break;
        case Item::Line: dc.drawLine(i.a, i.b, i.pen); break;
        case Item::Rect: dc.drawRect(i.a, i.b, i.pen); break;
        }
    }
}

} // namespace platform::imaging
