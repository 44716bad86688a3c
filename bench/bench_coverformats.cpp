// The image folder browser's heavy work: listing a folder of many pictures up to the first
// screen of the list, and the preview of a large photo decoded at preview size.
#include "coverformats/PreviewPicture.h"
#include "platform/Rounding.h"

#include <QFile>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

// A folder of n pictures (empty files: listing does not open them), with a few other files.
const QString &folderOf(int n)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto &dir = folders[n];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < n; ++i) {
            const char *ext[] = {"jpg", "JPG", "gif", "bmp"};
            QFile f(dir->filePath(QStringLiteral("photo %1.%2").arg(i, 5, 10, QLatin1Char('0')).arg(QLatin1String(ext[i % 4]))));
            f.open(QIODevice::WriteOnly);
        }
        for (int i = 0; i < n / 10; ++i) {
            QFile f(dir->filePath(QStringLiteral("notes %1.txt").arg(i)));
            f.open(QIODevice::WriteOnly);
        }
    }
    static QString path;
    path = dir->path();
    return path;
}

void BM_ListFolderToFirstScreen(benchmark::State &state)
{
    const QString folder = folderOf(int(state.range(0)));
    for (auto _ : state) {
        QListWidget list;
        list.setUniformItemSizes(true);
        list.resize(337, 149);
        list.addItems(imageFilesOf(folder));
        list.setCurrentRow(0);
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_ListFolderToFirstScreen)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_PreviewOfA6000By4000Jpeg(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        QPainter p(&photo);
        QLinearGradient g(0, 0, 6000, 4000);
        g.setColorAt(0, QColor(20, 60, 160));
        g.setColorAt(1, QColor(240, 180, 60));
        p.fillRect(photo.rect(), g);
        for (int i = 0; i < 400; ++i)
            p.fillRect((i * 7919) % 6000, (i * 104729) % 4000, 120, 80, QColor::fromHsv((i * 37) % 360, 200, 220));
        p.end();
        photo.save(path, "JPEG", 90);
    }
    const auto targetFor = [](QSize picture) {
        const QSizeF twips = previewSizeTwips(picture);
        return QSize(roundToInt(twips.width() / 15), roundToInt(twips.height() / 15));
    };
    for (auto _ : state) {
        QImage out;
        QSize original;
        if (!loadPreviewPicture(path, targetFor, out, original))
            state.SkipWithError("the photo could not be decoded");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_PreviewOfA6000By4000Jpeg)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
