#pragma once
// The picture reader: every picture file that comes in from outside is decoded in a helper
// process ("pelmora-decoder"), never in the program. The decoders are C libraries (libjpeg,
// libpng, libtiff, libemf2svg, libwmf, ImageMagick) fed with whatever a user opens, drops or
// downloads; in the helper, one that hangs, swells or crashes ends only the helper, and the
// designs, which live only in the program's memory, are never touched.
//
// The helper reads one picture and ends. It runs under limits the system enforces, set before
// it decodes: CPU time (RLIMIT_CPU), its address space (RLIMIT_AS; in a sanitizer build, whose
// shadow memory takes terabytes of it, the sanitizer's own resident-memory limit), a
// wall-clock deadline the program keeps, and a seccomp filter that takes away the network,
// file writes, new programs and signals to other processes (a filter rather than namespaces:
// it needs no privilege, where unprivileged user namespaces are switched off on many systems
// and by some security modules, and a network namespace alone would still leave every
// writable file open; loading it takes well under a millisecond). The pixels come back through
// shared memory (a memfd the program maps; nothing is copied through the socket), and the
// size the helper announces is checked against the picture limits and the memory before use.
//
// How the helper ended is the result: past its CPU time or the deadline, TooSlow; out of
// memory, TooLarge (without a size); a crash, a broken answer or anything else, CannotDecode.
//
// On the GUI thread the program keeps painting its windows while it waits (user input waits
// until the picture is read) and shows the hourglass; a load asked for meanwhile (by an event
// handled during the wait) is not started but answered with Busy.
#include "platform/imaging/ImageCodecs.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace platform {

struct PictureReaderLimits {
    int cpuSeconds = 8;                       // the hard limit comes a second later
    qint64 memoryBytes = 640LL * 1024 * 1024; // the helper's address space, its libraries included
    int deadlineMs = 12000;                   // wall clock, from the start of the helper
};
PictureReaderLimits pictureReaderLimits();
// Tests and benchmarks set their own; 0 or less keeps a field as it is by default.
void setPictureReaderLimits(const PictureReaderLimits &limits);

// Where the helper is: $PELMORA_DECODER_HELPER when set, else "pelmora-decoder" beside the
// running program; "" when there is none (then every load fails with CannotDecode).
QString pictureReaderPath();

// Loads a picture file small, for the image browser's preview, as decodePreviewFile
// describes, in the helper: targetFor is asked in the program once the helper knows the size.
CodecResult loadPreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                            QSize &original);

// True while the GUI thread waits for a picture.
bool pictureBeingRead();

// What the last helper took, for the benchmarks: its CPU time, its resident peak and the
// wall time of the whole load; all 0 when no helper ran.
struct PictureReaderRun {
    double helperCpuSeconds = 0;
    qint64 helperPeakBytes = 0;
    qint64 wallMs = 0;
};
PictureReaderRun lastPictureReaderRun();

// The helper's side, for its main(): reads the request from standard input, decodes under
// the limits the program set, hands the pixels back and answers. Returns the helper's exit
// code. A test helper passes hooks that misbehave on purpose: beforeDecode runs in place of
// nothing just before the decoder, with the picture's file name or name hint; beforeAnswer
// may change the size the answer announces.
struct PictureReaderHooks {
    std::function<void(const QString &name)> beforeDecode;
    std::function<void(QSize &announced)> beforeAnswer;
};
int runPictureReader(const PictureReaderHooks &hooks = {});

} // namespace platform
