// Our point filters beside the floor of any pass over the pixels in place: an in-place XOR of
// the same 4000 x 4000 opaque picture, which flips every colour bit (the negative of an opaque
// picture) and does nothing else, 16 bytes at a time. The two are timed in alternation
// (bench/compare-floor), each on a fresh copy made outside the clock and freed after it.
//
// Each comparison has the name of our benchmark in bench_imaging.cpp. The negative of an opaque
// picture is the floor's very picture: for it the counter grey_levels is the largest difference
// of any channel between the two, which must be 0.
#include "ImagingOperations.h"

#include <benchmark/benchmark.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using benchpictures::opaqueSource;

namespace {

void flipColourBits(QImage &image)
{
    uchar *bits = image.bits();
    const qsizetype bytes = image.sizeInBytes();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 16 <= bytes; i += 16) {
        auto *p = reinterpret_cast<__m128i *>(bits + i);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), colour));
    }
#endif
    for (; i + 4 <= bytes; i += 4) {
        quint32 v;
        std::memcpy(&v, bits + i, 4);
        v ^= 0x00FFFFFFu;
        std::memcpy(bits + i, &v, 4);
    }
}

double floorRun(const QImage &p) { return ours::inPlace(p, flipColourBits); }

void compare(benchmark::State &state, double (*oursRun)(const QImage &), bool sameWork)
{
    const QImage &picture = opaqueSource();
    if (sameWork)
        state.counters["grey_levels"] = benchpictures::largestDifference(benchpictures::pictureOf([&] { return oursRun(picture); }),
                                                          benchpictures::pictureOf([&] { return floorRun(picture); }));
    benchpictures::alternate(state, [&] { return oursRun(picture); }, [&] { return floorRun(picture); });
}

void BM_negative(benchmark::State &s) { compare(s, ours::negative, true); }
void BM_grey(benchmark::State &s) { compare(s, ours::grey, false); }
void BM_colorize(benchmark::State &s) { compare(s, ours::colorize, false); }
void BM_brightnessContrast(benchmark::State &s) { compare(s, ours::brightnessContrast, false); }
void BM_autoBrightness(benchmark::State &s) { compare(s, ours::autoBrightness, false); }
PELMORA_PAIR(BM_negative);
PELMORA_PAIR(BM_grey);
PELMORA_PAIR(BM_colorize);
PELMORA_PAIR(BM_brightnessContrast);
PELMORA_PAIR(BM_autoBrightness);

} // namespace

int main(int argc, char **argv)
{
    benchpictures::useThreads(argc, argv);
    opaqueSource(); // made once, outside every measurement
    return runImagingBenchmarks(argc, argv);
}
