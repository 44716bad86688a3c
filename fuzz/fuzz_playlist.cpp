// Any bytes as a playlist or a dropped text file, with any line ends: the lines as the reader
// takes them a piece at a time, the M3U and PLS entries and the local file each entry names.
// A text that the reader does not refuse reads as the whole text decoded and split at once.
#include "platform/ini/TextCodec.h"
#include "platform/ini/TextLines.h"
#include "tracklists/Playlists.h"
#include "tracklists/TextLineReader.h"

#include "core/mdlUtil.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

namespace {

// The lines of a text decoded whole (UTF-8 when valid, else Windows-1252).
QStringList wholeTextLines(const QByteArray &bytes)
{
    const QString text = platform::TextCodec::decodeAuto(bytes);
    QStringList lines;
    platform::forEachLine(QStringView(text), [&](QStringView line, QStringView) { lines.append(line.toString()); });
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TextLineReader reader;
    QStringList lines;
    if (reader.open(&device) && reader.mayReadAll())
        while (const auto line = reader.next())
            lines << *line;
    const TextLineReader::Refusal why = reader.refusal();
    if (why != TextLineReader::Refusal::None)
        lines.clear();
    for (const QString &line : lines)
        if (line.contains(u'\r') || line.contains(u'\n'))
            __builtin_trap();
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    const bool plain = !utf16 && !bytes.startsWith("\xEF\xBB\xBF");
    if (why == TextLineReader::Refusal::None && plain && size <= size_t(TextLineReader::kHeadBytes)
        && lines != wholeTextLines(bytes))
        __builtin_trap();
    // No text: NUL bytes in the first 64 KiB of a file without a UTF-16 byte order mark.
    if ((why == TextLineReader::Refusal::NotText) != (!utf16 && bytes.left(TextLineReader::kHeadBytes).contains('\0')))
        __builtin_trap();
    for (const char *extension : {"m3u", "pls"}) {
        PlaylistEntryFilter filter(QString::fromLatin1(extension));
        for (const QString &line : lines) {
            const std::optional<QString> entry = filter.entry(line);
            if (!entry)
                continue;
            if (getExtension(*entry) != QStringLiteral("mp3"))
                __builtin_trap();
            const QString local = localPathOfEntry(*entry, QStringLiteral("/lists"));
            if (local.contains(u'\\') && !entry->startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
                __builtin_trap();
        }
    }
    return 0;
}
