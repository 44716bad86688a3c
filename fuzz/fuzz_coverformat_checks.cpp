// Any text as the fields of the cover-format editor: a name the check lets through fits a
// cover-format record (not blank, at most 30 characters, no ";" and no line break), and a
// length it lets through is a finite number of single precision on the right side of 0, with
// the creases within the width.
#include "coverformats/CoverFormatChecks.h"
#include "core/Globals.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte: the decimal sign of the user's locale and how the rest is cut in four.
    gStrDecimalSeparator = data[0] & 1 ? QStringLiteral(",") : QStringLiteral(".");
    const QString all = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QStringList parts = all.split(QChar(0x1F));
    const auto part = [&](int i) { return i < parts.size() ? parts[i] : QString(); };

    const QString name = part(0);
    if (coverNameRejection(name).isEmpty() &&
        (name.trimmed().isEmpty() || name.size() > kMaxCoverNameLength || name.contains(u';') ||
         name.contains(u'\n') || name.contains(u'\r')))
        __builtin_trap();

    const QString width = part(1), crease1 = part(2), crease2 = part(3);
    for (const CoverLengthField f : {CoverLengthField::Height, CoverLengthField::Width, CoverLengthField::LeftOffset,
                                     CoverLengthField::TopOffset, CoverLengthField::Crease}) {
        const QString text = f == CoverLengthField::Width ? width : f == CoverLengthField::Crease ? crease1 : name;
        const QString key = coverLengthRejection(f, text, width, crease1, crease2);
        if (!key.isEmpty() && key != QLatin1String("ERR_NO_NUMBER") && key != QLatin1String("ERR_BORDER_SIZE"))
            __builtin_trap();
        if (!key.isEmpty())
            continue;
        const std::optional<double> v = readCoverLength(text);
        if (!v || !std::isfinite(*v) || std::fabs(*v) > double(FLT_MAX))
            __builtin_trap();
        const bool positive = f == CoverLengthField::Height || f == CoverLengthField::Width;
        if (positive ? !(*v > 0) : !(*v >= 0))
            __builtin_trap();
        const std::optional<double> w = readCoverLength(width);
        if (f == CoverLengthField::Crease && w && *v > *w + 0.001)
            __builtin_trap();
    }
    return 0;
}
