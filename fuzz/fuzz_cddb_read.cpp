// Any bytes as a CDDB server's disc entry, for a disc of 1 to 99 tracks (the first byte
// chooses): every track gets a title, whatever the entry names, and no title is longer than
// kMaxCddbTitleChars; or the answer is an error with a description.
#include "platform/cddb/CddbError.h"
#include "platform/cddb/CddbProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int tracks = 1 + data[0] % 99;
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    try {
        const platform::CddbEntry e = platform::parseReadReply(reply, tracks);
        if (e.trackTitles.size() != tracks)
            __builtin_trap();
        if (e.artist.size() + e.title.size() > 2 * reply.size() + 2)
            __builtin_trap();
        const QStringList titles = QStringList(e.trackTitles) << e.artist << e.title;
        for (const QString &t : titles)
            if (t.size() > platform::kMaxCddbTitleChars)
                __builtin_trap();
    } catch (const platform::CddbError &e) {
        if (e.description().isEmpty())
            __builtin_trap();
    }
    return 0;
}
