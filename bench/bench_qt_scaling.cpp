// Our resizing of the 4000 x 4000 picture to 1417 x 1417 and back up beside Qt's smooth
// scaling (QImage::scaled with Qt::SmoothTransformation: area averaging down, bilinear up),
// timed in alternation (bench/compare-qt-scaling). Each comparison has the name of our
// benchmark in bench_imaging.cpp. Qt spreads over the same global thread pool as ours
// (--threads=N sets its size and keeps the process to as many CPUs).
//
// Each comparison also reports as the counter grey_levels the largest difference of any
// channel (0..255) between our picture and Qt's. Our Preview mode is Qt's smooth scaling. When
// shrinking, Quality averages the areas as Qt does, in integers of its own: the two pictures
// lie within a grey level of each other. When enlarging, Quality is bicubic, other work than
// Qt's bilinear (bench_imagemagick.cpp compares it with ImageMagick's bicubic).
#include "ImagingOperations.h"

#include <benchmark/benchmark.h>

using benchpictures::alternate;
using benchpictures::kSize;
using benchpictures::kSmall;
using benchpictures::smallSource;
using benchpictures::source;
namespace img = platform::imaging;

namespace {

QImage qtSmooth(const QImage &picture, int size)
{
    return picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void compare(benchmark::State &state, const QImage &picture, int size, int mode)
{
    state.counters["grey_levels"] = benchpictures::largestDifference(img::resized(picture, size, size, mode), qtSmooth(picture, size));
    alternate(state, [&] { return ours::making([&] { return img::resized(picture, size, size, mode); }); },
              [&] { return ours::making([&] { return qtSmooth(picture, size); }); });
}

void BM_resizeDownPreview(benchmark::State &s) { compare(s, source(), kSmall, img::ResizeMode::Preview); }
void BM_resizeDownQuality(benchmark::State &s) { compare(s, source(), kSmall, img::ResizeMode::Quality); }
void BM_resizeUpPreview(benchmark::State &s) { compare(s, smallSource(), kSize, img::ResizeMode::Preview); }
void BM_resizeUpQuality(benchmark::State &s) { compare(s, smallSource(), kSize, img::ResizeMode::Quality); }
PELMORA_PAIR(BM_resizeDownPreview);
PELMORA_PAIR(BM_resizeDownQuality);
PELMORA_PAIR(BM_resizeUpPreview);
PELMORA_PAIR(BM_resizeUpQuality);

} // namespace

int main(int argc, char **argv)
{
    benchpictures::useThreads(argc, argv);
    smallSource(); // both pictures made once, outside every measurement
    return runImagingBenchmarks(argc, argv);
}
