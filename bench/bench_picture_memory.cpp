// Loading a picture through the picture reader: what one load costs the program and its helper
// together, for the hostile pictures of the loader tests, for files of the kinds that went past
// every estimate of what a format costs (a progressive JPEG of thousands of scans, a PNG of
// compressed text, a TIFF of one huge tag, metafiles of shapes, clip paths, embedded pictures
// and texts that take long to draw) and for the largest pictures the limits accept. Every
// file is made here, once, and loaded once. A load fails its benchmark when it passes a bound:
// 10 s of CPU time for program and helper together, 15 s of wall time, 700 MB for the helper
// and, for the program, the picture's own pixels and 64 MiB above what it held.
//
// What the helper adds to the load of a photo, beside Qt's reader in the program, is measured by
// bench_picture_loading.cpp.
#include "PeakMemory.h"
#include "platform/imaging/PictureReader.h"
#include "BenchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include <jpeglib.h>

namespace {

using bench::measurePeak;
constexpr double kMaxCpuSeconds = 10, kMaxWallSeconds = 15;
constexpr qint64 kMaxHelperBytes = 700LL * 1000 * 1000;
// The program holds the mapped pixels and nothing else of a load; the slack is for the
// allocator's and the event loop's own pages (measured: at most 0.1 MiB).
constexpr qint64 kProgramSlackBytes = 4LL * 1024 * 1024;

double ownCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void measure(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        platform::CodecResult result;
        QSize size;
        const double cpuBefore = ownCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const auto peak = measurePeak(state, [&] {
            QImage img;
            result = platform::loadImageFile(path, img);
            size = img.size();
            // The picture is shown: every page of its pixels is read.
            const uchar *bits = img.constBits();
            volatile uchar sum = 0;
            for (qsizetype i = 0; i < img.sizeInBytes(); i += 4096)
                sum = sum + bits[i];
        });
        if (!peak)
            return;
        const double wallSeconds = double(wall.elapsed()) / 1000;
        const platform::PictureReaderRun run = platform::lastPictureReaderRun();
        const double cpu = ownCpuSeconds() - cpuBefore + run.helperCpuSeconds;
        state.counters["width"] = size.width();
        state.counters["height"] = size.height();
        state.counters["cpu_s"] = cpu;
        state.counters["wall_s"] = wallSeconds;
        state.counters["helper_MB"] = double(run.helperPeakBytes) / 1e6;
        state.counters["refused"] = result.ok ? 0 : result.error;
        if (!result.ok)
            state.SetLabel(result.message.toStdString());
        const qint64 pixels = 4LL * size.width() * size.height();
        if (cpu > kMaxCpuSeconds)
            state.SkipWithError("program and helper took more than 10 s of CPU time");
        else if (wallSeconds > kMaxWallSeconds)
            state.SkipWithError("the load took more than 15 s");
        else if (run.helperPeakBytes > kMaxHelperBytes)
            state.SkipWithError("the helper took more than 700 MB");
        else if (*peak > pixels + kProgramSlackBytes)
            state.SkipWithError("the program took more than the picture's pixels + 4 MiB");
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

// The file of that name in the scratch folder, made by make the first time.
QString madeOnce(const char *name, const std::function<QByteArray()> &make)
{
    const QString path = scratch().filePath(QLatin1String(name));
    if (!QFile::exists(path)) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(make());
    }
    return path;
}

QImage detailed(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    return img;
}

// A picture of the given size with some detail, written once as format.
QString largest(const char *name, int width, int height, const char *format)
{
    const QString path = scratch().filePath(QLatin1String(name));
    if (!QFile::exists(path))
        QImageWriter(path, format).write(detailed(width, height));
    return path;
}

void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void putBe32(QByteArray &b, quint32 v)
{
    char c[4];
    qToBigEndian(v, c);
    b.append(c, 4);
}

// A run-length coded BMP of width x height that is all end-of-bitmap: a palette picture of
// a few hundred bytes that decodes to its full size.
QByteArray runLengthBmp(int width, int height)
{
    QByteArray b("BM");
    for (const quint32 v : {quint32(14 + 40 + 8 + 2), 0u, quint32(14 + 40 + 8), 40u, quint32(width), quint32(height)})
        put32(b, v);
    put16(b, 1);
    put16(b, 8);
    for (const quint32 v : {1u, 2u, 2835u, 2835u, 2u, 0u, 0x000000u, 0xFFFFFFu})
        put32(b, v);
    b.append("\x00\x01", 2);
    return b;
}

// A progressive JPEG of a smooth picture whose coefficients come in the most scans a scan
// script may have: each band of each component alone, refined bit by bit.
QByteArray progressiveJpeg(int width, int height)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    std::vector<jpeg_scan_info> scans;
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    constexpr int kBits = 10;
    for (int component = 0; component < 3; ++component)
        for (int band = 1; band < 64; ++band) {
            scans.push_back({1, {component, 0, 0, 0}, band, band, 0, kBits});
            for (int bit = kBits; bit > 0; --bit)
                scans.push_back({1, {component, 0, 0, 0}, band, band, bit, bit - 1});
        }
    c.scan_info = scans.data();
    c.num_scans = int(scans.size());
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(width) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < width; ++x) {
            row[size_t(x) * 3] = (unsigned char)(x * 255 / width);
            row[size_t(x) * 3 + 1] = (unsigned char)(y * 255 / height);
            row[size_t(x) * 3 + 2] = 128;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk;
    putBe32(chunk, quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    putBe32(chunk, quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))));
    return chunk;
}

