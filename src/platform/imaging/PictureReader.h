#pragma once
// The picture reader: every picture file that comes in from outside is decoded in a helper
// process ("pelmora-decoder"), never in the program. The decoders are C libraries (libjpeg,
// libpng, libtiff, libemf2svg, libwmf, ImageMagick) fed with whatever a user opens, drops or
// downloads; in the helper, one that hangs, swells or crashes ends only the helper, one that a
// file takes over reaches nothing but the helper, and the designs, which live only in the
// program's memory, are never touched.
//
// The helper reads one picture and ends. It is a session of its own without a terminal, holds
// no descriptor of the program's but its own, cannot be looked into and ends with the program.
// It runs under limits the system enforces, set before it reads: CPU time (RLIMIT_CPU, the hard
// limit a second later), its address space (RLIMIT_AS; in a sanitizer build, whose shadow
// memory takes terabytes of it, the sanitizer's own resident-memory limit) and a wall-clock
// deadline the program keeps. The program opens the picture and hands the helper a descriptor
// to read it by; the helper loads what the picture's decoder needs and then shuts itself in
// (see PictureReaderSandbox.cpp) before the decoder sees a byte. The pixels come back through
// shared memory (a memfd the program maps; nothing is copied through the socket), and the size
// the helper announces is checked against the picture limits and the memory before use.
//
// How the helper ended is the result: past its CPU time or the deadline, TooSlow; out of
// memory, TooLarge (without a size); a crash, a broken answer or anything else, CannotDecode.
// A helper that is not installed is ReaderMissing, one that cannot be started or ends before
// it is ready ReaderBroken, and where the system cannot shut it in the helper reads nothing
// and says Unsafe, with the cause.
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
// running program; "" when there is none (then every load fails with ReaderMissing).
QString pictureReaderPath();

// Loads a picture file small, for the image browser's preview, as decodePreviewFile
// describes, in the helper: targetFor is asked in the program once the helper knows the size.
CodecResult loadPreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                            QSize &original);

// True while the GUI thread waits for a picture.
bool pictureBeingRead();

// Ends the helper started ahead of the next load, if there is one: the next load starts its own.
void endSparePictureReader();

// What the last helper took, for the benchmarks: its CPU time, its resident peak (0 where that
// stayed below the program's own peak when the helper started, which the kernel counts as the
// helper's too) and the wall time of the whole load; all 0 when no helper ran. Waits for the
// helper to be gone.
struct PictureReaderRun {
    double helperCpuSeconds = 0;
    qint64 helperPeakBytes = 0;
    qint64 wallMs = 0;
};
PictureReaderRun lastPictureReaderRun();

// The helper's side, for its main(): reads the request from standard input, decodes under
// the limits the program set, hands the pixels back and answers. Returns the helper's exit
// code. A test helper passes hooks that misbehave on purpose, each given the picture's file
// name or name hint: beforeSandbox runs when the decoder is prepared, just before the helper
// shuts itself in; beforeDecode in place of nothing just before the decoder; previewTarget may
// change the size a preview is decoded at; beforeAnswer may change the answer.
namespace readerproto {
struct Result;
}
struct PictureReaderHooks {
    std::function<void(const QString &name)> beforeSandbox;
    std::function<void(const QString &name)> beforeDecode;
    std::function<void(QSize &target)> previewTarget;
    std::function<void(readerproto::Result &answer)> beforeAnswer;
};
int runPictureReader(int argc, char **argv, const PictureReaderHooks &hooks = {});

} // namespace platform
