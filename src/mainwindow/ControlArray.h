#pragma once
// Control arrays of the forms: the elements "C_I" of a form, each with the property index = I,
// collected into an array in index order. A missing element is a fault of the form.
#include <QString>
#include <QVariant>
#include <QWidget>
#include <array>

template <class T, size_t N>
void controlArray(QWidget *form, const char *name, std::array<T *, N> &out)
{
    for (size_t i = 0; i < N; ++i) {
        const QString objectName = QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i);
        T *c = form->findChild<T *>(objectName);
        if (!c || c->property("index").toInt() != int(i))
            qFatal("%s: the control array element %s is missing", qPrintable(form->objectName()), qPrintable(objectName));
        out[i] = c;
    }
}