QByteArray zlibOf(const QByteArray &data)
{
    return qCompress(data, 9).mid(4); // without Qt's length in front: a zlib stream
}

// A PNG of one pixel carrying `chunks` compressed texts of 7.9 MB each.
QByteArray textPng(int chunks)
{
    QByteArray ihdr;
    putBe32(ihdr, 1);
    putBe32(ihdr, 1);
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    const QByteArray text = QByteArray("Comment") + '\0' + '\0' + zlibOf(QByteArray(7900000, 'a'));
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += pngChunk("IHDR", ihdr);
    for (int i = 0; i < chunks; ++i)
        png += pngChunk("zTXt", text);
    png += pngChunk("IDAT", zlibOf(QByteArray("\x00\xff\x00\x00", 4)));
    png += pngChunk("IEND", {});
    return png;
}

// A TIFF of one pixel with an unknown tag of `bytes` bytes: a sparse file.
QString tiffWithHugeTag(qint64 bytes)
{
    const QString path = scratch().filePath(QStringLiteral("huge-tag.tif"));
    if (QFile::exists(path))
        return path;
    QByteArray t("II*\0", 4);
    put32(t, 8);
    const struct {
        quint16 tag, type;
        quint32 count, value;
    } entries[] = {
        {256, 3, 1, 1},   {257, 3, 1, 1},  {258, 3, 1, 8},   {259, 3, 1, 1},   {262, 3, 1, 1},
        {273, 4, 1, 200}, {277, 3, 1, 1},  {278, 3, 1, 1},   {279, 4, 1, 1},   {65000, 1, quint32(bytes), 256},
    };
    put16(t, std::size(entries));
    for (const auto &e : entries) {
        put16(t, e.tag);
        put16(t, e.type);
        put32(t, e.count);
        put32(t, e.value);
    }
    put32(t, 0);
    t.resize(200, '\0');
    t += '\x80';
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(t);
        f.resize(256 + bytes);
    }
    return path;
}

// An EMF of 1000 x 1000 pixels holding `records` (count of them) between its header and its
// end record.
QByteArray emfOf(const QByteArray &records, quint32 count)
{
    QByteArray b;
    for (const quint32 v : {1u, 88u, 0u, 0u, 999u, 999u, 0u, 0u, 26457u, 26457u, 0x464D4520u, 0x10000u,
                            quint32(88 + records.size() + 20), count + 2, 1u, 0u, 0u, 0u, 960u, 960u, 254u, 254u})
        put32(b, v);
    b += records;
    for (const quint32 v : {14u, 20u, 0u, 16u, 20u})
        put32(b, v);
    return b;
}

void putBounds(QByteArray &r) { for (const quint32 v : {0u, 0u, 999u, 999u}) put32(r, v); }

