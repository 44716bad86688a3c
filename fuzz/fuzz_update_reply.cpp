// Any bytes as the update check's version.txt: every line is counted once, the last line is
// one of them (no line end in it), and the program's own version on the last line is told.
#include "dialogs/UpdateReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString own = QStringLiteral("2.3");
    const UpdateReply r = readUpdateReply(bytes, own);
    if (r.lines < 0 || r.lines > qsizetype(size))
        __builtin_trap();
    if (r.lastLine.contains(u'\r') || r.lastLine.contains(u'\n'))
        __builtin_trap();
    if (r.lines == 0 && (r.anotherVersion || r.lastIsOwn || !r.lastLine.isEmpty()))
        __builtin_trap();
    if (r.lastIsOwn != (r.lines > 0 && r.lastLine.trimmed() == own))
        __builtin_trap();
    if (r.lines > 0 && !r.lastIsOwn && !r.anotherVersion)
        __builtin_trap();
    return 0;
}
