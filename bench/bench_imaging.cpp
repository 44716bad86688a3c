// The pixel operations of the imaging layer on a 4000 x 4000 picture, in wall-clock time
// (they spread over all cores), and Qt's own smooth scaling of the same picture beside our
// resizing. bench_imagemagick.cpp times ImageMagick on the same pixels.
#include "BenchPictures.h"

#include <benchmark/benchmark.h>

namespace img = platform::imaging;
using benchpictures::kSize;
using benchpictures::kSmall;
using benchpictures::smallSource;
using benchpictures::source;
using benchpictures::timeMaking;

namespace {

template <typename F>
void inPlace(benchmark::State &state, F filter)
{
    benchpictures::timeOnCopy(state, [] { return source().copy(); }, filter);
}

void BM_soften(benchmark::State &s) { inPlace(s, [](QImage &i) { img::soften(i, 100); }); }
void BM_sharpen(benchmark::State &s) { inPlace(s, [](QImage &i) { img::sharpen(i, 60, 3, false); }); }
void BM_sharpenKeepAlpha(benchmark::State &s) { inPlace(s, [](QImage &i) { img::sharpen(i, 60, 3, true); }); }
void BM_negative(benchmark::State &s) { inPlace(s, [](QImage &i) { img::negative(i); }); }
void BM_colorize(benchmark::State &s) { inPlace(s, [](QImage &i) { img::colorize(i, qRgb(200, 120, 40)); }); }
void BM_autoBrightness(benchmark::State &s) { inPlace(s, [](QImage &i) { img::autoBrightness(i, 8, 248); }); }
void BM_brightnessContrast(benchmark::State &s) { inPlace(s, [](QImage &i) { img::brightnessContrast(i, 20, 30); }); }
// blur 100: three boxes of radius 4, 3, 3, close to a gaussian of sigma 3.8
void BM_dropShadow(benchmark::State &s) { inPlace(s, [](QImage &i) { img::dropShadow(i, 10, 10, qRgb(0, 0, 0), 170, 100); }); }
PELMORA_BENCH(BM_soften);
PELMORA_BENCH(BM_sharpen);
PELMORA_BENCH(BM_sharpenKeepAlpha);
PELMORA_BENCH(BM_negative);
PELMORA_BENCH(BM_colorize);
PELMORA_BENCH(BM_autoBrightness);
PELMORA_BENCH(BM_brightnessContrast);
PELMORA_BENCH(BM_dropShadow);

void BM_flipLeftRight(benchmark::State &s) { timeMaking(s, [] { return img::flipped(source(), 0); }); }
void BM_flipTopBottom(benchmark::State &s) { timeMaking(s, [] { return img::flipped(source(), 1); }); }
void BM_rotate90(benchmark::State &s) { timeMaking(s, [] { return img::rotated(source(), 90, 0, false); }); }
void BM_rotate45Smooth(benchmark::State &s) { timeMaking(s, [] { return img::rotated(source(), 45, 0, false); }); }
void BM_rotate45Fast(benchmark::State &s) { timeMaking(s, [] { return img::rotated(source(), 45, 0, true); }); }
PELMORA_BENCH(BM_flipLeftRight);
PELMORA_BENCH(BM_flipTopBottom);
PELMORA_BENCH(BM_rotate90);
PELMORA_BENCH(BM_rotate45Smooth);
PELMORA_BENCH(BM_rotate45Fast);

void BM_resizeDownQuality(benchmark::State &s)
{
    timeMaking(s, [] { return img::resized(source(), kSmall, kSmall, img::ResizeMode::Quality); });
}
void BM_resizeDownFast(benchmark::State &s)
{
    timeMaking(s, [] { return img::resized(source(), kSmall, kSmall, img::ResizeMode::Fast); });
}
void BM_resizeUpQuality(benchmark::State &s)
{
    smallSource();
    timeMaking(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Quality); });
}
void BM_resizeUpPreview(benchmark::State &s)
{
    smallSource();
    timeMaking(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Preview); });
}
void BM_resizeUpFast(benchmark::State &s)
{
    smallSource();
    timeMaking(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Fast); });
}
void BM_resizeDownPreview(benchmark::State &s)
{
    timeMaking(s, [] { return img::resized(source(), kSmall, kSmall, img::ResizeMode::Preview); });
}
// Qt's smooth scaling: area averaging down, bilinear up, as our Preview mode.
void BM_qtSmoothDown(benchmark::State &s)
{
    timeMaking(s, [] { return source().scaled(kSmall, kSmall, Qt::IgnoreAspectRatio, Qt::SmoothTransformation); });
}
void BM_qtSmoothUp(benchmark::State &s)
{
    smallSource();
    timeMaking(s, [] { return smallSource().scaled(kSize, kSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation); });
}
PELMORA_BENCH(BM_resizeDownQuality);
PELMORA_BENCH(BM_resizeDownPreview);
PELMORA_BENCH(BM_resizeDownFast);
PELMORA_BENCH(BM_resizeUpQuality);
PELMORA_BENCH(BM_resizeUpPreview);
PELMORA_BENCH(BM_resizeUpFast);
PELMORA_BENCH(BM_qtSmoothDown);
PELMORA_BENCH(BM_qtSmoothUp);

void BM_linearGradient(benchmark::State &s)
{
    const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    timeMaking(s, [&] { return img::linearGradient(kSize, kSize, {0, 0}, {0, kSize - 1}, colors); });
}
void BM_linearGradientDiagonalRainbow(benchmark::State &s)
{
    const auto colors = img::GradientColors::rainbow();
    timeMaking(s, [&] { return img::linearGradient(kSize, kSize, {0, 0}, {kSize - 1, kSize - 1}, colors); });
}
void BM_centredGradient(benchmark::State &s)
{
    const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    timeMaking(s, [&] { return img::centredGradient(kSize, kSize, {kSize / 2.0, kSize / 2.0}, kSize / 2.0, colors); });
}
PELMORA_BENCH(BM_linearGradient);
PELMORA_BENCH(BM_linearGradientDiagonalRainbow);
PELMORA_BENCH(BM_centredGradient);

} // namespace

int main(int argc, char **argv)
{
    source(); // made once, outside every measurement
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
