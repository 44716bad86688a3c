// Any bytes as a web server's answer, read in pieces whose size the first byte chooses: the
// head stays within its limit, the body within what came, and the outcome does not depend
// on how the bytes were split.
#include "platform/net/HttpReply.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Outcome {
    platform::HttpReplyParser::State state;
    int status;
    QByteArray body;
    qint64 headBytes;
};

Outcome run(const char *data, qint64 size, qint64 piece, bool closeAtEnd)
{
    platform::HttpReplyParser p(platform::HttpHeadLimits{4096, 20});
    QByteArray body;
    for (qint64 at = 0; at < size; at += piece) {
        const auto state = p.feed(data + at, std::min(piece, size - at), [&](const char *d, qint64 n) {
            body.append(d, qsizetype(n));
            return true;
        });
        if (state == platform::HttpReplyParser::State::Failed || state == platform::HttpReplyParser::State::Done)
            break;
    }
    if (closeAtEnd)
        p.finish();
    if (p.headBytes() > 4096 || p.bodyBytes() != body.size() || body.size() > size)
        __builtin_trap();
    if (p.state() == platform::HttpReplyParser::State::Failed && p.error().isEmpty())
        __builtin_trap();
    return {p.state(), p.status(), body, p.headBytes()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qint64 piece = 1 + data[0] % 17;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qint64 n = qint64(size - 1);
    const Outcome whole = run(bytes, n, std::max<qint64>(n, 1), true);
    const Outcome split = run(bytes, n, piece, true);
    if (whole.state != split.state || whole.status != split.status || whole.body != split.body)
        __builtin_trap();
    return 0;
}
