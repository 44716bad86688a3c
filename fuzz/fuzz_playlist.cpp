// Any bytes as a playlist or a dropped text file, with any line ends: the lines, the M3U and
// PLS entries and the local file each entry names.
#include "tracklists/Playlists.h"

#include "core/mdlUtil.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = splitTextLines(bytes);
    for (const QString &line : lines)
        if (line.contains(u'\r') || line.contains(u'\n'))
            __builtin_trap();
    for (const char *extension : {"m3u", "pls"}) {
        for (const QString &entry : playlistEntries(lines, QString::fromLatin1(extension))) {
            if (getExtension(entry) != QStringLiteral("mp3"))
                __builtin_trap();
            const QString local = localPathOfEntry(entry, QStringLiteral("/lists"));
            if (local.contains(u'\\') && !entry.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
                __builtin_trap();
        }
    }
    return 0;
}
