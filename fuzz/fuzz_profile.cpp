// Arbitrary bytes as a profile file: parse, read every key of every section named in the
// data, write a key back and read the result again.
#include "platform/ini/ProfileFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    platform::ProfileFile pf = platform::ProfileFile::fromBytes(bytes);
    const QString text = platform::TextCodec::decodeAuto(bytes);
    for (const QString &line : text.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.startsWith(u'[') || !t.contains(u']'))
            continue;
        const QString section = t.mid(1, t.indexOf(u']') - 1);
        const QString names = pf.keyNameBuffer(section, 5000);
        if (names.size() > 4999)
            __builtin_trap();
        for (const QString &n : names.split(QChar(0)))
            if (!n.isEmpty() && pf.value(section, n, 2000).size() > 1999)
                __builtin_trap();
        if (pf.setValue(section, QStringLiteral("FUZZ"), QStringLiteral("value"))) {
            const auto again = platform::ProfileFile::fromBytes(pf.toBytes());
            if (again.value(section, QStringLiteral("FUZZ"), 2000) != QStringLiteral("value"))
                __builtin_trap();
        }
        break;
    }
    return 0;
}
