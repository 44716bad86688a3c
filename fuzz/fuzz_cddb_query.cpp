// Any bytes as a CDDB server's answer to a query: either matches with a category and an
// eight-digit disc id, at most kMaxCddbMatches of them with titles of at most kMaxCddbTitleChars,
// or an error with a number of the CD component and a description.
#include "platform/cddb/CddbError.h"
#include "platform/cddb/CddbProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QList<platform::CddbMatch> matches = platform::parseQueryReply(reply);
        if (matches.isEmpty() || qsizetype(matches.size()) > reply.count('\n') + 1
            || matches.size() > platform::kMaxCddbMatches)
            __builtin_trap();
        for (const platform::CddbMatch &m : matches) {
            if (m.category.isEmpty() || m.discId.size() != 8 || m.title.size() > platform::kMaxCddbTitleChars)
                __builtin_trap();
        }
    } catch (const platform::CddbError &e) {
        if (e.description().isEmpty())
            __builtin_trap();
        switch (e.number()) {
        case platform::CddbErr::DiscNotFound:
        case platform::CddbErr::ServerBusy:
        case platform::CddbErr::ServerRefused:
        case platform::CddbErr::BadReply: break;
        default: __builtin_trap();
        }
    }
    return 0;
}
