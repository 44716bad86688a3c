#include "platform/files/AtomicFile.h"
#include "platform/files/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace {

bool failNextRename = false;

} // namespace

// The system's rename, failing once when a test asks, as it fails when the folder turned
// read-only or the disk went away between writing a file and putting it in place.
extern "C" int rename(const char *from, const char *to) noexcept
{
    if (std::exchange(failNextRename, false)) {
        errno = EROFS;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(const char *, const char *)>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

namespace {

class AtomicFileDisk : public testing::Test {
protected:
    QString file(const QString &name) const { return dir.path() + u'/' + name; }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    mode_t modeOf(const QString &name) const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(file(name)).constData(), &st) == 0 ? st.st_mode : 0;
    }
    QStringList entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    void age(const QString &path, int days) const
    {
        const timespec then{::time(nullptr) - days * 24 * 60 * 60, 0};
        const timespec times[2] = {then, then};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(AtomicFileDisk, ReplacesTheWholeFileKeepingItsRightsAndLinks)
{
    write("kept.dat", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(file("kept.dat")).constData(), 0640), 0);
    ASSERT_TRUE(platform::writeFileAtomically(file("kept.dat"), "new"));
    EXPECT_EQ(read("kept.dat"), "new");
    EXPECT_EQ(modeOf("kept.dat") & 07777, 0640u);

    // Saving through a link replaces the file it points to; the link stays a link.
    ASSERT_TRUE(QFile::link(file("kept.dat"), file("link.dat")));
    ASSERT_TRUE(platform::writeFileAtomically(file("link.dat"), "through the link"));
    EXPECT_TRUE(S_ISLNK(modeOf("link.dat")));
    EXPECT_EQ(read("kept.dat"), "through the link");

    // A name as long as a file name may be still gets its temporary file beside it.
    const QString longName = QString(250, u'n');
    EXPECT_TRUE(platform::writeFileAtomically(file(longName), "long"));
    EXPECT_EQ(read(longName), "long");

    // Written in parts, nothing is there before commit(); cancel() leaves the old file.
    {
        platform::AtomicFile f(file("kept.dat"));
        ASSERT_TRUE(f.open());
        EXPECT_TRUE(f.write("par") && f.write(QByteArray("ts")));
        EXPECT_EQ(read("kept.dat"), "through the link");
        EXPECT_EQ(f.written(), 5);
    }
    EXPECT_EQ(read("kept.dat"), "through the link");

    // Failures say why and leave nothing behind.
    QString why;
    EXPECT_FALSE(platform::writeFileAtomically(file("missing/x.dat"), "x", &why));
    EXPECT_TRUE(why.contains(QString::fromLocal8Bit(strerror(ENOENT)))) << why.toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(platform::writeFileAtomically(file("folder"), "x", &why));
    EXPECT_TRUE(why.contains("not a file")) << why.toStdString();
    failNextRename = true;
    EXPECT_FALSE(platform::writeFileAtomically(file("kept.dat"), "lost", &why));
    EXPECT_TRUE(why.contains(QString::fromLocal8Bit(strerror(EROFS)))) << why.toStdString();
    EXPECT_EQ(read("kept.dat"), "through the link");
    EXPECT_EQ(entries(dir.path()), (QStringList{"folder", "kept.dat", "link.dat", longName}));
}

TEST_F(AtomicFileDisk, StaleTemporariesOfOursAreRemovedAndNothingElse)
{
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(file("tmp")));
    QDir(dir.path()).mkpath("tmp");
    QDir(dir.path()).mkpath("saves");
    const QString saves = file("saves");
    const QString stale = platform::AtomicFile::temporaryPrefix() + "cover.png.abc";
    const QString fresh = platform::AtomicFile::temporaryPrefix() + "cover.png.def";
    write("saves/" + stale, "cut");
    write("saves/" + fresh, "being written");
    write("saves/cover.png", "the user's");
    age(saves + u'/' + stale, 2);
    age(saves + "/cover.png", 2);

    // A scratch folder of a killed run, with what it held; one of a run still going; one of
    // another program.
    const QString scratch = QFileInfo(platform::scratchFolderTemplate(platform::ScratchKind::Metafile)).fileName().replace("XXXXXX", "aaaaaa");
    const QString download = QFileInfo(platform::scratchFolderTemplate(platform::ScratchKind::Download)).fileName().replace("XXXXXX", "bbbbbb");
    QDir(dir.path()).mkpath("tmp/" + scratch);
    QDir(dir.path()).mkpath("tmp/" + download);
    QDir(dir.path()).mkpath("tmp/other-program");
    write("tmp/" + scratch + "/picture.wmf", "scratch");
    age(file("tmp/" + scratch), 2);
    age(file("tmp/other-program"), 2);

    EXPECT_EQ(platform::removeStaleTemporaries({saves, saves, QString(), file("nowhere")}), 2);
    EXPECT_EQ(entries(saves), (QStringList{fresh, "cover.png"}));
    EXPECT_EQ(entries(file("tmp")), (QStringList{"other-program", download}));
    qputenv("TMPDIR", oldTmp);
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
}
