// Arbitrary text as a number of a data file and as one the user typed (with "," and with
// "." as the locale's decimal sign), and through the integer conversions built on them.
#include "FuzzSupport.h"
#include "core/AppError.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "mainwindow/LocaleNumbers.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void checkRoundTrip(const std::optional<double> &value)
{
    if (!value)
        return;
    if (!std::isfinite(*value))
        __builtin_trap();
    // What the program writes back reads as the same number.
    const std::optional<double> again = parseDataNumber(formatDataNumber(*value));
    if (!again || *again != *value)
        __builtin_trap();
}

template <typename F>
void convert(F f)
{
    try {
        f();
    } catch (const AppError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzsupport::home();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 4096)));
    checkRoundTrip(parseDataNumber(text));
    if (parseDataNumber(text).has_value() != isNumericText(text))
        __builtin_trap();
    for (const QString &sign : {QStringLiteral(","), QStringLiteral(".")}) {
        gStrDecimalSeparator = sign;
        const std::optional<double> typed = parseUserNumber(text);
        checkRoundTrip(typed);
        // What the program shows the user reads back as the same number.
        if (typed && parseUserNumber(formatUserNumber(*typed)) != typed)
            __builtin_trap();
    }
    convert([&] { toByte(text); });
    convert([&] { toInt16(text); });
    convert([&] { toInt32(text); });
    convert([&] { toDouble(text); });
    if (const std::optional<double> v = parseDataNumber(text)) {
        convert([&] { toInt32(*v); });
        convert([&] { toInt16(*v); });
    }
    return 0;
}
