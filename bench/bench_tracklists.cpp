// Track lists: 1000 tagged MP3 files of 10 s to lines of title, artist and play length, the
// entries of a playlist of 100,000 lines, and the tab alignment of 10,000 lines.
//
// --mp3info=PROGRAM adds BM_mp3TrackList1000_mp3info: ours (pelmora_reference_mp3lines) and
// mp3info, each a process over the same files, in alternation (bench/compare-mp3info).
#include "BenchPairs.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "tracklists/Playlists.h"
#include "tracklists/TextLineReader.h"
#include "tracklists/clsID3v1Tag.h"
#include "tracklists/mdlMp3.h"
#include "BenchRun.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kFiles = 1000;

// Copies of four lame-made files (constant and variable bit rate, with and without an Info
// frame, 44.1 and 22.05 kHz), each with a tag of its own.
QStringList writeMp3Files(const QString &folder)
{
    const char *sources[] = {"cbr.mp3", "vbr.mp3", "vbr-noinfo.mp3", "mono22.mp3"};
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const QString target = QStringLiteral("%1/%2 track.mp3").arg(folder).arg(i, 4, 10, QChar(u'0'));
        QFile::remove(target);
        QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/tests/tracklists/data/") + QLatin1String(sources[i % 4]), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        clsID3v1Tag tag;
        tag.setFilename(target);
        tag.setTitle(QStringLiteral("Title number %1").arg(i));
        tag.setArtist(QStringLiteral("Artist %1").arg(i % 37));
        tag.setTrack(std::uint8_t(i % 100));
        if (!tag.WriteTag(1.1f))
            qFatal("cannot tag %s", qPrintable(target));
        paths << target;
    }
    return paths;
}

// One "title artist length" line for each file.
QStringList linesOf(const QStringList &paths)
{
    QStringList lines;
    for (const QString &p : paths)
        lines << getMp3Caption(p, gStrMp3Title, QStringLiteral(" "), gStrMp3Artist, QStringLiteral(" "),
                               gStrMp3Duration, QString());
    return lines;
}

// The lines of the files; false when the last line is not as expected.
bool trackLines(const QStringList &paths)
{
    const QStringList lines = linesOf(paths);
    benchmark::DoNotOptimize(lines);
    return lines.last().endsWith(QStringLiteral("00:10"));
}

void BM_mp3TrackList1000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QStringList paths = writeMp3Files(dir.path());
    for (auto _ : state)
        if (!trackLines(paths))
            state.SkipWithError("unexpected line");
}
BENCHMARK(BM_mp3TrackList1000)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

// Ours beside `mp3info -F -p "%t %a %S\n"` over the same files, in alternation, each as a
// process of its own for all files, started and waited for inside the clock, its lines written
// to the null device: ours is pelmora_reference_mp3lines beside this program, which makes the
// lines as trackLines() does. mp3info's -F scans every frame for the exact length, as we do
// where the file's Info frame does not give it.
double runProcess(const QString &program, const QStringList &arguments, bool &ok)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const auto start = benchpairs::Clock::now();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const double ms = benchpairs::msSince(start);
    ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && ok;
    return ms;
}

// The files of the comparison, written once for all its repetitions and on the disk before
// the first is timed, so that no repetition is timed while the disk writes back the files of
// the one before.
const QStringList &comparedMp3Files()
{
    static QTemporaryDir dir;
    static const QStringList paths = [] {
        const QStringList written = writeMp3Files(dir.path());
        ::sync();
        return written;
    }();
    return paths;
}

void mp3infoBeside(benchmark::State &state, const QString &mp3info)
{
    const QStringList &paths = comparedMp3Files();
    const QString mp3lines = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora_reference_mp3lines");
    // Ours as a process gives the very lines of the track list (outside the clock).
    QProcess check;
    check.start(mp3lines, paths);
    check.waitForFinished(-1);
    const QStringList lines = QString::fromUtf8(check.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    bool ok = lines == linesOf(paths) && lines.last().endsWith(QStringLiteral("00:10"));
    const QStringList arguments =
        QStringList{QStringLiteral("-F"), QStringLiteral("-p"), QStringLiteral("%t %a %S\n")} + paths;
    runProcess(mp3info, arguments, ok); // both sides warm before the first turn
    benchpairs::alternate(state, [&] { return runProcess(mp3lines, paths, ok); },
                          [&] { return runProcess(mp3info, arguments, ok); });
    if (!ok)
        state.SkipWithError("unexpected lines, or a process failed");
}

void BM_playlistEntries100k(benchmark::State &state)
{
    QByteArray bytes = "#EXTM3U\r\n";
    for (int i = 0; i < 100000; ++i)
        bytes += (i % 3 ? "#EXTINF:200,Artist - Title " : "Music\\Folder ") + QByteArray::number(i) +
                 (i % 3 ? "\r\n" : ".mp3\r\n");
    for (auto _ : state) {
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        TextLineReader reader;
        PlaylistEntryFilter filter(QStringLiteral("m3u"));
        QStringList local;
        if (reader.open(&device))
            while (const std::optional<QString> line = reader.next())
                if (const std::optional<QString> entry = filter.entry(*line))
                    local << localPathOfEntry(*entry, QStringLiteral("/home/user/lists"));
        benchmark::DoNotOptimize(local);
    }
}
BENCHMARK(BM_playlistEntries100k)->Unit(benchmark::kMillisecond);

void BM_alignTabColumns10k(benchmark::State &state)
{
    QStringList source;
    for (int i = 0; i < 10000; ++i)
        source << QStringLiteral("Artist %1%2\tTitle number %3").arg(i).arg(QString(i % 17, u'x')).arg(i);
    for (auto _ : state) {
        QStringList lines = source;
        alignTabColumns(lines);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_alignTabColumns10k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--mp3info=", 10) == 0) {
            // Both sides are processes of one thread started from this one: kept to one CPU like
            // the imaging comparisons, they are timed alike whatever else the machine does.
            benchpairs::pinToCpus(1);
            const QString mp3info = QString::fromLocal8Bit(argv[i] + 10);
            benchmark::RegisterBenchmark("BM_mp3TrackList1000_mp3info",
                                         [mp3info](benchmark::State &s) { mp3infoBeside(s, mp3info); })
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(1)
                ->Repetitions(benchpairs::kRepetitions)
                ->DisplayAggregatesOnly(true);
            std::copy(argv + i + 1, argv + argc + 1, argv + i); // not one for Google Benchmark
            --argc;
            break;
        }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("data"));
    setAppPathForTests(home.path());
    benchmark::Initialize(&argc, argv);
    return benchrun::runChosenBenchmarks();
}
