// The undo buffer of a large picture: fifteen effect steps and their undo, with the memory
// they hold reported beside the time (in picture sizes and as the process's peak RSS).
#include "platform/ProcessMemory.h"

#include <algorithm>
#include "platform/imaging/ImgxImage.h"

#include <QFile>
#include <benchmark/benchmark.h>

namespace {

long peakRssKb() { return long(std::max<qint64>(0, platform::processStatusKb("VmHWM:"))); }

void BM_FifteenUndoStepsOf4000x4000(benchmark::State &state)
{
    QImage src(4000, 4000, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < src.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(src.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            line[x] = qRgb((x * 13 + y) & 255, (y * 7) & 255, (x ^ y) & 255);
    }
    const long before = peakRssKb();
    for (auto _ : state) {
        platform::ImgxImage img;
        img.setQImage(src, platform::kNoUndo);
        for (int i = 0; i < 15; ++i) {
            if (i % 3 == 0)
                img.negative(QString());
            else if (i % 3 == 1)
                img.flip(i % 2, QString());
            else
                img.brightnessContrast(5, 5, QString());
        }
        for (int i = 0; i < 15; ++i)
            img.undo();
        benchmark::DoNotOptimize(img.qimage().constBits());
    }
    const double pictureKb = 4000.0 * 4000.0 * 4 / 1024;
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1024;
    state.counters["held_picture_sizes"] = double(peakRssKb() - before) / pictureKb;
}
BENCHMARK(BM_FifteenUndoStepsOf4000x4000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
