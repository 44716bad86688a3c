#pragma once
// Our imaging operations as the benchmarks time them, the same in bench_imaging.cpp (ours
// alone) and in the comparisons with ImageMagick and Qt. Each does one run on the picture it
// is handed and gives its ms: a filter that works in place gets a copy made before the clock
// starts, an operation that makes a new picture counts making it; the copy and the new picture
// are freed after the clock has stopped.
#include "BenchPictures.h"
#include "BenchRun.h"

#include <benchmark/benchmark.h>

namespace ours {

namespace img = platform::imaging;
using benchpictures::kSize;
using benchpictures::kSmall;

template <typename F>
double inPlace(const QImage &picture, F filter)
{
    return benchpictures::runOnCopy([&picture] { return picture.copy(); }, filter);
}
template <typename Make>
double making(Make make)
{
    return benchpictures::runMaking(make);
}

inline double soften(const QImage &p) { return inPlace(p, [](QImage &i) { img::soften(i, 100); }); }
inline double sharpen(const QImage &p) { return inPlace(p, [](QImage &i) { img::sharpen(i, 60, 3, false); }); }
inline double sharpenKeepAlpha(const QImage &p) { return inPlace(p, [](QImage &i) { img::sharpen(i, 60, 3, true); }); }
inline double negative(const QImage &p) { return inPlace(p, [](QImage &i) { img::negative(i); }); }
inline double colorize(const QImage &p) { return inPlace(p, [](QImage &i) { img::colorize(i, qRgb(200, 120, 40)); }); }
// the editor's grey: colorize with hue 0, saturation 0, lightness 127
inline double grey(const QImage &p) { return inPlace(p, [](QImage &i) { img::colorize(i, img::hslToRgb(0, 0, 127)); }); }
inline double autoBrightness(const QImage &p) { return inPlace(p, [](QImage &i) { img::autoBrightness(i, 8, 248); }); }
inline double brightnessContrast(const QImage &p)
{
    return inPlace(p, [](QImage &i) { img::brightnessContrast(i, 20, 30); });
}
// blur 100: three boxes of radius 4, 3, 3, close to a gaussian of sigma 3.8
inline double dropShadow(const QImage &p)
{
    return inPlace(p, [](QImage &i) { img::dropShadow(i, 10, 10, qRgb(0, 0, 0), 170, 100); });
}

inline double flipLeftRight(const QImage &p) { return making([&p] { return img::flipped(p, 0); }); }
inline double flipTopBottom(const QImage &p) { return making([&p] { return img::flipped(p, 1); }); }
inline double rotate90(const QImage &p) { return making([&p] { return img::rotated(p, 90, 0, false); }); }
inline double rotate45Smooth(const QImage &p) { return making([&p] { return img::rotated(p, 45, 0, false); }); }
inline double rotate45Fast(const QImage &p) { return making([&p] { return img::rotated(p, 45, 0, true); }); }

// Down: the large picture to kSmall a side; up: the small one to kSize a side.
inline double resizeDown(const QImage &p, int mode)
{
    return making([&p, mode] { return img::resized(p, kSmall, kSmall, mode); });
}
inline double resizeUp(const QImage &p, int mode)
{
    return making([&p, mode] { return img::resized(p, kSize, kSize, mode); });
}
inline double resizeDownQuality(const QImage &p) { return resizeDown(p, img::ResizeMode::Quality); }
inline double resizeDownPreview(const QImage &p) { return resizeDown(p, img::ResizeMode::Preview); }
inline double resizeDownFast(const QImage &p) { return resizeDown(p, img::ResizeMode::Fast); }
inline double resizeUpQuality(const QImage &p) { return resizeUp(p, img::ResizeMode::Quality); }
inline double resizeUpPreview(const QImage &p) { return resizeUp(p, img::ResizeMode::Preview); }
inline double resizeUpFast(const QImage &p) { return resizeUp(p, img::ResizeMode::Fast); }

inline double linearGradient()
{
    static const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    return making([] { return img::linearGradient(kSize, kSize, {0, 0}, {0, kSize - 1}, colors); });
}
inline double linearGradientDiagonalRainbow()
{
    static const auto colors = img::GradientColors::rainbow();
    return making([] { return img::linearGradient(kSize, kSize, {0, 0}, {kSize - 1, kSize - 1}, colors); });
}
inline double centredGradient()
{
    static const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    return making([] { return img::centredGradient(kSize, kSize, {kSize / 2.0, kSize / 2.0}, kSize / 2.0, colors); });
}

} // namespace ours

// The main of the imaging benchmarks, once their pictures are made: the benchmarks the command
// line names; 1 for an argument it does not know.
inline int runImagingBenchmarks(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const int result = benchrun::runChosenBenchmarks();
    benchmark::Shutdown();
    return result;
}
