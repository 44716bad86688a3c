#pragma once
// This process's memory as the kernel counts it, for the memory benchmarks and fuzz bounds.
#include <QtGlobal>

namespace platform {

// A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:"); -1 when it cannot be read.
qint64 processStatusKb(const char *field);
// Resets the resident high-water mark (VmHWM) to the current size; false where the kernel
// does not allow it.
bool resetPeakResident();

} // namespace platform
