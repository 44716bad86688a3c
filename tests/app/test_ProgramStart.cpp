// The program binary itself, started offscreen on a program folder of the test's own.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ProgramRun {
    int exitCode = -1;
    bool finished = false;
    QString messages;
};

ProgramRun runProgram(const QString &home, int waitMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PELMORA_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PELMORA_MESSAGE_LOG", home + "/messages.log");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PELMORA_EXECUTABLE), {});
    ProgramRun r;
    r.finished = p.waitForFinished(waitMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitCode();
    QFile log(home + "/messages.log");
    if (log.open(QIODevice::ReadOnly))
        r.messages = QString::fromUtf8(log.readAll());
    return r;
}

void copyResources(const QString &home, bool withLanguage)
{
    for (const QString sub : {"data", "language"}) {
        QDir().mkpath(home + "/" + sub);
        if (sub == "language" && !withLanguage)
            continue;
        QDir src(QStringLiteral(PELMORA_SOURCE_DIR "/resources/") + sub);
        for (const QString &f : src.entryList(QDir::Files))
            QFile::copy(src.filePath(f), home + "/" + sub + "/" + f);
    }
}

} // namespace

TEST(ProgramStart, MissingLanguageFileEndsStartUpWithTheInstallError)
{
    QTemporaryDir home;
    copyResources(home.path(), false);
    const ProgramRun r = runProgram(home.path(), 20000);
    ASSERT_TRUE(r.finished);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.messages.startsWith("MSGBOX 16|Fehler / Error|Fehler / Error\r\nERROR\r\n\r\n")) << r.messages.toStdString();
    EXPECT_TRUE(r.messages.contains(" libInitialize.Main")) << r.messages.toStdString();
}

TEST(ProgramStart, StartsLocalisedAndKeepsRunning)
{
    QTemporaryDir home;
    copyResources(home.path(), true);
    const ProgramRun r = runProgram(home.path(), 1500);
    EXPECT_FALSE(r.finished) << "the program ended on its own: " << r.messages.toStdString();
    EXPECT_TRUE(r.messages.isEmpty()) << r.messages.toStdString();
}
