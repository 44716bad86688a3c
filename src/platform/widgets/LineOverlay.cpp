#include "platform/widgets/LineOverlay.h"

#include <QEvent>
#include <QPainter>

LineOverlay::LineOverlay(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    lines_.changed = [this] { update(); };
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
    raise();
}

void LineOverlay::clear()
{
    lines_.clear();
    update();
}

void LineOverlay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    platform::imaging::PainterContext dc(p);
    lines_.replay(dc);
}

bool LineOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        raise();
    }
    return QWidget::eventFilter(watched, event);
}
