#pragma once
// The pictures of the imaging benchmarks and how an operation on them is timed, the same
// wherever they are timed, so that ImageMagick and Qt work on the very pixels our filters do
// and are counted alike.
#include "platform/imaging/Filters.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

// Registers a picture benchmark: wall-clock milliseconds, as the operations spread over all cores.
#define PELMORA_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

namespace benchpictures {

constexpr int kSize = 4000;
constexpr int kSmall = 1417; // kSize / 2.823, a cover scaled for the screen

// Soft colour fields with fine noise on an opaque square, a transparent margin around it
// (where the shadow falls) and a half-transparent band.
inline const QImage &source()
{
    static const QImage image = [] {
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
                const int a = margin ? 0 : (y < 800 ? 128 : 255);
                row[x] = qPremultiply(qRgba(r, g, b, a));
            }
        }
        return out;
    }();
    return image;
}

inline const QImage &smallSource()
{
    namespace img = platform::imaging;
    static const QImage image = img::resized(source(), kSmall, kSmall, img::ResizeMode::Quality);
    return image;
}

// An operation that changes a picture: each run works on a fresh copy made before the clock
// starts; freeing it is counted.
template <typename Copy, typename Operation>
void timeOnCopy(benchmark::State &state, Copy copy, Operation operation)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto work = copy();
        state.ResumeTiming();
        operation(work);
        benchmark::DoNotOptimize(&work);
    }
}

// An operation that makes a new picture: making and freeing it are counted.
template <typename Make>
void timeMaking(benchmark::State &state, Make make)
{
    for (auto _ : state) {
        auto out = make();
        benchmark::DoNotOptimize(&out);
    }
}

} // namespace benchpictures
