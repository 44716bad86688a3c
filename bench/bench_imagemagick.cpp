// ImageMagick doing what each benchmark of bench_imaging.cpp does, on the same 4000 x 4000
// picture, timed in this process through Magick++ the way ours are: the picture is in memory
// before the clock starts, an operation that works in place gets its own copy outside the
// clock, and the result is freed inside it. Each benchmark has the name of ours, so that
// bench/compare-imagemagick can put the two side by side. The convert command of each is
// given beside it. ImageMagick spreads over all cores through OpenMP, as ours do; it holds
// 16 bits a channel (Debian's Q16 build) where we hold 8.
#include "BenchPictures.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <vector>

using benchpictures::kSize;
using benchpictures::kSmall;

namespace {

Magick::Image toMagick(const QImage &image)
{
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    // QImage's ARGB32 lies in memory as B, G, R, A on little-endian machines.
    return Magick::Image(straight.width(), straight.height(), "BGRA", Magick::CharPixel, straight.constBits());
}

const Magick::Image &source()
{
    static const Magick::Image image = toMagick(benchpictures::source());
    return image;
}

const Magick::Image &smallSource()
{
    static const Magick::Image image = toMagick(benchpictures::smallSource());
    return image;
}

enum class Works { InPlace, ToNewImage };

// InPlace: ImageMagick changes the picture's own pixels (negate, auto-level, brightness-contrast),
// so each run gets a private copy of every pixel before the clock starts; the others make a new
// picture from a shared one, as ours do.
template <typename F>
void timed(benchmark::State &state, const Magick::Image &src, Works works, F op)
{
    benchpictures::timeOnCopy(state, [&src, works] {
        Magick::Image work(src);
        if (works == Works::InPlace) {
            work.modifyImage();
            work.getPixels(0, 0, 1, 1); // copies every pixel now, not inside the operation
        }
        return work;
    }, op);
}

template <typename F>
void generated(benchmark::State &state, F make)
{
    benchpictures::timeMaking(state, [&make] {
        Magick::Image out;
        out.size(Magick::Geometry(kSize, kSize));
        make(out);
        return out;
    });
}

const Magick::Geometry kDown(kSmall, kSmall);
const Magick::Geometry kUp(kSize, kSize);
Magick::Geometry exactly(Magick::Geometry g)
{
    g.aspect(true); // the "!" of "1417x1417!"
    return g;
}

// convert SRC -blur 1x0.7
void BM_soften(benchmark::State &s) { timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.blur(1, 0.7); }); }
// convert SRC -sharpen 1x0.7
void BM_sharpen(benchmark::State &s) { timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.sharpen(1, 0.7); }); }
// convert SRC -channel RGB -sharpen 1x0.7
void BM_sharpenKeepAlpha(benchmark::State &s)
{
    const auto rgb = Magick::ChannelType(Magick::RedChannel | Magick::GreenChannel | Magick::BlueChannel);
    timed(s, source(), Works::ToNewImage, [rgb](Magick::Image &i) { i.sharpenChannel(rgb, 1, 0.7); });
}
// convert SRC -negate
void BM_negative(benchmark::State &s) { timed(s, source(), Works::InPlace, [](Magick::Image &i) { i.negate(); }); }
// convert SRC -fill "rgb(200,120,40)" -tint 100
void BM_colorize(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) {
        i.fillColor(Magick::Color("rgb(200,120,40)"));
        i.tint("100");
    });
}
// convert SRC -auto-level
void BM_autoBrightness(benchmark::State &s) { timed(s, source(), Works::InPlace, [](Magick::Image &i) { i.autoLevel(); }); }
// convert SRC -brightness-contrast 20x30
void BM_brightnessContrast(benchmark::State &s)
{
    timed(s, source(), Works::InPlace, [](Magick::Image &i) { i.brightnessContrast(20, 30); });
}
// convert SRC ( +clone -background black -shadow 66x3.8+10+10 ) +swap -background none
//         -layers merge +repage
void BM_dropShadow(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) {
        Magick::Image shadow(i);
        shadow.backgroundColor(Magick::Color("black"));
        shadow.shadow(66, 3.8, 10, 10);
        shadow.backgroundColor(Magick::Color("none"));
        std::vector<Magick::Image> layers{shadow, i};
        Magick::mergeImageLayers(&i, layers.begin(), layers.end(), Magick::MergeLayer);
        i.page(Magick::Geometry(0, 0, 0, 0));
    });
}
PELMORA_BENCH(BM_soften);
PELMORA_BENCH(BM_sharpen);
PELMORA_BENCH(BM_sharpenKeepAlpha);
PELMORA_BENCH(BM_negative);
PELMORA_BENCH(BM_colorize);
PELMORA_BENCH(BM_autoBrightness);
PELMORA_BENCH(BM_brightnessContrast);
PELMORA_BENCH(BM_dropShadow);

