// Every writer of user data in a process of its own (the save probe), with the file size
// limited as on a full disk: the save reports the failure, the old file keeps its bytes and
// nothing is left behind, neither beside the file nor in the temporary folder.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr rlim_t kFileSizeLimit = 2048;

struct ProbeRun {
    int exitCode = -1;
    QString output;
};

struct Writer {
    QString name;
    QString target;     // relative to the program folder
    QStringList args;   // after the writer's name
};

class FullDisk : public testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(path("data"));
        QDir().mkpath(path("pictures"));
        QDir().mkpath(path("tmp"));
        const QDir resources(QStringLiteral(PELMORA_SOURCE_DIR "/resources/data"));
        for (const QString &f : resources.entryList(QDir::Files))
            QFile::copy(resources.filePath(f), path("data/" + f));
        // What a download fetches: more than the limit allows.
        writeFile("source.bin", QByteArray(8192, 'd'));
    }

    QString path(const QString &relative) const { return home.path() + u'/' + relative; }

    void writeFile(const QString &relative, const QByteArray &bytes) const
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readFile(const QString &relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // The options file, a cover-format table, every picture format and a download.
    std::vector<Writer> writers() const
    {
        std::vector<Writer> w = {
            {"options", "data/pelmora.dat", {path("data/pelmora.dat")}},
            {"coverformats", "data/CD.dat", {"0"}},
            {"download", "pictures/fetched.bin", {path("pictures/fetched.bin"), QUrl::fromLocalFile(path("source.bin")).toString()}},
        };
        for (int type = 1; type <= 10; ++type) {
            const QString target = QStringLiteral("pictures/picture%1.pic").arg(type);
            w.push_back({"picture", target, {path(target), QString::number(type)}});
        }
        return w;
    }

    ProbeRun runProbe(const Writer &writer, bool limited) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELMORA_HOME", home.path());
        env.insert("TMPDIR", path("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        if (limited) {
            // Runs in the child between fork and exec: a write past the limit then fails
            // with EFBIG, as one on a full disk fails with ENOSPC.
            p.setChildProcessModifier([] {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{kFileSizeLimit, kFileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        p.start(QStringLiteral(PELMORA_SAVE_PROBE), QStringList{writer.name} + writer.args);
        ProbeRun r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            r.output = "<hung>";
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
        return r;
    }

    QStringList leftovers(const QString &folder) const
    {
        return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir home;
};

} // namespace

TEST_F(FullDisk, EveryWriterReportsTheFailureAndKeepsTheOldFile)
{
    const QStringList dataBefore = leftovers("data");
    for (const Writer &w : writers()) {
        SCOPED_TRACE((w.name + u' ' + w.target).toStdString());
        if (!QFile::exists(path(w.target)))
            writeFile(w.target, "old bytes of " + w.target.toUtf8());
        const QByteArray before = readFile(w.target);
        ASSERT_LT(before.size(), qsizetype(kFileSizeLimit));

        const ProbeRun full = runProbe(w, true);
        EXPECT_EQ(full.exitCode, 1) << full.output.toStdString();
        EXPECT_FALSE(full.output.isEmpty());
        // The metafile writers fail already on their scratch file, with their own words.
        if (!(w.name == "picture" && (w.args[1] == "7" || w.args[1] == "8"))) {
            EXPECT_TRUE(full.output.contains(QString::fromLocal8Bit(strerror(EFBIG)))) << full.output.toStdString();
        }
        EXPECT_EQ(readFile(w.target), before);
        EXPECT_EQ(leftovers("tmp"), QStringList());

        // With room, the same save replaces the file with more than the limit allowed.
        const ProbeRun room = runProbe(w, false);
        EXPECT_EQ(room.exitCode, 0) << room.output.toStdString();
        EXPECT_GT(readFile(w.target).size(), qsizetype(kFileSizeLimit));
        EXPECT_EQ(leftovers("tmp"), QStringList());
    }
    EXPECT_EQ(leftovers("data"), dataBefore);
    QStringList pictures = leftovers("pictures");
    pictures.sort();
    QStringList expected = {"fetched.bin"};
    for (int type = 1; type <= 10; ++type)
        expected << QStringLiteral("picture%1.pic").arg(type);
    expected.sort();
    EXPECT_EQ(pictures, expected);
}

TEST_F(FullDisk, ReadOnlyFileStaysReadOnlyEvenForRoot)
{
    for (const Writer &w : writers()) {
        SCOPED_TRACE((w.name + u' ' + w.target).toStdString());
        if (!QFile::exists(path(w.target)))
            writeFile(w.target, "old bytes of " + w.target.toUtf8());
        ASSERT_EQ(chmod(QFile::encodeName(path(w.target)).constData(), 0444), 0);
        const QByteArray before = readFile(w.target);

        const ProbeRun r = runProbe(w, false);
        EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
        EXPECT_EQ(readFile(w.target), before);
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(path(w.target)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0444u);
    }
    EXPECT_EQ(leftovers("tmp"), QStringList());
}