// A POLYGON16 (or another record of its form) zigzagging `points` times across the picture.
QByteArray zigzag(quint32 type, quint32 points)
{
    QByteArray r;
    put32(r, type);
    put32(r, 28 + 4 * points);
    putBounds(r);
    put32(r, points);
    for (quint32 i = 0; i < points; ++i) {
        put16(r, i % 2 ? 999 : 0);
        put16(r, quint16(i * 999 / std::max(1u, points - 1)));
    }
    return r;
}

// One POLYPOLYGON16 of `count` triangles, each across the whole picture.
QByteArray triangles(quint32 count)
{
    QByteArray r;
    put32(r, 91);
    put32(r, 32 + 4 * count + 12 * count);
    putBounds(r);
    put32(r, count);
    put32(r, 3 * count);
    for (quint32 i = 0; i < count; ++i)
        put32(r, 3);
    for (quint32 i = 0; i < count; ++i)
        for (const quint16 v : {quint16(0), quint16(0), quint16(999), quint16(i % 1000), quint16(999 - i % 1000),
                                quint16(999)})
            put16(r, v);
    return r;
}

QByteArray simple(quint32 type, std::initializer_list<quint32> params = {})
{
    QByteArray r;
    put32(r, type);
    put32(r, quint32(8 + 4 * params.size()));
    for (const quint32 v : params)
        put32(r, v);
    return r;
}

// A STRETCHDIBITS of a JPEG (compression 4) or PNG (5) picture of w x h pixels.
QByteArray embedded(const QByteArray &picture, quint32 compression, quint32 w, quint32 h)
{
    QByteArray header;
    for (const quint32 v : {40u, w, h})
        put32(header, v);
    put16(header, 1);
    put16(header, 0);
    for (const quint32 v : {compression, quint32(picture.size()), 3780u, 3780u, 0u, 0u})
        put32(header, v);
    QByteArray bits = picture;
    bits.resize((bits.size() + 3) / 4 * 4, '\0');
    QByteArray r;
    put32(r, 81);
    put32(r, quint32(80 + header.size() + bits.size()));
    putBounds(r);
    for (const quint32 v : {0u, 0u, 0u, 0u, w, h, 80u, quint32(header.size()), quint32(80 + header.size()),
                            quint32(picture.size()), 0u, 0x00CC0020u, 1000u, 1000u})
        put32(r, v);
    return r + header + bits;
}

// An EXTTEXTOUTW of the text, with its spacing array.
QByteArray text(const QString &s)
{
    const quint32 chars = quint32(s.size());
    const quint32 stringBytes = (2 * chars + 3) / 4 * 4;
    QByteArray r;
    put32(r, 84);
    put32(r, 76 + stringBytes + 4 * chars);
    putBounds(r);
    put32(r, 1);          // compatible graphics mode
    put32(r, 0x3F800000); // scales 1.0
    put32(r, 0x3F800000);
    for (const quint32 v : {10u, 500u, chars, 76u, 0u, 0u, 0u, 999u, 999u, 76 + stringBytes})
        put32(r, v);
    for (const QChar c : s)
        put16(r, c.unicode());
    r.resize(76 + qsizetype(stringBytes), '\0');
    for (quint32 i = 0; i < chars; ++i)
        put32(r, 8);
    return r;
}

// A placeable WMF of 1000 x 1000 units with one polygon zigzagging `points` times.
QByteArray wmfZigzag(quint16 points)
{
    QByteArray b;
    quint16 checksum = 0;
    for (const quint16 w : {quint16(0xCDD7), quint16(0x9AC6), quint16(0), quint16(0), quint16(0), quint16(1000),
                            quint16(1000), quint16(96), quint16(0), quint16(0)}) {
        checksum ^= w;
        put16(b, w);
    }
    put16(b, checksum);
    QByteArray records;
    put32(records, 5);
    put16(records, 0x020C); // SETWINDOWEXT
    put16(records, 1000);
    put16(records, 1000);
    put32(records, 4 + 2 * quint32(points));
    put16(records, 0x0324); // POLYGON
    put16(records, points);
    for (quint16 i = 0; i < points; ++i) {
        put16(records, i % 2 ? 999 : 0);
        put16(records, quint16(i * 999 / std::max<quint16>(1, points - 1)));
    }
    put32(records, 3);
    put16(records, 0); // EOF
    put16(b, 1);
    put16(b, 9);
    put16(b, 0x0300);
    put32(b, quint32(18 + records.size()) / 2);
    put16(b, 0);
    put32(b, 4 + 2 * quint32(points));
    put16(b, 0);
    return b + records;
}

