#include "core/Numbers.h"

#include "core/AppError.h"

#include <charconv>
#include <cmath>
#include <limits>

std::optional<double> parseDataNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 400)
        return std::nullopt;
    std::string s;
    s.reserve(size_t(t.size()));
    bool digits = false, sep = false, exp = false, expDigits = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            (exp ? expDigits : digits) = true;
            s.push_back(char(c.unicode()));
        } else if ((c == u',' || c == u'.') && !sep && !exp) {
            sep = true;
            s.push_back('.');
        } else if ((c == u'e' || c == u'E') && digits && !exp) {
            exp = true;
            s.push_back('e');
        } else if ((c == u'+' || c == u'-') && (i == 0 || (exp && s.back() == 'e'))) {
            if (c == u'-')
                s.push_back('-');
        } else {
            return std::nullopt;
        }
    }
    if (!digits || (exp && !expDigits))
        return std::nullopt;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool isNumericText(const QString &text) { return parseDataNumber(text).has_value(); }

QString formatDataNumber(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    char buf[400];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    QString s = ec == std::errc() ? QString::fromLatin1(buf, ptr - buf) : QString::number(value);
    s.replace(u'.', u',');
    return s;
}

double toDouble(const QString &text)
{
    const auto v = parseDataNumber(text);
    if (!v)
        throw AppError(ErrNo::TypeMismatch);
    return *v;
}

namespace {
template <class T>
T toIntegral(double value)
{
    if (!std::isfinite(value))
        throw AppError(ErrNo::Overflow);
    const double r = roundHalfEven(value);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        throw AppError(ErrNo::Overflow);
    return static_cast<T>(r);
}
} // namespace

std::uint8_t toByte(const QString &text) { return toIntegral<std::uint8_t>(toDouble(text)); }
std::int16_t toInt16(const QString &text) { return toIntegral<std::int16_t>(toDouble(text)); }
std::int32_t toInt32(const QString &text) { return toIntegral<std::int32_t>(toDouble(text)); }
std::int32_t toInt32(double value) { return toIntegral<std::int32_t>(value); }
std::int16_t toInt16(double value) { return toIntegral<std::int16_t>(value); }
