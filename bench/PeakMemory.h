#pragma once
// The peak memory of one piece of work, as the memory benchmarks report it: the growth of the
// process's resident high-water mark while it runs (the mark is reset before it through
// /proc/self/clear_refs).
#include "platform/ProcessMemory.h"

#include <functional>

namespace bench {

inline constexpr double kMiB = 1024.0 * 1024.0;

// The growth in bytes; -1 when the kernel cannot reset the mark.
inline qint64 peakGrowth(const std::function<void()> &work)
{
    if (!platform::resetPeakResident())
        return -1;
    const qint64 before = platform::processStatusKb("VmRSS:");
    work();
    return (platform::processStatusKb("VmHWM:") - before) * 1024;
}

} // namespace bench
