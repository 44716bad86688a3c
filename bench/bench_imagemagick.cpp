// Each benchmark of bench_imaging.cpp beside ImageMagick doing the same on the same 4000 x 4000
// picture through Magick++, the two timed in alternation in this process (see
// benchpictures::alternate): the picture is in memory before the clock starts, an operation
// that works in place gets its own copy outside the clock, and the result is freed inside it.
// Each comparison has the name of our benchmark, for bench/compare-imagemagick; the convert
// command of each is given beside it.
//
// Both sides get the same picture: opaque for most operations, handed to ImageMagick without
// an alpha channel (with one it works on four channels and weighs colour by alpha); with
// transparent parts for a drop shadow and for sharpening that keeps alpha. Both sides may use
// as many threads as our filters do, the size of the global thread pool (--threads=N sets it,
// and keeps the process to as many CPUs): ImageMagick's thread limit is set to it (its OpenMP
// loops may still take fewer where it judges the work too small). ImageMagick holds 16 bits a channel (Debian's Q16 build) where
// we hold 8.
#include "ImagingOperations.h"
#include "platform/imaging/codecs/CodecSupport.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <map>
#include <vector>

using benchpictures::kSize;
using benchpictures::kSmall;
using benchpictures::opaqueSource;
using benchpictures::smallOpaqueSource;
using benchpictures::source;

