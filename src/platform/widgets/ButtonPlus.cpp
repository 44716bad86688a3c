#include "platform/widgets/ButtonPlus.h"

#include <QEnterEvent>

ButtonPlus::ButtonPlus(QWidget *parent) : QPushButton(parent) {}

void ButtonPlus::setCaptionAlignment(int a)
{
    captionAlignment_ = a;
    setStyleSheet(a == kCaptionLeft ? QStringLiteral("text-align: left; padding-left: 4px;") : QString());
}

void ButtonPlus::enterEvent(QEnterEvent *e)
{
    QPushButton::enterEvent(e);
    emit entered();
}

void ButtonPlus::leaveEvent(QEvent *e)
{
    QPushButton::leaveEvent(e);
    emit left();
}
