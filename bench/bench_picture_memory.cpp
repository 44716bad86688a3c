// Peak memory of loading a picture: the hostile pictures of the loader tests, large EMF
// metafiles made of one kind of record and the largest pictures the loader accepts, each loaded
// once. The figure is the growth of the process's
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

// An EMF of 1000 x 1000 pixels holding `records` (count of them) between its header and its
// end record, written once.
QString emfFile(const char *name, const QByteArray &records, quint32 count)
{
    const QString path = scratch().filePath(QLatin1String(name));
    if (QFile::exists(path))
        return path;
    QByteArray b;
    const auto le32 = [&](qint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    };
    for (const qint32 v : {1, 88, 0, 0, 999, 999, 0, 0, 26457, 26457, 0x464D4520, 0x10000,
                           qint32(88 + records.size() + 20), qint32(count + 2), 1, 0, 0, 0, 960, 960, 254, 254})
        le32(v);
    b += records;
    for (const qint32 v : {14, 20, 0, 16, 20})
        le32(v);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(b);
    return path;
}

// count records of `bytes` each, made by record(i).
QByteArray repeated(qsizetype count, qsizetype bytes, const std::function<void(qsizetype, char *)> &record)
{
    QByteArray out(count * bytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        record(i, out.data() + i * bytes);
    return out;
}

void putLe32(char *at, qint32 v) { qToLittleEndian(v, at); }

// 8 million SAVEDC records (64 MB): the player copies its drawing state for each.
QString savedcEmf()
{
    return emfFile("savedc.emf", repeated(8000000, 8, [](qsizetype, char *r) {
                       putLe32(r, 33);
                       putLe32(r + 4, 8);
                   }),
                   8000000);
}

// 1.3 million rectangles (31 MB), each its own shape in the drawing.
QString rectanglesEmf()
{
    return emfFile("rectangles.emf", repeated(1300000, 24, [](qsizetype i, char *r) {
                       const qint32 x = qint32(i % 900), y = qint32(i % 700);
                       for (const qint32 v : {43, 24, x, y, x + 50, y + 40}) {
                           putLe32(r, v);
                           r += 4;
                       }
                   }),
                   1300000);
}

// A polyline of `points` points.
QByteArray polyline(qint32 points)
{
    QByteArray record(28, Qt::Uninitialized);
    for (int k = 0; const qint32 v : {87, 28 + 4 * points, 0, 0, 999, 999, points})
        putLe32(record.data() + 4 * k++, v);
    return record + repeated(points, 4, [](qsizetype i, char *p) {
               qToLittleEndian(qint16((i * 7) % 1000), p);
               qToLittleEndian(qint16((i * 13) % 1000), p + 2);
           });
}

// One polyline of 3 million points (12 MB).
QString polylineEmf() { return emfFile("polyline.emf", polyline(3000000), 1); }

// 100,000 rectangles and 62 polylines of 32,000 points: about as many shapes and points as
// an EMF may have.
QString largestShapesEmf()
{
    QByteArray records = repeated(100000, 24, [](qsizetype i, char *r) {
        const qint32 x = qint32(i % 900), y = qint32(i % 700);
        for (const qint32 v : {43, 24, x, y, x + 50, y + 40}) {
            putLe32(r, v);
            r += 4;
        }
    });
    return emfFile("largest-rectangles.emf", records, 100000);
}
QString largestPointsEmf()
{
    QByteArray records;
    for (int i = 0; i < 62; ++i)
        records += polyline(32000);
    return emfFile("largest-points.emf", records, 62);
}

// 5,000 triangles, each covering half the picture: drawing them takes far longer than a
// metafile may take.
QString trianglesEmf()
{
    return emfFile("triangles.emf", repeated(5000, 40, [](qsizetype i, char *r) {
                       for (const qint32 v : {86, 40, 0, 0, 999, 999, 3}) {
                           putLe32(r, v);
                           r += 4;
                       }
                       for (const qint16 v : {qint16(0), qint16(0), qint16(999), qint16(i % 999),
                                              qint16(999 - i % 999), qint16(999)}) {
                           qToLittleEndian(v, r);
                           r += 2;
                       }
                   }),
                   5000);
}

void registerAll()
{
    for (const char *name : {"screen-huge.gif", "frame-huge.gif", "cut-huge.jpg", "cut.jpg", "progressive-huge.jpg",
                             "rle-huge.bmp", "frame-huge.wmf", "frame-square.wmf"})
        benchmark::RegisterBenchmark((std::string("PictureLoadPeak/hostile/") + name).c_str(),
                                     [name](benchmark::State &s) { measure(s, hostile(name)); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    const auto add = [](const std::string &name, std::function<QString()> make) {
        benchmark::RegisterBenchmark(("PictureLoadPeak/" + name).c_str(),
                                     [make](benchmark::State &s) { measure(s, make()); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    // Frames at the edge of the 32-bit range, from the loader's fuzzing corpus.
    for (const char *name : {"emf-frame-max-size", "emf-frame-past-int"})
        add(std::string("hostile/") + name, [name] {
            const QString path = scratch().filePath(QLatin1String(name) + QStringLiteral(".emf"));
            QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/fuzz/corpus/fuzz_image/") + QLatin1String(name), path);
            return path;
        });
    add("hostile/8M-savedc.emf", savedcEmf);
    add("hostile/1.3M-rectangles.emf", rectanglesEmf);
    add("hostile/3M-point-polyline.emf", polylineEmf);
    add("hostile/5000-large-triangles.emf", trianglesEmf);
    add("largest/emf-100k-rectangles", largestShapesEmf);
    add("largest/emf-2M-points", largestPointsEmf);
    // 16384 x 7000: the longest side, and the pixels of a DVD case cover at 1200 dpi.
    add("largest/jpeg", [] { return largest("largest.jpg", 16384, 7000, "jpeg"); });
    // Progressive: the coefficients count, so fewer pixels pass.
    add("largest/progressive-jpeg", [] { return largest("progressive.jpg", 8000, 8000, "jpeg", true); });
    add("largest/rle-bmp", [] { return runLengthBmp(10000, 10000); });
    add("largest/png", [] { return largest("largest.png", 16384, 7000, "png"); });
}

} // namespace

int main(int argc, char **argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
