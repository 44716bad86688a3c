// Any bytes as the Location header of a redirect, from an http and from an https address: a
// redirect the download follows leads to an http or https address with a host, never from
// https to plain http, and the request sent for it is one request line and the fixed header
// fields, whatever the header held (no line break of its own, no NUL).
#include "platform/net/Download.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray location(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *from : {"http://example.org/a/b?c=d", "https://example.org:8443/x/"}) {
        const QUrl current(QString::fromLatin1(from));
        const platform::Redirect next = platform::redirectTarget(current, location);
        if (!next) {
            if (next.why.isEmpty())
                __builtin_trap();
            continue;
        }
        const QString scheme = next.target.scheme();
        if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || next.target.host().isEmpty())
            __builtin_trap();
        if (current.scheme() == QLatin1String("https") && scheme == QLatin1String("http"))
            __builtin_trap();
        const QByteArray request = platform::requestFor(next.target);
        if (!request.startsWith("GET ") || !request.endsWith("\r\n\r\n") || request.contains('\0'))
            __builtin_trap();
        const QList<QByteArray> lines = request.chopped(4).split('\n');
        for (const QByteArray &line : lines)
            if (!line.endsWith('\r') && &line != &lines.last())
                __builtin_trap();
        for (const QByteArray &line : lines)
            if (line.chopped(line.endsWith('\r') ? 1 : 0).contains('\r'))
                __builtin_trap();
        if (!lines.first().endsWith(" HTTP/1.1\r") || lines.first().count(' ') != 2 || !lines[1].startsWith("Host: "))
            __builtin_trap();
    }
    return 0;
}
