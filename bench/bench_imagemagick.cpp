// Each benchmark of bench_imaging.cpp beside ImageMagick doing the same on the same 4000 x 4000
// picture through Magick++, the two timed in alternation in this process (see
// benchpictures::alternate): the picture is in memory before the clock starts, each run of
// ImageMagick's (and each of ours that works in place) gets its own copy of the pixels outside
// the clock, and the clock stops when the operation has its result: that result, and the copy
// an operation read to make a new picture, are freed after it, on both sides alike.
// Each comparison has the name of our benchmark, for bench/compare-imagemagick; the convert
// command of each is given beside it.
//
// Both sides get the same picture: opaque for most operations, handed to ImageMagick without
// an alpha channel (with one it works on four channels and weighs colour by alpha); with
// transparent parts for a drop shadow and for sharpening that keeps alpha. Both sides may use
// as many threads as our filters do, the size of the global thread pool (--threads=N sets it,
// and keeps the process to as many CPUs): ImageMagick's thread limit is set to it (its OpenMP
// loops may still take fewer where it judges the work too small). ImageMagick holds 16 bits a
// channel (Debian's Q16 build) where we hold 8.
//
// ImageMagick keeps every picture in memory, as we do: Debian's policy caps its pixel memory
// at 256 MiB, less than the pictures of these comparisons take, and beyond that ImageMagick
// keeps pixels in files under /tmp that it maps, which is other work than ours. So this
// program lifts the policy's caps (an ImageMagick configuration folder of its own, with a
// policy.xml read before the system's) and sets ImageMagick's limits itself (see main): memory
// and map kMagickMemory, area kMagickArea, disk 0, so that a picture that would not fit in
// memory fails its comparison instead of going to disk, and leaves no pixel file behind.
// Every picture of theirs is checked to be in memory, and at the end the process's own maps
// (with the pictures held for all runs still there) for a pixel file: with one, it fails.
//
// Each comparison also reports as the counter grey_levels the largest difference of any
// channel (0..255) between our picture and ImageMagick's, -1 when their sizes differ: how far
// the two do the same work.
#include "ImagingOperations.h"
#include "platform/imaging/codecs/CodecSupport.h"

#include <Magick++.h>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

using benchpictures::kSize;
using benchpictures::kSmall;
using benchpictures::opaqueSource;
using benchpictures::smallOpaqueSource;
using benchpictures::source;

using MagickCore::Quantum; // of QuantumRange
using MagickCore::RectangleInfo;

namespace {

// ImageMagick's limits for pixels in memory (and in anonymous maps) and for the pixels of one
// picture: far above what these comparisons take at once (a few pictures of 4000 x 4000 at 8
// bytes a pixel, 128 MB each), below the memory of the machines they run on.
constexpr unsigned long long kMagickMemory = 4ULL << 30;
constexpr unsigned long long kMagickArea = 1ULL << 30;

// A policy.xml that allows those limits; ImageMagick reads it before the system's, and the
// first policy of a name counts.
QByteArray liftingPolicy()
{
    return QByteArrayLiteral("<policymap>\n"
                             "  <policy domain=\"resource\" name=\"memory\" value=\"")
        + QByteArray::number(kMagickMemory) + "\"/>\n  <policy domain=\"resource\" name=\"map\" value=\""
        + QByteArray::number(kMagickMemory) + "\"/>\n  <policy domain=\"resource\" name=\"area\" value=\""
        + QByteArray::number(kMagickArea) + "\"/>\n  <policy domain=\"resource\" name=\"disk\" value=\"0\"/>\n"
        + "</policymap>\n";
}

// Pictures of ImageMagick's that were not in memory.
int gNotInMemory = 0;

void checkInMemory(const Magick::Image &picture)
{
    if (GetImagePixelCacheType(picture.constImage()) != MagickCore::MemoryCache)
        ++gNotInMemory;
}

// The lines of /proc/self/maps of files of ImageMagick's (magick-*).
std::vector<std::string> mappedMagickFiles()
{
    std::vector<std::string> found;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/magick-") != std::string::npos)
            found.push_back(line);
    return found;
}

// The largest difference of any channel (0..255) between our picture and theirs, -1 when
// their sizes differ.
int largestDifference(const QImage &ours, const Magick::Image &theirs)
{
    const QImage mine = ours.convertToFormat(QImage::Format_ARGB32);
    if (mine.width() != int(theirs.columns()) || mine.height() != int(theirs.rows()))
        return -1;
    std::vector<unsigned char> row(size_t(mine.width()) * 4);
    int largest = 0;
    for (int y = 0; y < mine.height(); ++y) {
        // As QImage's ARGB32 lies in memory: B, G, R, A.
        const_cast<Magick::Image &>(theirs).write(0, y, theirs.columns(), 1, "BGRA", Magick::CharPixel, row.data());
        const uchar *p = mine.constScanLine(y);
        for (size_t i = 0; i < row.size(); ++i)
            largest = std::max(largest, std::abs(int(p[i]) - int(row[i])));
    }
    return largest;
}

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
        // -intensity Rec601Luma: the weights our automatic brightness measures by.
        found->second.image()->intensity = MagickCore::Rec601LumaPixelIntensityMethod;
        checkInMemory(found->second);
    }
    return found->second;
}