namespace {

// The picture as ImageMagick's, made once for each picture; an opaque one has no alpha channel.
const Magick::Image &magickOf(const QImage &picture)
{
    static std::map<const QImage *, Magick::Image> made;
    auto found = made.find(&picture);
    if (found == made.end()) {
        const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
        // QImage's ARGB32 lies in memory as B, G, R, A on little-endian machines; P skips a byte.
        const char *map = platform::codecs::isOpaque(straight) ? "BGRP" : "BGRA";
        found = made.emplace(&picture, Magick::Image(straight.width(), straight.height(), map, Magick::CharPixel,
                                                     straight.constBits()))
                    .first;
    }
    return found->second;
}

enum class Works { InPlace, ToNewImage };

// One run of ImageMagick's side, in ms. InPlace: ImageMagick changes the picture's own pixels
// (negate, auto-level, brightness-contrast), so each run gets a private copy of every pixel
// before the clock starts; the others make a new picture from a shared one, as ours do.
template <typename F>
double magickRun(const Magick::Image &src, Works works, F op)
{
    return benchpictures::runOnCopy([&src, works] {
        Magick::Image work(src);
        if (works == Works::InPlace) {
            work.modifyImage();
            work.getPixels(0, 0, 1, 1); // copies every pixel now, not inside the operation
        }
        return work;
    }, op);
}

// Ours and ImageMagick's on the same picture, in alternation.
template <typename F>
void versus(benchmark::State &state, double (*oursRun)(const QImage &), const QImage &picture, Works works, F op)
{
    const Magick::Image &theirs = magickOf(picture);
    benchpictures::alternate(state, [&] { return oursRun(picture); }, [&] { return magickRun(theirs, works, op); });
    state.counters["their_threads"] = double(Magick::ResourceLimits::thread());
}

// A picture ImageMagick makes from nothing, beside ours.
template <typename F>
void versusMaking(benchmark::State &state, double (*oursRun)(), F make)
{
    benchpictures::alternate(state, oursRun, [&make] {
        return benchpictures::runMaking([&make] {
            Magick::Image out;
            out.size(Magick::Geometry(kSize, kSize));
            make(out);
            return out;
        });
    });
    state.counters["their_threads"] = double(Magick::ResourceLimits::thread());
}

const Magick::Geometry kDown(kSmall, kSmall);
const Magick::Geometry kUp(kSize, kSize);
Magick::Geometry exactly(Magick::Geometry g)
{
    g.aspect(true); // the "!" of "1417x1417!"
    return g;
}

// convert SRC -blur 1x0.7
void BM_soften(benchmark::State &s)
{
    versus(s, ours::soften, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) { i.blur(1, 0.7); });
}
// convert SRC -sharpen 1x0.7
void BM_sharpen(benchmark::State &s)
{
    versus(s, ours::sharpen, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) { i.sharpen(1, 0.7); });
}
// convert SRC -channel RGB -sharpen 1x0.7
void BM_sharpenKeepAlpha(benchmark::State &s)
{
    const auto rgb = Magick::ChannelType(Magick::RedChannel | Magick::GreenChannel | Magick::BlueChannel);
    versus(s, ours::sharpenKeepAlpha, source(), Works::ToNewImage,
           [rgb](Magick::Image &i) { i.sharpenChannel(rgb, 1, 0.7); });
}
// convert SRC -negate
void BM_negative(benchmark::State &s)
{
    versus(s, ours::negative, opaqueSource(), Works::InPlace, [](Magick::Image &i) { i.negate(); });
}
// convert SRC -fill "rgb(200,120,40)" -tint 100
void BM_colorize(benchmark::State &s)
{
    versus(s, ours::colorize, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) {
        i.fillColor(Magick::Color("rgb(200,120,40)"));
        i.tint("100");
    });
}
// convert SRC -auto-level
void BM_autoBrightness(benchmark::State &s)
{
    versus(s, ours::autoBrightness, opaqueSource(), Works::InPlace, [](Magick::Image &i) { i.autoLevel(); });
}
// convert SRC -brightness-contrast 20x30
void BM_brightnessContrast(benchmark::State &s)
{
    versus(s, ours::brightnessContrast, opaqueSource(), Works::InPlace,
           [](Magick::Image &i) { i.brightnessContrast(20, 30); });
}
// convert SRC ( +clone -background black -shadow 66x3.8+10+10 ) +swap -background none
//         -layers merge +repage
void BM_dropShadow(benchmark::State &s)
{
    versus(s, ours::dropShadow, source(), Works::ToNewImage, [](Magick::Image &i) {
        Magick::Image shadow(i);
        shadow.backgroundColor(Magick::Color("black"));
        shadow.shadow(66, 3.8, 10, 10);
        shadow.backgroundColor(Magick::Color("none"));
        std::vector<Magick::Image> layers{shadow, i};
        Magick::mergeImageLayers(&i, layers.begin(), layers.end(), Magick::MergeLayer);
        i.page(Magick::Geometry(0, 0, 0, 0));
    });
}
PELMORA_PAIR(BM_soften);
PELMORA_PAIR(BM_sharpen);
PELMORA_PAIR(BM_sharpenKeepAlpha);
PELMORA_PAIR(BM_negative);
PELMORA_PAIR(BM_colorize);
PELMORA_PAIR(BM_autoBrightness);
PELMORA_PAIR(BM_brightnessContrast);
PELMORA_PAIR(BM_dropShadow);

// convert SRC -flop
void BM_flipLeftRight(benchmark::State &s)
{
    versus(s, ours::flipLeftRight, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) { i.flop(); });
}
// convert SRC -flip
void BM_flipTopBottom(benchmark::State &s)
{
    versus(s, ours::flipTopBottom, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) { i.flip(); });
}
// convert SRC -rotate 90
void BM_rotate90(benchmark::State &s)
{
    versus(s, ours::rotate90, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) { i.rotate(90); });
}
// convert SRC -background none -rotate 45
void BM_rotate45Smooth(benchmark::State &s)
{
    versus(s, ours::rotate45Smooth, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) {
        i.backgroundColor(Magick::Color("none"));
        i.rotate(45);
    });
}
// convert SRC -background none -virtual-pixel background -interpolate nearest-neighbor
//         -filter point +distort SRT 45
void BM_rotate45Fast(benchmark::State &s)
{
    versus(s, ours::rotate45Fast, opaqueSource(), Works::ToNewImage, [](Magick::Image &i) {
        i.backgroundColor(Magick::Color("none"));
        i.virtualPixelMethod(Magick::BackgroundVirtualPixelMethod);
        i.interpolate(Magick::NearestNeighborInterpolatePixel);
        i.filterType(Magick::PointFilter);
        const double angle[] = {45};
        i.distort(Magick::ScaleRotateTranslateDistortion, 1, angle, true);
    });
}
PELMORA_PAIR(BM_flipLeftRight);
PELMORA_PAIR(BM_flipTopBottom);
PELMORA_PAIR(BM_rotate90);
PELMORA_PAIR(BM_rotate45Smooth);
PELMORA_PAIR(BM_rotate45Fast);

