// What reading a photo through the picture reader costs beside reading it in the program with
// Qt's reader: JPEGs and PNGs of 2, 12 and 24 megapixels, each loaded through a helper that was
// started ahead (as a user clicks through a folder, a moment apart) and through one started for
// the load (the first load of a session), in turns with QImageReader reading the same file in
// this process into the same format. Both sides end when every page of the pixels has been
// touched, as the program does when it shows the picture.
//
// The bound of each row is checked on the median of the ratios of single turns: turns are taken
// in batches until the medians of two batches in a row agree within a tenth, and the row shows
// the spread of its ratios. Bounds: with a helper ready, 1.15 times Qt's reader; with a fresh
// one 1.5 times (2 times for 2 megapixels, where the helper's start weighs most).
#include "platform/imaging/PictureReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kBatch = 25;
constexpr int kMaxBatches = 6;
constexpr double kAgreement = 0.10;

const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

// A picture with the detail of a photo: smooth shapes, edges and a little noise, so that it
// compresses as photos do (about 2-3 bits a pixel as a JPEG of quality 90, 2-3 bytes as a PNG).
QImage photoLike(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    QRandomGenerator noise(42);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double fy = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width;
            const int n = int(noise.bounded(12)) - 6;
            const int r = int(128 + 90 * std::sin(fx * 9 + fy * 3)) + n;
            const int g = int(128 + 80 * std::cos(fy * 7 - fx * 2)) + n;
            const int b = ((x / 97 + y / 61) % 2 ? 60 : 190) + n;
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return img;
}

QString photo(int megapixels, const char *format)
{
    const QString path = scratch().filePath(QStringLiteral("photo-%1.%2").arg(megapixels).arg(QLatin1String(format)));
    if (!QFile::exists(path)) {
        // 3:2, as cameras take them.
        const int height = int(std::lround(std::sqrt(megapixels * 1e6 / 1.5)));
        QImageWriter writer(path, format);
        writer.setQuality(90);
        writer.write(photoLike(height * 3 / 2, height));
    }
    return path;
}

// Every page of the pixels is read, as drawing the picture does.
void touch(const QImage &img)
{
    const uchar *bits = img.constBits();
    volatile uchar sum = 0;
    for (qsizetype i = 0; i < img.sizeInBytes(); i += 4096)
        sum = sum + bits[i];
}

double timedMs(const std::function<bool()> &load)
{
    QElapsedTimer t;
    t.start();
    const bool ok = load();
    return ok ? double(t.nsecsElapsed()) / 1e6 : std::nan("");
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? std::nan("") : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void BM_LoadPhoto(benchmark::State &state, int megapixels, const char *format, bool spare, double bound)
{
    const QString path = photo(megapixels, format);
    std::vector<double> ours, theirs, ratios;
    double previous = std::nan("");
    int batches = 0;
    for (auto _ : state) {
        for (; batches < kMaxBatches; ++batches) {
            std::vector<double> batch;
            for (int i = 0; i < kBatch; ++i) {
                // Each side starts from the same rest: the helper started after the last load is
                // ready by then, or ended (and gone) for a fresh one.
                if (!spare)
                    platform::endSparePictureReader();
                usleep(150 * 1000);
                const double o = timedMs([&] {
                    QImage img;
                    const bool ok = platform::loadImageFile(path, img).ok;
                    touch(img);
                    return ok;
                });
                usleep(150 * 1000);
                const double t = timedMs([&] {
                    QImageReader reader(path);
                    reader.setAllocationLimit(0);
                    QImage img = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
                    touch(img);
                    return !img.isNull();
                });
                if (std::isnan(o) || std::isnan(t)) {
                    state.SkipWithError("a load failed");
                    return;
                }
                ours.push_back(o);
                theirs.push_back(t);
                ratios.push_back(o / t);
                batch.push_back(o / t);
            }
            const double m = median(batch);
            if (!std::isnan(previous) && std::abs(m - previous) <= kAgreement * std::max(m, previous)) {
                ++batches;
                break;
            }
            previous = m;
        }
    }
    const double ratio = median(ratios);
    state.counters["ours_ms"] = median(ours);
    state.counters["theirs_ms"] = median(theirs);
    state.counters["ratio"] = ratio;
    state.counters["spread"] = (*std::max_element(ratios.begin(), ratios.end()) -
                                *std::min_element(ratios.begin(), ratios.end())) / ratio;
    state.counters["loads"] = double(ours.size());
    if (ratio > bound)
        state.SkipWithError(QStringLiteral("%1 times Qt's reader in the program (%2 against %3 ms), more than %4")
                                .arg(ratio, 0, 'f', 2)
                                .arg(median(ours), 0, 'f', 1)
                                .arg(median(theirs), 0, 'f', 1)
                                .arg(bound)
                                .toStdString()
                                .c_str());
}

} // namespace

void registerLoadingBenchmarks()
{
    for (const char *format : {"jpg", "png"})
        for (const int mp : {2, 12, 24})
            for (const bool spare : {true, false}) {
                const double bound = spare ? 1.15 : mp == 2 ? 2.0 : 1.5;
                const std::string name = std::string("BM_LoadPhoto/") + format + "/" + std::to_string(mp) + "MP/" +
                                         (spare ? "ready" : "fresh");
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &s) {
                    BM_LoadPhoto(s, mp, format, spare, bound);
                })->Iterations(1)->Unit(benchmark::kMillisecond);
            }
}