// The picture ImageMagick works on in one run: a private copy of every pixel, made before the
// clock starts, for every operation. ImageMagick keeps some settings with the pixels, not with
// the picture (a rotation by 45 degrees sets the virtual pixel method of the picture it reads),
// so that an operation on a picture that shares its pixels with the one held for all runs
// would change how later operations see that one's edges.
Magick::Image workOf(const Magick::Image &src)
{
    Magick::Image work(src);
    work.modifyImage();
    work.getPixels(0, 0, 1, 1); // copies every pixel now, not inside the operation
    return work;
}

// One run of ImageMagick's side, in ms. An operation that makes a new picture (a flip, a
// resize, a blur) puts it in the place of the copy it read and frees that copy; a reference
// held here until the clock has stopped leaves the freeing for afterwards, as ours frees its
// copies after the clock.
template <typename F>
double magickRun(const Magick::Image &src, F op)
{
    MagickCore::Image *input = nullptr;
    const double ms = benchpictures::runOnCopy(
        [&src, &input] {
            Magick::Image work = workOf(src);
            input = MagickCore::ReferenceImage(work.image());
            return work;
        },
        [&op](Magick::Image &i) {
            op(i);
            checkInMemory(i);
        });
    MagickCore::DestroyImage(input);
    return ms;
}

