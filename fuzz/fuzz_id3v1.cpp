// Any bytes as the end of an MP3 file: the 128-byte record parser, the tag test on a device
// and on a file of those bytes (short files included), and a whole read of that file.
#include "FuzzSupport.h"
#include "tracklists/clsID3v1Tag.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto whole = parseId3v1Record(bytes);
    if (whole.has_value() != (size == 128))
        __builtin_trap();
    if (size >= 128) {
        const auto last = parseId3v1Record(QByteArrayView(bytes).last(128));
        if (!last || last->title.size() > 30 || last->comment.size() > 30 || last->year.size() > 4)
            __builtin_trap();
    }

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(qint64(size / 2));
    const bool tagged = HasTag(buffer);
    if (buffer.pos() != qint64(size / 2))
        __builtin_trap();
    if (tagged != (size >= 128 && bytes.mid(qsizetype(size) - 128, 3).toUpper() == "TAG"))
        __builtin_trap();

    clsID3v1Tag tag;
    tag.setFilename(fuzzsupport::writeInput(QStringLiteral("input.mp3"), data, size));
    float version = 0;
    const bool read = tag.ReadTag(version);
    if (read != tagged || (read && version != 1.0f && version != 1.1f))
        __builtin_trap();
    if (!read && tag.status().number != clsID3v1Tag::kErrorBase + clsID3v1Tag::NoTag)
        __builtin_trap();
    return 0;
}
