// The installed program: `cmake --install` into a prefix of the test's own, then the installed
// binary started with a fresh user data folder.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

int run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(Install, InstalledProgramSeedsTheUserFolderAndStartsQuietly)
{
    QTemporaryDir dir;
    const QString prefix = dir.path() + "/prefix";
    QString output;
    ASSERT_EQ(run(QStringLiteral(PELMORA_CMAKE_COMMAND), {"--install", PELMORA_BINARY_DIR, "--prefix", prefix}, &output), 0)
        << output.toStdString();

    for (const char *file : {"bin/pelmora", "bin/pelmora-scanner", "bin/pelmora-decoder", "lib/pelmora/pelmora-webengine.so", "lib/pelmora/pelmora-magick.so", "lib/pelmora/pelmora-print.so", "lib/pelmora/pelmora-net.so",
                             "share/pelmora/data/pelmora.dat",
                             "share/pelmora/language/English.dll", "share/pelmora/language/Deutsch.dll",
                             "share/pelmora/help/English.html", "share/applications/pelmora.desktop",
                             "share/icons/hicolor/scalable/apps/pelmora.svg",
                             "share/icons/hicolor/256x256/apps/pelmora.png"})
        EXPECT_TRUE(QFileInfo::exists(prefix + "/" + file)) << file;
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/language"));
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-utils is not installed";
    EXPECT_EQ(run(validator, {prefix + "/share/applications/pelmora.desktop"}, &output), 0) << output.toStdString();

    // An installed share/ is read-only for the user.
    QProcess::execute("chmod", {"-R", "a-w", prefix + "/share/pelmora"});

    const QString dataHome = dir.path() + "/xdg";
    const QString log = dir.path() + "/messages.log";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("PELMORA_HOME");
    env.insert("XDG_DATA_HOME", dataHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PELMORA_MESSAGE_LOG", log);
    p.setProcessEnvironment(env);
    p.start(prefix + "/bin/pelmora", {});
    const bool ended = p.waitForFinished(2500);
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    QProcess::execute("chmod", {"-R", "u+w", prefix});
    QFile messages(log);
    const QString logged = messages.open(QIODevice::ReadOnly) ? QString::fromUtf8(messages.readAll()) : QString();
    EXPECT_FALSE(ended) << "the installed program ended on its own: " << logged.toStdString();
    EXPECT_TRUE(logged.isEmpty()) << logged.toStdString();
    for (const char *file : {"data/pelmora.dat", "data/CD.dat", "language/English.dll", "language/Deutsch.dll",
                             "help/English.html", ".seeded"})
        EXPECT_TRUE(QFileInfo::exists(dataHome + "/pelmora/" + file)) << file;
    EXPECT_TRUE(QFileInfo(dataHome + "/pelmora/language/English.dll").isWritable());
}
