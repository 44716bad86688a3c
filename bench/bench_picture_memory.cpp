// Peak memory of loading a picture: the hostile pictures of the loader tests and the largest
// pictures the loader accepts, each loaded once. The figure is the growth of the process's
// resident high-water mark (reset before each load through /proc/self/clear_refs); a load
// that passes 4 bytes x kMaxImagePixels + 64 MiB fails the benchmark.
#include "PeakMemory.h"
#include "platform/imaging/ImageCodecs.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

using bench::measurePeak;
constexpr qint64 kBoundBytes = 4 * platform::kMaxImagePixels + 64LL * 1024 * 1024;

void measure(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        platform::CodecResult result;
        const auto peak = measurePeak(state, [&] {
            QImage img;
            result = platform::loadImageFile(path, img);
            state.counters["width"] = img.width();
            state.counters["height"] = img.height();
        });
        if (!peak)
            return;
        state.counters["refused"] = result.ok ? 0 : 1;
        if (!result.ok)
            state.SetLabel(result.message.toStdString());
        if (*peak > kBoundBytes)
            state.SkipWithError("loading took more than 4 bytes x the pixel limit + 64 MiB");
    }
}

QString hostile(const char *name)
{
    return QStringLiteral(PELMORA_SOURCE_DIR "/tests/data/hostile-pictures/") + QLatin1String(name);
}

const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

// A picture of the given size with some detail, written once as format.
QString largest(const char *name, int width, int height, const char *format, bool progressive = false)
{
    const QString path = scratch().filePath(QLatin1String(name));
    if (!QFile::exists(path)) {
        QImage img(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
        }
        QImageWriter writer(path, format);
        writer.setProgressiveScanWrite(progressive);
        writer.write(img);
    }
    return path;
}

// A run-length coded BMP of width x height that is all end-of-bitmap: a palette picture of
// a few hundred bytes that decodes to its full size.
QString runLengthBmp(int width, int height)
{
    const QString path = scratch().filePath(QStringLiteral("runs.bmp"));
    QByteArray b("BM");
    const auto le32 = [&](quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    };
    const auto le16 = [&](quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    };
    le32(14 + 40 + 8 + 2);
    le32(0);
    le32(14 + 40 + 8);
    le32(40);
    le32(quint32(width));
    le32(quint32(height));
    le16(1);
    le16(8);
    le32(1);
    le32(2);
    le32(2835);
    le32(2835);
    le32(2);
    le32(0);
    le32(0x000000);
    le32(0xFFFFFF);
    b.append("\x00\x01", 2);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(b);
    return path;
}

void registerAll()
{
    for (const char *name : {"screen-huge.gif", "frame-huge.gif", "cut-huge.jpg", "cut.jpg", "progressive-huge.jpg",
                             "rle-huge.bmp", "frame-huge.wmf", "frame-square.wmf"})
        benchmark::RegisterBenchmark((std::string("PictureLoadPeak/hostile/") + name).c_str(),
                                     [name](benchmark::State &s) { measure(s, hostile(name)); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    const auto add = [](const char *name, std::function<QString()> make) {
        benchmark::RegisterBenchmark((std::string("PictureLoadPeak/largest/") + name).c_str(),
                                     [make](benchmark::State &s) { measure(s, make()); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    // 16384 x 7000: the longest side, and the pixels of a DVD case cover at 1200 dpi.
    add("jpeg", [] { return largest("largest.jpg", 16384, 7000, "jpeg"); });
    // Progressive: the coefficients count, so fewer pixels pass.
    add("progressive-jpeg", [] { return largest("progressive.jpg", 8000, 8000, "jpeg", true); });
    add("rle-bmp", [] { return runLengthBmp(10000, 10000); });
    add("png", [] { return largest("largest.png", 16384, 7000, "png"); });
}

} // namespace

int main(int argc, char **argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
