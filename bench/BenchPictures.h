#pragma once
// The pictures of the imaging benchmarks and how an operation on them is timed, the same
// wherever they are timed, so that ImageMagick and Qt work on the very pixels our filters do
// and are counted alike.
#include "BenchPairs.h"
#include "platform/imaging/Filters.h"

#include <QImage>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstdint>
#include <optional>
#include <type_traits>

// Registers a benchmark of ours alone: the wall-clock milliseconds of each run (the operations
// spread over all cores), as measured by the run itself.
#define PELMORA_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseManualTime()

namespace benchpictures {

constexpr int kSize = 4000;
constexpr int kSmall = 1417; // kSize / 2.823, a cover scaled for the screen

// Soft colour fields with fine noise. With transparency, the colour fields are an opaque
// square inside a transparent margin (where the shadow falls) with a half-transparent band;
// without, every pixel is opaque.
inline QImage makePicture(bool transparency)
{
    QImage out(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    std::uint32_t s = 12345;
    for (int y = 0; y < kSize; ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < kSize; ++x) {
            s = s * 1664525u + 1013904223u;
            const int noise = int(s >> 28) - 8;
            const int r = std::clamp(int(127 + 120 * std::sin(x * 0.003)) + noise, 0, 255);
            const int g = std::clamp(int(127 + 120 * std::cos(y * 0.002)) + noise, 0, 255);
            const int b = std::clamp((x + y) * 255 / (2 * kSize) + noise, 0, 255);
            const bool margin = x < 300 || y < 300 || x >= kSize - 300 || y >= kSize - 300;
            const int a = !transparency ? 255 : margin ? 0 : (y < 800 ? 128 : 255);
            row[x] = qPremultiply(qRgba(r, g, b, a));
        }
    }
    return out;
}

// The picture with transparent parts, for the operations that are about alpha (a drop
// shadow, sharpening that keeps alpha) and for the comparison with Qt's scaling.
inline const QImage &source()
{
    static const QImage image = makePicture(true);
    return image;
}

// The opaque picture, for every other operation: an alpha channel costs ImageMagick work that
// an opaque picture does not need, and ours are the same either way.
inline const QImage &opaqueSource()
{
    static const QImage image = makePicture(false);
    return image;
}

// The pictures scaled for the screen, for enlarging.
inline const QImage &smallSource()
{
    namespace img = platform::imaging;
    static const QImage image = img::resized(source(), kSmall, kSmall, img::ResizeMode::Quality);
    return image;
}
inline const QImage &smallOpaqueSource()
{
    namespace img = platform::imaging;
    static const QImage image = img::resized(opaqueSource(), kSmall, kSmall, img::ResizeMode::Quality);
    return image;
}

using benchpairs::Clock;
using benchpairs::msSince;

// When set, a run of one of our operations leaves a copy of the picture it made here, for a
// look at it outside every measurement (such a run is not one to time).
inline QImage *keptPicture = nullptr;
template <typename Picture>
void keepIfAsked(const Picture &picture)
{
    if constexpr (std::is_same_v<Picture, QImage>)
        if (keptPicture)
            *keptPicture = picture.copy();
}

// One run of an operation that changes a picture, in ms: it works on a fresh copy made before
// the clock starts, which is freed after the clock has stopped.
template <typename Copy, typename Operation>
double runOnCopy(Copy copy, Operation operation)
{
    std::optional work(copy());
    const Clock::time_point start = Clock::now();
    operation(*work);
    benchmark::DoNotOptimize(&*work);
    const double ms = msSince(start);
    keepIfAsked(*work);
    return ms;
}

// One run of an operation that makes a new picture, in ms: making it is counted, freeing it
// (after the clock has stopped) is not.
template <typename Make>
double runMaking(Make make)
{
    const Clock::time_point start = Clock::now();
    auto out = make();
    benchmark::DoNotOptimize(&out);
    const double ms = msSince(start);
    keepIfAsked(out);
    return ms;
}

// The picture one of our runs makes (run() as the functions of ImagingOperations.h).
template <typename Run>
QImage pictureOf(Run run)
{
    QImage picture;
    keptPicture = &picture;
    run();
    keptPicture = nullptr;
    return picture;
}

// The largest difference of any channel (0..255) between two pictures of ours; 255 when their
// sizes or formats differ.
inline int largestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return 255;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y), *q = b.constScanLine(y);
        for (qsizetype i = 0; i < a.bytesPerLine(); ++i)
            largest = std::max(largest, std::abs(int(p[i]) - int(q[i])));
    }
    return largest;
}

// Ours alone: run() (one run, giving its ms) as often as Google Benchmark asks.
template <typename Run>
void timeRuns(benchmark::State &state, Run run)
{
    for (auto _ : state)
        state.SetIterationTime(run() / 1000.0);
}

// Takes --threads=N out of the arguments: makes N the size of the global thread pool that our
// filters (and Qt's scaling) spread over, and keeps the process to N CPUs (see
// benchpairs::pinToCpus). Gives the pool's size. Call before any other thread starts.
inline int useThreads(int &argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        int threads = 0;
        if (std::sscanf(argv[i], "--threads=%d", &threads) == 1) {
            if (threads > 0) {
                benchpairs::pinToCpus(threads);
                QThreadPool::globalInstance()->setMaxThreadCount(threads);
            }
            std::copy(argv + i + 1, argv + argc + 1, argv + i);
            --argc;
            break;
        }
    }
    return QThreadPool::globalInstance()->maxThreadCount();
}

// A comparison of ours with theirs on the pictures (see benchpairs::alternate), with the number
// of threads of the global pool that our filters (and Qt's scaling) spread over as the counter
// threads.
template <typename Ours, typename Theirs>
void alternate(benchmark::State &state, Ours ours, Theirs theirs)
{
    benchpairs::alternate(state, ours, theirs);
    state.counters["threads"] = QThreadPool::globalInstance()->maxThreadCount();
}

} // namespace benchpictures
