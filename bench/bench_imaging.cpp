// The pixel operations of the imaging layer on a 4000 x 4000 picture, in wall-clock time
// (they spread over all cores), each on the picture its comparison with ImageMagick uses
// (bench_imagemagick.cpp times the two in alternation; bench_qt_scaling.cpp our resizing
// beside Qt's smooth scaling).
#include "ImagingOperations.h"

#include <benchmark/benchmark.h>

using benchpictures::opaqueSource;
using benchpictures::smallOpaqueSource;
using benchpictures::source;
using benchpictures::timeRuns;

namespace {

template <typename Operation>
void alone(benchmark::State &state, Operation operation, const QImage &picture)
{
    timeRuns(state, [&] { return operation(picture); });
}

void BM_soften(benchmark::State &s) { alone(s, ours::soften, opaqueSource()); }
void BM_sharpen(benchmark::State &s) { alone(s, ours::sharpen, opaqueSource()); }
void BM_sharpenKeepAlpha(benchmark::State &s) { alone(s, ours::sharpenKeepAlpha, source()); }
void BM_negative(benchmark::State &s) { alone(s, ours::negative, opaqueSource()); }
void BM_colorize(benchmark::State &s) { alone(s, ours::colorize, opaqueSource()); }
void BM_grey(benchmark::State &s) { alone(s, ours::grey, opaqueSource()); }
void BM_autoBrightness(benchmark::State &s) { alone(s, ours::autoBrightness, opaqueSource()); }
void BM_brightnessContrast(benchmark::State &s) { alone(s, ours::brightnessContrast, opaqueSource()); }
void BM_dropShadow(benchmark::State &s) { alone(s, ours::dropShadow, source()); }
PELMORA_BENCH(BM_soften);
PELMORA_BENCH(BM_sharpen);
PELMORA_BENCH(BM_sharpenKeepAlpha);
PELMORA_BENCH(BM_negative);
PELMORA_BENCH(BM_colorize);
PELMORA_BENCH(BM_grey);
PELMORA_BENCH(BM_autoBrightness);
PELMORA_BENCH(BM_brightnessContrast);
PELMORA_BENCH(BM_dropShadow);

void BM_flipLeftRight(benchmark::State &s) { alone(s, ours::flipLeftRight, opaqueSource()); }
void BM_flipTopBottom(benchmark::State &s) { alone(s, ours::flipTopBottom, opaqueSource()); }
void BM_rotate90(benchmark::State &s) { alone(s, ours::rotate90, opaqueSource()); }
void BM_rotate45Smooth(benchmark::State &s) { alone(s, ours::rotate45Smooth, opaqueSource()); }
void BM_rotate45Fast(benchmark::State &s) { alone(s, ours::rotate45Fast, opaqueSource()); }
PELMORA_BENCH(BM_flipLeftRight);
PELMORA_BENCH(BM_flipTopBottom);
PELMORA_BENCH(BM_rotate90);
PELMORA_BENCH(BM_rotate45Smooth);
PELMORA_BENCH(BM_rotate45Fast);

void BM_resizeDownQuality(benchmark::State &s) { alone(s, ours::resizeDownQuality, opaqueSource()); }
void BM_resizeDownPreview(benchmark::State &s) { alone(s, ours::resizeDownPreview, opaqueSource()); }
void BM_resizeDownFast(benchmark::State &s) { alone(s, ours::resizeDownFast, opaqueSource()); }
void BM_resizeUpQuality(benchmark::State &s) { alone(s, ours::resizeUpQuality, smallOpaqueSource()); }
void BM_resizeUpPreview(benchmark::State &s) { alone(s, ours::resizeUpPreview, smallOpaqueSource()); }
void BM_resizeUpFast(benchmark::State &s) { alone(s, ours::resizeUpFast, smallOpaqueSource()); }
PELMORA_BENCH(BM_resizeDownQuality);
PELMORA_BENCH(BM_resizeDownPreview);
PELMORA_BENCH(BM_resizeDownFast);
PELMORA_BENCH(BM_resizeUpQuality);
PELMORA_BENCH(BM_resizeUpPreview);
PELMORA_BENCH(BM_resizeUpFast);

void BM_linearGradient(benchmark::State &s) { timeRuns(s, ours::linearGradient); }
void BM_linearGradientDiagonalRainbow(benchmark::State &s) { timeRuns(s, ours::linearGradientDiagonalRainbow); }
void BM_centredGradient(benchmark::State &s) { timeRuns(s, ours::centredGradient); }
PELMORA_BENCH(BM_linearGradient);
PELMORA_BENCH(BM_linearGradientDiagonalRainbow);
PELMORA_BENCH(BM_centredGradient);

} // namespace

int main(int argc, char **argv)
{
    // Made once, outside every measurement.
    source();
    smallOpaqueSource();
    return runImagingBenchmarks(argc, argv);
}