// convert SRC -resize 1417x1417!
void BM_resizeDownQuality(benchmark::State &s)
{
    versus(s, ours::resizeDownQuality, opaqueSource(), Works::ToNewImage,
           [](Magick::Image &i) { i.resize(exactly(kDown)); });
}
// convert SRC -sample 1417x1417!
void BM_resizeDownFast(benchmark::State &s)
{
    versus(s, ours::resizeDownFast, opaqueSource(), Works::ToNewImage,
           [](Magick::Image &i) { i.sample(exactly(kDown)); });
}
// convert SMALL -resize 4000x4000!
void BM_resizeUpQuality(benchmark::State &s)
{
    versus(s, ours::resizeUpQuality, smallOpaqueSource(), Works::ToNewImage,
           [](Magick::Image &i) { i.resize(exactly(kUp)); });
}
// convert SMALL -filter triangle -resize 4000x4000!
void BM_resizeUpPreview(benchmark::State &s)
{
    versus(s, ours::resizeUpPreview, smallOpaqueSource(), Works::ToNewImage, [](Magick::Image &i) {
        i.filterType(Magick::TriangleFilter);
        i.resize(exactly(kUp));
    });
}
// convert SMALL -sample 4000x4000!
void BM_resizeUpFast(benchmark::State &s)
{
    versus(s, ours::resizeUpFast, smallOpaqueSource(), Works::ToNewImage,
           [](Magick::Image &i) { i.sample(exactly(kUp)); });
}
PELMORA_PAIR(BM_resizeDownQuality);
PELMORA_PAIR(BM_resizeDownFast);
PELMORA_PAIR(BM_resizeUpQuality);
PELMORA_PAIR(BM_resizeUpPreview);
PELMORA_PAIR(BM_resizeUpFast);

// convert -size 4000x4000 gradient:red-blue
void BM_linearGradient(benchmark::State &s)
{
    versusMaking(s, ours::linearGradient, [](Magick::Image &i) { i.read("gradient:red-blue"); });
}
// convert -size 4000x4000 -define gradient:direction=SouthEast gradient:red-blue
void BM_linearGradientDiagonalRainbow(benchmark::State &s)
{
    versusMaking(s, ours::linearGradientDiagonalRainbow, [](Magick::Image &i) {
        i.defineValue("gradient", "direction", "SouthEast");
        i.read("gradient:red-blue");
    });
}
// convert -size 4000x4000 radial-gradient:red-blue
void BM_centredGradient(benchmark::State &s)
{
    versusMaking(s, ours::centredGradient, [](Magick::Image &i) { i.read("radial-gradient:red-blue"); });
}
PELMORA_PAIR(BM_linearGradient);
PELMORA_PAIR(BM_linearGradientDiagonalRainbow);
PELMORA_PAIR(BM_centredGradient);

} // namespace

int main(int argc, char **argv)
{
    benchpairs::keepFreedMemory();
    const int threads = benchpictures::useThreads(argc, argv);
    Magick::InitializeMagick(*argv);
    // ImageMagick may use as many threads as our filters spread over.
    Magick::ResourceLimits::thread(threads);
    // Every picture made once, outside every measurement.
    for (const QImage *picture : {&source(), &opaqueSource(), &smallOpaqueSource()})
        magickOf(*picture);
    return runImagingBenchmarks(argc, argv);
}
