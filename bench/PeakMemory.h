#pragma once
// The peak memory of one piece of work, as the memory benchmarks report it: the growth of the
// process's resident high-water mark while it runs (the mark is reset before it through
// /proc/self/clear_refs).
#include "platform/ProcessMemory.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <optional>

namespace bench {

// Runs work and reports its peak growth as the counter "peak_MiB"; gives back the growth in
// bytes, or nothing (the run reported as an error) when the kernel cannot reset the mark.
inline std::optional<qint64> measurePeak(benchmark::State &state, const std::function<void()> &work)
{
    if (!platform::resetPeakResident()) {
        state.SkipWithError("the resident high-water mark cannot be reset here");
        return std::nullopt;
    }
    const qint64 before = platform::processStatusKb("VmRSS:");
    work();
    const qint64 peak = (platform::processStatusKb("VmHWM:") - before) * 1024;
    state.counters["peak_MiB"] = double(peak) / (1024.0 * 1024.0);
    return peak;
}

} // namespace bench
