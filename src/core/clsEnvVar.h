#pragma once
// One variable of the variable store: its full name "SECTION.KEY", its raw value and a tag.
#include <QString>
#include <QVariant>

class clsEnvVar {
public:
    QString Key;
    QString val;
    qint32 valType = 0;

    // Part of the store's interface since its first version; it has never done anything.
    void SetAll(const QVariant &, const QVariant &, const QVariant &) {}
};