// convert SRC -flop
void BM_flipLeftRight(benchmark::State &s) { timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.flop(); }); }
// convert SRC -flip
void BM_flipTopBottom(benchmark::State &s) { timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.flip(); }); }
// convert SRC -rotate 90
void BM_rotate90(benchmark::State &s) { timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.rotate(90); }); }
// convert SRC -background none -rotate 45
void BM_rotate45Smooth(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) {
        i.backgroundColor(Magick::Color("none"));
        i.rotate(45);
    });
}
// convert SRC -background none -virtual-pixel background -interpolate nearest-neighbor
//         -filter point +distort SRT 45
void BM_rotate45Fast(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) {
        i.backgroundColor(Magick::Color("none"));
        i.virtualPixelMethod(Magick::BackgroundVirtualPixelMethod);
        i.interpolate(Magick::NearestNeighborInterpolatePixel);
        i.filterType(Magick::PointFilter);
        const double angle[] = {45};
        i.distort(Magick::ScaleRotateTranslateDistortion, 1, angle, true);
    });
}
PELMORA_BENCH(BM_flipLeftRight);
PELMORA_BENCH(BM_flipTopBottom);
PELMORA_BENCH(BM_rotate90);
PELMORA_BENCH(BM_rotate45Smooth);
PELMORA_BENCH(BM_rotate45Fast);

// convert SRC -resize 1417x1417!
void BM_resizeDownQuality(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.resize(exactly(kDown)); });
}
// convert SRC -sample 1417x1417!
void BM_resizeDownFast(benchmark::State &s)
{
    timed(s, source(), Works::ToNewImage, [](Magick::Image &i) { i.sample(exactly(kDown)); });
}
// convert SMALL -resize 4000x4000!
void BM_resizeUpQuality(benchmark::State &s)
{
    timed(s, smallSource(), Works::ToNewImage, [](Magick::Image &i) { i.resize(exactly(kUp)); });
}
// convert SMALL -filter triangle -resize 4000x4000!
void BM_resizeUpPreview(benchmark::State &s)
{
    timed(s, smallSource(), Works::ToNewImage, [](Magick::Image &i) {
        i.filterType(Magick::TriangleFilter);
        i.resize(exactly(kUp));
    });
}
// convert SMALL -sample 4000x4000!
void BM_resizeUpFast(benchmark::State &s)
{
    timed(s, smallSource(), Works::ToNewImage, [](Magick::Image &i) { i.sample(exactly(kUp)); });
}
PELMORA_BENCH(BM_resizeDownQuality);
PELMORA_BENCH(BM_resizeDownFast);
PELMORA_BENCH(BM_resizeUpQuality);
PELMORA_BENCH(BM_resizeUpPreview);
PELMORA_BENCH(BM_resizeUpFast);

// convert -size 4000x4000 gradient:red-blue
void BM_linearGradient(benchmark::State &s) { generated(s, [](Magick::Image &i) { i.read("gradient:red-blue"); }); }
// convert -size 4000x4000 -define gradient:direction=SouthEast gradient:red-blue
void BM_linearGradientDiagonalRainbow(benchmark::State &s)
{
    generated(s, [](Magick::Image &i) {
        i.defineValue("gradient", "direction", "SouthEast");
        i.read("gradient:red-blue");
    });
}
// convert -size 4000x4000 radial-gradient:red-blue
void BM_centredGradient(benchmark::State &s) { generated(s, [](Magick::Image &i) { i.read("radial-gradient:red-blue"); }); }
PELMORA_BENCH(BM_linearGradient);
PELMORA_BENCH(BM_linearGradientDiagonalRainbow);
PELMORA_BENCH(BM_centredGradient);

} // namespace

int main(int argc, char **argv)
{
    Magick::InitializeMagick(*argv);
    source(); // both pictures made once, outside every measurement
    smallSource();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
