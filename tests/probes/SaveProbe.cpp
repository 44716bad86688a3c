// Runs one of the program's writers once and says how it went: "ok" and exit code 0, or the
// reported error and exit code 1. The full-disk tests start it under a small file-size limit.
//   pelmora-save-probe options <file>              a long option value into an options file
//   pelmora-save-probe coverformats <medium>       the medium's table, many times longer
//   pelmora-save-probe picture <file> <saveType>   a noisy picture in that format
//   pelmora-save-probe download <file> <address>   the address's content
#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/libCoverData.h"
#include "mainwindow/CoverTableFile.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/ini/ProfileFile.h"
#include "platform/net/Download.h"
#include "platform/ui/LoggingPrompter.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>

#include <cstdio>

namespace {

int report(bool ok, const QString &error)
{
    std::fputs(ok ? "ok\n" : qPrintable(error + u'\n'), stdout);
    return ok ? 0 : 1;
}

QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    platform::Seam<platform::Prompter>::install(platform::makeLoggingPrompter(appPath() + "/probe-messages.log"));
    const QString &writer = args[0];
    const QString &target = args[1];

    if (writer == "options") {
        platform::ProfileFile file = platform::ProfileFile::load(target);
        QString error;
        const bool ok = file.setValue("OPTIONS", "STANDARDPATH", QString(6000, u'x')) && file.save(target, &error);
        return report(ok, error);
    }
    if (writer == "coverformats") {
        const int medium = target.toInt();
        const CoverTable table = ReadUserData(coverFileName(medium), false);
        std::vector<CoverRecord> records;
        for (int i = 0; i < 50; ++i)
            records.insert(records.end(), table.records().begin(), table.records().end());
        try {
            writeCoverTable(medium, CoverTable::of(records));
        } catch (const AppError &e) {
            return report(false, e.description());
        }
        return report(true, {});
    }
    if (writer == "picture" && args.size() == 3) {
        const int saveType = args[2].toInt();
        // A two-colour WBMP takes a bit a pixel: it needs the larger picture to be as long.
        const QImage picture = saveType == platform::SaveType::Wbmp ? noise(256, 256) : noise(64, 64);
        const platform::CodecResult r = platform::saveImageFile(target, picture, saveType);
        return report(r.ok, r.message);
    }
    if (writer == "download" && args.size() == 3) {
        const platform::DownloadResult r = platform::Downloader::get().download(args[2], target);
        return report(r.ok, r.description);
    }
    return 2;
}