// The counters of a comparison of ours with theirs: their threads, grey_levels (made by
// difference() in the first repetition, outside every measurement, kept in made), and an
// error when a picture of theirs was not in memory or ImageMagick failed.
template <typename Compare, typename Difference>
void magickPair(benchmark::State &state, std::optional<int> &made, Compare compare, Difference difference)
{
    const int before = gNotInMemory;
    try {
        if (!made)
            made = difference();
        compare();
        state.counters["grey_levels"] = *made;
    } catch (const Magick::Exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    state.counters["their_threads"] = double(Magick::ResourceLimits::thread());
    if (gNotInMemory != before)
        state.SkipWithError("an ImageMagick picture was not in memory");
}

// Ours and ImageMagick's on the same picture, in alternation.
template <typename F>
void versus(benchmark::State &state, double (*oursRun)(const QImage &), const QImage &picture, F op)
{
    const Magick::Image &theirs = magickOf(picture);
    static std::optional<int> difference; // one for each comparison: F differs
    magickPair(
        state, difference,
        [&] {
            benchpictures::alternate(state, [&] { return oursRun(picture); },
                                     [&] { return magickRun(theirs, op); });
        },
        [&] {
            Magick::Image result = workOf(theirs);
            op(result);
            return largestDifference(benchpictures::pictureOf([&] { return oursRun(picture); }), result);
        });
}

// A picture ImageMagick makes from nothing, beside ours.
template <typename F>
void versusMaking(benchmark::State &state, double (*oursRun)(), F make)
{
    auto made = [&make] {
        Magick::Image out;
        out.size(Magick::Geometry(kSize, kSize));
        make(out);
        checkInMemory(out);
        return out;
    };
    static std::optional<int> difference; // one for each comparison: F differs
    magickPair(
        state, difference,
        [&] { benchpictures::alternate(state, oursRun, [&made] { return benchpictures::runMaking(made); }); },
        [&] { return largestDifference(benchpictures::pictureOf(oursRun), made()); });
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
    versus(s, ours::soften, opaqueSource(), [](Magick::Image &i) { i.blur(1, 0.7); });
}
// convert SRC -sharpen 1x0.7
void BM_sharpen(benchmark::State &s)
{
    versus(s, ours::sharpen, opaqueSource(), [](Magick::Image &i) { i.sharpen(1, 0.7); });
}
// convert SRC -channel RGB -sharpen 1x0.7
void BM_sharpenKeepAlpha(benchmark::State &s)
{
    const auto rgb = Magick::ChannelType(Magick::RedChannel | Magick::GreenChannel | Magick::BlueChannel);
    versus(s, ours::sharpenKeepAlpha, source(),
           [rgb](Magick::Image &i) { i.sharpenChannel(rgb, 1, 0.7); });
}
// convert SRC -negate
void BM_negative(benchmark::State &s)
{
    versus(s, ours::negative, opaqueSource(), [](Magick::Image &i) { i.negate(); });
}
// convert SRC -colorspace HSL -channel R -evaluate set 8.333% -channel G -evaluate set 66.667%
//         +channel -colorspace sRGB
// Each pixel takes the hue and saturation of rgb(200,120,40), 30 degrees and 2/3 in HSL, and
// keeps its own lightness, as ours does.
void BM_colorize(benchmark::State &s)
{
    versus(s, ours::colorize, opaqueSource(), [](Magick::Image &i) {
        i.colorSpace(Magick::HSLColorspace);
        i.quantumOperator(Magick::RedChannel, Magick::SetEvaluateOperator, QuantumRange * 30.0 / 360.0);
        i.quantumOperator(Magick::GreenChannel, Magick::SetEvaluateOperator, QuantumRange * 2.0 / 3.0);
        i.colorSpace(Magick::sRGBColorspace);
    });
}
// convert SRC -grayscale Rec601Luma
// As ours: each pixel's grey level is its luminance by the Rec. 601 weights.
void BM_grey(benchmark::State &s)
{
    versus(s, ours::grey, opaqueSource(),
           [](Magick::Image &i) { i.grayscale(MagickCore::Rec601LumaPixelIntensityMethod); });
}
// convert SRC -intensity Rec601Luma -contrast-stretch 0.5%x0.5% +level 3.137%,97.255%
// As ours: the darkest and the brightest 0.5 % of the pixels by luminance found in a
// histogram, the levels between stretched to 8 .. 248 out of 255 alike on the three channels.
void BM_autoBrightness(benchmark::State &s)
{
    versus(s, ours::autoBrightness, opaqueSource(), [](Magick::Image &i) {
        const double clipped = 0.005 * double(i.columns()) * double(i.rows());
        i.contrastStretch(clipped, clipped);
        i.levelize(QuantumRange * 8.0 / 255.0, QuantumRange * 248.0 / 255.0);
    });
}
// convert SRC -brightness-contrast 20x30
void BM_brightnessContrast(benchmark::State &s)
{
    versus(s, ours::brightnessContrast, opaqueSource(),
           [](Magick::Image &i) { i.brightnessContrast(20, 30); });
}
// convert SRC ( +clone -background black -shadow 66.7x3.8+10+10 ) -geometry +2+2
//         -compose DstOver -composite   (+2+2: the shadow's page offset, 10 less its margin of 8)
// As ours: the shadow of the picture's alpha, moved by 10, 10, at 170/255 opacity, under the
// picture, which keeps its size. Theirs blurs with a gaussian of sigma 3.8, ours with three
// box blurs close to it.
void BM_dropShadow(benchmark::State &s)
{
    versus(s, ours::dropShadow, source(), [](Magick::Image &i) {
        Magick::Image shadow(i);
        shadow.backgroundColor(Magick::Color("black"));
        shadow.shadow(100.0 * 170 / 255, 3.8, 10, 10);
        checkInMemory(shadow);
        // The shadow's canvas is larger by the blur's reach; its page offset says where it lies.
        const RectangleInfo &at = shadow.constImage()->page;
        i.composite(shadow, at.x, at.y, Magick::DstOverCompositeOp);
    });
}
PELMORA_PAIR(BM_soften);
PELMORA_PAIR(BM_sharpen);
PELMORA_PAIR(BM_sharpenKeepAlpha);
PELMORA_PAIR(BM_negative);
PELMORA_PAIR(BM_colorize);
PELMORA_PAIR(BM_grey);
PELMORA_PAIR(BM_autoBrightness);
PELMORA_PAIR(BM_brightnessContrast);
PELMORA_PAIR(BM_dropShadow);

// convert SRC -flop
void BM_flipLeftRight(benchmark::State &s)
{
    versus(s, ours::flipLeftRight, opaqueSource(), [](Magick::Image &i) { i.flop(); });
}
// convert SRC -flip
void BM_flipTopBottom(benchmark::State &s)
{
    versus(s, ours::flipTopBottom, opaqueSource(), [](Magick::Image &i) { i.flip(); });
}
// convert SRC -rotate 90
void BM_rotate90(benchmark::State &s)
{
    versus(s, ours::rotate90, opaqueSource(), [](Magick::Image &i) { i.rotate(90); });
}
// convert SRC -background none -rotate 45
void BM_rotate45Smooth(benchmark::State &s)
{
    versus(s, ours::rotate45Smooth, opaqueSource(), [](Magick::Image &i) {
        i.backgroundColor(Magick::Color("none"));
        i.rotate(45);
    });
}
// convert SRC -background none -virtual-pixel background -interpolate nearest-neighbor
//         -filter point +distort SRT 45
void BM_rotate45Fast(benchmark::State &s)
{
    versus(s, ours::rotate45Fast, opaqueSource(), [](Magick::Image &i) {
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
    versus(s, ours::resizeDownQuality, opaqueSource(),
           [](Magick::Image &i) { i.resize(exactly(kDown)); });
}
// convert SRC -sample 1417x1417!
void BM_resizeDownFast(benchmark::State &s)
{
    versus(s, ours::resizeDownFast, opaqueSource(),
           [](Magick::Image &i) { i.sample(exactly(kDown)); });
}
// convert SMALL -filter Catrom -resize 4000x4000!
// As ours: Catmull-Rom bicubic on each axis.
void BM_resizeUpQuality(benchmark::State &s)
{
    versus(s, ours::resizeUpQuality, smallOpaqueSource(), [](Magick::Image &i) {
        i.filterType(Magick::CatromFilter);
        i.resize(exactly(kUp));
    });
}
// convert SMALL -filter triangle -resize 4000x4000!
void BM_resizeUpPreview(benchmark::State &s)
{
    versus(s, ours::resizeUpPreview, smallOpaqueSource(), [](Magick::Image &i) {
        i.filterType(Magick::TriangleFilter);
        i.resize(exactly(kUp));
    });
}
// convert SMALL -sample 4000x4000!
void BM_resizeUpFast(benchmark::State &s)
{
    versus(s, ours::resizeUpFast, smallOpaqueSource(),
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
// convert -size 4000x4000 -define gradient:direction=SouthEast gradient:black-white
//         ( xc:red xc:yellow xc:lime xc:cyan xc:blue xc:magenta +append ) -interpolate bilinear -clut
// As ours: the six colours of the rainbow evenly from the top left corner to the bottom right.
void BM_linearGradientDiagonalRainbow(benchmark::State &s)
{
    versusMaking(s, ours::linearGradientDiagonalRainbow, [](Magick::Image &i) {
        i.defineValue("gradient", "direction", "SouthEast");
        i.read("gradient:black-white");
        std::vector<Magick::Image> stops;
        for (const char *colour : {"red", "yellow", "lime", "cyan", "blue", "magenta"})
            stops.emplace_back(Magick::Geometry(1, 1), Magick::Color(colour));
        Magick::Image rainbow;
        Magick::appendImages(&rainbow, stops.begin(), stops.end());
        rainbow.interpolate(Magick::BilinearInterpolatePixel);
        i.clut(rainbow);
    });
}
// convert -size 4000x4000 -define gradient:center=2000,2000 -define gradient:radii=2000,2000
//         radial-gradient:red-blue
void BM_centredGradient(benchmark::State &s)
{
    versusMaking(s, ours::centredGradient, [](Magick::Image &i) {
        i.defineValue("gradient", "center", "2000,2000");
        i.defineValue("gradient", "radii", "2000,2000");
        i.read("radial-gradient:red-blue");
    });
}
PELMORA_PAIR(BM_linearGradient);
PELMORA_PAIR(BM_linearGradientDiagonalRainbow);
PELMORA_PAIR(BM_centredGradient);

} // namespace

int main(int argc, char **argv)
{
    const int threads = benchpictures::useThreads(argc, argv);
    // The policy that lifts the system's caps, in a configuration folder of this run's own.
    QTemporaryDir configuration;
    QFile policy(configuration.filePath(QStringLiteral("policy.xml")));
    if (!configuration.isValid() || !policy.open(QIODevice::WriteOnly) || policy.write(liftingPolicy()) < 0)
        return 1;
    policy.close();
    ::setenv("MAGICK_CONFIGURE_PATH", QFile::encodeName(configuration.path()).constData(), 1);
    Magick::InitializeMagick(*argv);
    Magick::ResourceLimits::memory(kMagickMemory);
    Magick::ResourceLimits::map(kMagickMemory);
    Magick::ResourceLimits::area(kMagickArea);
    Magick::ResourceLimits::disk(0);
    if (Magick::ResourceLimits::memory() != kMagickMemory || Magick::ResourceLimits::area() != kMagickArea) {
        std::fprintf(stderr, "ImageMagick's limits could not be raised\n");
        return 1;
    }
    // ImageMagick may use as many threads as our filters spread over.
    Magick::ResourceLimits::thread(threads);
    // Every picture made once, outside every measurement.
    for (const QImage *picture : {&source(), &opaqueSource(), &smallOpaqueSource()})
        magickOf(*picture);
    const int status = runImagingBenchmarks(argc, argv);

    // With the disk limit at 0 ImageMagick cannot make a pixel file; this finds one all the same.
    const std::vector<std::string> files = mappedMagickFiles();
    for (const std::string &file : files)
        std::fprintf(stderr, "ImageMagick pixel file: %s\n", file.c_str());
    if (gNotInMemory > 0)
        std::fprintf(stderr, "%d ImageMagick pictures were not in memory\n", gNotInMemory);
    return status != 0 || !files.empty() || gNotInMemory > 0 ? 1 : 0;
}
