// Any bytes as an MP3 file: the play length is measured without a crash or a hang, never
// negative, and a file that holds no MPEG frame header (no 0xFF followed by a byte of 0xE0 or
// more) has no length at all.
#include "FuzzSupport.h"
#include "platform/audio/Mp3Length.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::writeInput(QStringLiteral("input.mp3"), data, size);
    const std::int64_t ms = platform::Mp3Length::get().playLengthMs(path);
    if (ms < 0)
        __builtin_trap();
    bool sync = false;
    for (size_t i = 0; i + 1 < size && !sync; ++i)
        sync = data[i] == 0xFF && data[i + 1] >= 0xE0;
    if (!sync && ms != 0)
        __builtin_trap();
    return 0;
}