void registerAll()
{
    const auto add = [](const std::string &name, std::function<QString()> make) {
        benchmark::RegisterBenchmark(("PictureLoad/" + name).c_str(), [make](benchmark::State &s) { measure(s, make()); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    for (const char *name : {"screen-huge.gif", "frame-huge.gif", "cut-huge.jpg", "cut.jpg", "progressive-huge.jpg",
                             "rle-huge.bmp", "frame-huge.wmf", "frame-square.wmf"})
        add(std::string("hostile/") + name, [name] { return hostile(name); });
    // Frames at the edge of the 32-bit range, from the loader's fuzzing corpus.
    for (const char *name : {"emf-frame-max-size", "emf-frame-past-int"})
        add(std::string("hostile/") + name, [name] {
            const QString path = scratch().filePath(QLatin1String(name) + QStringLiteral(".emf"));
            QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/fuzz/corpus/fuzz_image/") + QLatin1String(name), path);
            return path;
        });

    // Files that cost in ways no estimate of a format weighs.
    add("costly/progressive-jpeg-8700-2080-scans", [] {
        return madeOnce("progressive-scans.jpg", [] { return progressiveJpeg(8700, 8700); });
    });
    add("costly/png-20-text-chunks", [] { return madeOnce("text-20.png", [] { return textPng(20); }); });
    add("costly/png-100-text-chunks", [] { return madeOnce("text-100.png", [] { return textPng(100); }); });
    add("costly/tiff-330MB-tag", [] { return tiffWithHugeTag(330LL * 1000 * 1000); });
    add("costly/emf-1000-triangles", [] { return madeOnce("triangles.emf", [] { return emfOf(triangles(1000), 1); }); });
    add("costly/emf-zigzag-2000", [] { return madeOnce("zigzag-2000.emf", [] { return emfOf(zigzag(86, 2000), 1); }); });
    add("costly/emf-zigzag-32000", [] { return madeOnce("zigzag-32000.emf", [] { return emfOf(zigzag(86, 32000), 1); }); });
    add("costly/emf-clip-path-1000", [] {
        return madeOnce("clip-paths.emf", [] {
            QByteArray records = simple(59) + zigzag(89, 32000) + simple(60); // BEGINPATH, POLYLINETO16, ENDPATH
            for (int i = 0; i < 1000; ++i)
                records += simple(67, {1}); // SELECTCLIPPATH
            return emfOf(records, 1003);
        });
    });
    add("costly/emf-embedded-progressive-jpeg", [] {
        return madeOnce("embedded-jpeg.emf", [] { return emfOf(embedded(progressiveJpeg(4000, 4000), 4, 4000, 4000), 1); });
    });
    add("costly/emf-embedded-text-png", [] {
        return madeOnce("embedded-png.emf", [] { return emfOf(embedded(textPng(20), 5, 1, 1), 1); });
    });
    add("costly/emf-text-a-million-accents", [] {
        return madeOnce("accents.emf", [] { return emfOf(text(u'a' + QString(1000000, QChar(0x0301))), 1); });
    });
    add("costly/emf-100-texts-of-100000-letters", [] {
        return madeOnce("letters.emf", [] {
            const QByteArray one = text(QString(100000, u'w'));
            QByteArray records;
            for (int i = 0; i < 100; ++i)
                records += one;
            return emfOf(records, 100);
        });
    });
    add("costly/wmf-zigzag-10000", [] { return madeOnce("zigzag.wmf", [] { return wmfZigzag(10000); }); });

    // 16384 x 7000: the longest side, and the pixels of a DVD case cover at 1200 dpi.
    add("largest/jpeg", [] { return largest("largest.jpg", 16384, 7000, "jpeg"); });
    add("largest/png", [] { return largest("largest.png", 16384, 7000, "png"); });
    add("largest/rle-bmp", [] { return madeOnce("runs.bmp", [] { return runLengthBmp(10000, 10000); }); });
}

} // namespace

// bench_picture_loading.cpp
void registerLoadingBenchmarks();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the helper is found beside this program
    registerAll();
    registerLoadingBenchmarks();
    benchmark::Initialize(&argc, argv);
    return benchrun::runChosenBenchmarks();
}
