// The pixel operations of the imaging layer on a 4000 x 4000 picture, in wall-clock time
// (they spread over all cores). --write-images=DIR writes the pictures used here as PNG
// (source.png, small.png) so that other tools can be timed on the same pixels.
#include "platform/imaging/Filters.h"

#include <QDir>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>

namespace img = platform::imaging;

namespace {

constexpr int kSize = 4000;
constexpr int kSmall = 1417; // kSize / 2.823, a cover scaled for the screen

// Soft colour fields with fine noise on an opaque square, a transparent margin around it
// (where the shadow falls) and a half-transparent band.
const QImage &source()
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

const QImage &smallSource()
{
    static const QImage image = img::resized(source(), kSmall, kSmall, img::ResizeMode::Quality);
    return image;
}

template <typename F>
void inPlace(benchmark::State &state, F filter)
{
    const QImage &src = source();
    for (auto _ : state) {
        state.PauseTiming();
        QImage work = src.copy();
        state.ResumeTiming();
        filter(work);
        benchmark::DoNotOptimize(work.constBits());
    }
}

template <typename F>
void producing(benchmark::State &state, F make)
{
    for (auto _ : state) {
        QImage out = make();
        benchmark::DoNotOptimize(out.constBits());
    }
}

#define PELMORA_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

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

void BM_flipLeftRight(benchmark::State &s) { producing(s, [] { return img::flipped(source(), 0); }); }
void BM_flipTopBottom(benchmark::State &s) { producing(s, [] { return img::flipped(source(), 1); }); }
void BM_rotate90(benchmark::State &s) { producing(s, [] { return img::rotated(source(), 90, 0, false); }); }
void BM_rotate45Smooth(benchmark::State &s) { producing(s, [] { return img::rotated(source(), 45, 0, false); }); }
void BM_rotate45Fast(benchmark::State &s) { producing(s, [] { return img::rotated(source(), 45, 0, true); }); }
PELMORA_BENCH(BM_flipLeftRight);
PELMORA_BENCH(BM_flipTopBottom);
PELMORA_BENCH(BM_rotate90);
PELMORA_BENCH(BM_rotate45Smooth);
PELMORA_BENCH(BM_rotate45Fast);

void BM_resizeDownQuality(benchmark::State &s)
{
    producing(s, [] { return img::resized(source(), kSmall, kSmall, img::ResizeMode::Quality); });
}
void BM_resizeDownFast(benchmark::State &s)
{
    producing(s, [] { return img::resized(source(), kSmall, kSmall, img::ResizeMode::Fast); });
}
void BM_resizeUpQuality(benchmark::State &s)
{
    smallSource();
    producing(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Quality); });
}
void BM_resizeUpPreview(benchmark::State &s)
{
    smallSource();
    producing(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Preview); });
}
void BM_resizeUpFast(benchmark::State &s)
{
    smallSource();
    producing(s, [] { return img::resized(smallSource(), kSize, kSize, img::ResizeMode::Fast); });
}
PELMORA_BENCH(BM_resizeDownQuality);
PELMORA_BENCH(BM_resizeDownFast);
PELMORA_BENCH(BM_resizeUpQuality);
PELMORA_BENCH(BM_resizeUpPreview);
PELMORA_BENCH(BM_resizeUpFast);

void BM_linearGradient(benchmark::State &s)
{
    const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    producing(s, [&] { return img::linearGradient(kSize, kSize, {0, 0}, {0, kSize - 1}, colors); });
}
void BM_linearGradientDiagonalRainbow(benchmark::State &s)
{
    const auto colors = img::GradientColors::rainbow();
    producing(s, [&] { return img::linearGradient(kSize, kSize, {0, 0}, {kSize - 1, kSize - 1}, colors); });
}
void BM_centredGradient(benchmark::State &s)
{
    const auto colors = img::GradientColors::twoColors(QColor(255, 0, 0), QColor(0, 0, 255));
    producing(s, [&] { return img::centredGradient(kSize, kSize, {kSize / 2.0, kSize / 2.0}, kSize / 2.0, colors); });
}
PELMORA_BENCH(BM_linearGradient);
PELMORA_BENCH(BM_linearGradientDiagonalRainbow);
PELMORA_BENCH(BM_centredGradient);

bool writeImages(const QString &dir)
{
    QDir().mkpath(dir);
    for (const auto &[name, image] : {std::pair{"source.png", &source()}, std::pair{"small.png", &smallSource()}}) {
        QImageWriter writer(dir + u'/' + QLatin1String(name), "png");
        writer.setQuality(100); // fastest compression; the size does not matter here
        if (!writer.write(image->convertToFormat(QImage::Format_ARGB32))) {
            std::cerr << "cannot write " << name << ": " << writer.errorString().toStdString() << '\n';
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    constexpr const char *writeFlag = "--write-images=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], writeFlag, std::strlen(writeFlag)) == 0)
            return writeImages(QString::fromLocal8Bit(argv[i] + std::strlen(writeFlag))) ? 0 : 1;
    source(); // made once, outside every measurement
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
