#include "mainwindow/LocaleNumbers.h"

#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/libInitialize.h"

namespace {
QString decimalSign() { return gStrDecimalSeparator.isEmpty() ? QStringLiteral(".") : gStrDecimalSeparator; }
} // namespace

QString userGroupSeparator()
{
    const QString group = getUserLocaleInfo(15);
    if (!group.isEmpty() && group != decimalSign())
        return group;
    return decimalSign() == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
}

std::optional<double> parseUserNumber(const QString &text)
{
    const QString dec = decimalSign();
    const QString group = userGroupSeparator();
    QString t;
    t.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text.mid(i, dec.size()) == dec) {
            t += u',';
            i += dec.size();
        } else if (text.mid(i, group.size()) == group) {
            i += group.size();
        } else if (text[i] == u',' || text[i] == u'.') {
            return std::nullopt; // a sign of another locale
        } else {
            t += text[i++];
        }
    }
    return parseDataNumber(t);
}

bool isUserNumeric(const QString &text) { return parseUserNumber(text).has_value(); }

QString formatUserNumber(double value)
{
    QString s = formatDataNumber(value);
    s.replace(u',', decimalSign());
    return s;
}
