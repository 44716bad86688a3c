#pragma once
// What the pages of the options build their controls with: the name (and, for an element
// of a control array, the index) that localisation finds a control by, and the small picture
// buttons of the folder boxes.
#include "dialogs/ClickableLabel.h"

#include <QString>
#include <QStyle>
#include <QWidget>

namespace optionspages {

template <class T>
T *named(T *control, const QString &name, int index = -1)
{
    if (index >= 0) {
        control->setObjectName(name + u'_' + QString::number(index));
        control->setProperty("index", index);
    } else {
        control->setObjectName(name);
    }
    return control;
}

inline ClickableLabel *pictureButton(QStyle::StandardPixmap icon, const QString &name, QWidget *owner)
{
    auto *l = named(new ClickableLabel, name);
    l->setPixmap(owner->style()->standardIcon(icon).pixmap(16, 16));
    l->setCursor(Qt::PointingHandCursor);
    l->setFixedSize(22, 22);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace optionspages
