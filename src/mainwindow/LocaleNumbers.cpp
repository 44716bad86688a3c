#include "mainwindow/LocaleNumbers.h"

#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/libInitialize.h"

#include <algorithm>

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
    // The grouping sign stands only where the locale writes it: in the whole part, before
    // each group of three digits, after one to three digits ("1,500", never "1,5" or ",500").
    bool inWholePart = true, grouped = false;
    int digitsInGroup = 0;
    const auto endOfWholePart = [&] {
        const bool ok = !grouped || digitsInGroup == 3;
        inWholePart = false;
        return ok;
    };
    QString t;
    t.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text.mid(i, dec.size()) == dec) {
            if (inWholePart && !endOfWholePart())
                return std::nullopt;
            t += u',';
            i += dec.size();
        } else if (text.mid(i, group.size()) == group) {
            if (!inWholePart || digitsInGroup == 0 || digitsInGroup > 3 || (grouped && digitsInGroup != 3))
                return std::nullopt;
            grouped = true;
            digitsInGroup = 0;
            i += group.size();
        } else if (text[i] == u',' || text[i] == u'.') {
            return std::nullopt; // a sign of another locale
        } else {
            if (text[i] >= u'0' && text[i] <= u'9') {
                if (inWholePart)
                    ++digitsInGroup;
            } else if (inWholePart && digitsInGroup > 0 && !endOfWholePart()) {
                return std::nullopt;
            }
            t += text[i++];
        }
    }
    if (inWholePart && !endOfWholePart())
        return std::nullopt;
    return parseDataNumber(t);
}

bool isUserNumeric(const QString &text) { return parseUserNumber(text).has_value(); }

std::optional<double> leadingUserNumber(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    for (qsizetype n = std::min<qsizetype>(text.size() - start, 64); n > 0; --n)
        if (const std::optional<double> v = parseUserNumber(text.mid(start, n)))
            return v;
    return std::nullopt;
}

QString formatUserNumber(double value)
{
    QString s = formatDataNumber(value);
    s.replace(u',', decimalSign());
    return s;
}
