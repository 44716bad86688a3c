#include "dialogs/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

QPixmap pelmoraLogo(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    // The case, with its printed insert.
    const QRectF box(s * 0.06, s * 0.10, s * 0.62, s * 0.80);
    QLinearGradient insert(box.topLeft(), box.bottomRight());
    insert.setColorAt(0, QColor(0x2f, 0x6f, 0xb5));
    insert.setColorAt(1, QColor(0x8a, 0x3f, 0xa8));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), s / 48));
    p.setBrush(insert);
    p.drawRoundedRect(box, s * 0.03, s * 0.03);
    p.setPen(QPen(QColor(255, 255, 255, 160), s / 40));
    p.drawLine(QPointF(box.left() + s * 0.08, box.top()), QPointF(box.left() + s * 0.08, box.bottom()));
    // The disc.
    const QPointF c(s * 0.62, s * 0.52);
    const double r = s * 0.34;
    QRadialGradient disc(c, r);
    disc.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    disc.setColorAt(0.7, QColor(0xc8, 0xd2, 0xdc));
    disc.setColorAt(1, QColor(0x9a, 0xa8, 0xb6));
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), s / 64));
    p.setBrush(disc);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0xe0, 0xe6, 0xec));
    p.drawEllipse(c, r * 0.3, r * 0.3);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r * 0.12, r * 0.12);
    return pm;
}
