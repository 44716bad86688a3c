// Any bytes as a playlist or a dropped text file, with any line ends: the lines as the reader
// takes them a piece at a time, the M3U and PLS entries and the local file each entry names.
// A text that the reader does not refuse reads as the whole text decoded and split at once.
#include "platform/ini/TextCodec.h"
#include "tracklists/Playlists.h"
#include "tracklists/TextLineReader.h"

#include "core/mdlUtil.h"

#include <cstddef>
#include <cstdint>

namespace {

// The lines of a text decoded whole (UTF-8 when valid, else Windows-1252).
QStringList wholeTextLines(const QByteArray &bytes)
{
    const QString text = platform::TextCodec::decodeAuto(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TextLineReader::Refusal why = TextLineReader::Refusal::None;
    const QStringList lines = TextLineReader::linesOf(bytes, &why);
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
