// Any bytes as the frames of one scan: the first bytes choose up to three frames' layout (as
// the scan reader accepts them), the rest is their data.
#include "platform/scan/ScanFrameAssembler.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    size_t at = 0;
    const auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
    const int count = 1 + next() % 3;
    std::vector<platform::ScanFrameData> frames;
    for (int i = 0; i < count; ++i) {
        platform::ScanFrameData f;
        platform::ScanParameters &p = f.parameters;
        const uint8_t kind = next();
        p.frame = platform::ScanParameters::Frame(kind % 6);
        p.lastFrame = i == count - 1 || (kind & 0x80);
        static const int depths[] = {1, 8, 16, 2, 0, 24};
        p.depth = depths[next() % 6];
        p.pixelsPerLine = next() % 65;
        p.lines = next() % 65;
        const qint64 need = platform::ScanFrameAssembler::minimumBytesPerLine(p);
        // The reader refuses a layout without a size a line needs, and reads whole lines.
        if (need == 0)
            return 0;
        p.bytesPerLine = int(need) + next() % 4;
        const size_t want = size_t(p.bytesPerLine) * size_t(p.lines);
        const size_t have = std::min(want, size - std::min(at, size));
        f.bytes.assign(data + at, data + at + have);
        at += have;
        f.bytes.resize(f.bytes.size() - f.bytes.size() % size_t(p.bytesPerLine));
        frames.push_back(std::move(f));
        if (p.lastFrame)
            break;
    }
    QString error;
    const QImage image = platform::ScanFrameAssembler::assemble(frames, error);
    if (image.isNull() == error.isEmpty())
        __builtin_trap();
    if (!image.isNull() && (image.width() > 64 || image.height() > 64))
        __builtin_trap();
    return 0;
}
