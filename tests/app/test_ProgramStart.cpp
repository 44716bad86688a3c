// The program binary itself, started offscreen or on an X display of its own, on a program
// folder of the test's own.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

namespace {

struct ProgramRun {
    int exitCode = -1;
    bool finished = false;
    bool seen = false;
    QString messages;
};

// Runs the program offscreen, or on an X display, until it ends or seen() holds (asked every
// 200 ms), at most waitMs; then ends it.
ProgramRun runProgram(const QString &home, int waitMs, const QString &display = {},
                      const std::function<bool()> &seen = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PELMORA_HOME", home);
    env.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
    env.insert("DISPLAY", display);
    env.insert("PELMORA_MESSAGE_LOG", home + "/messages.log");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PELMORA_EXECUTABLE), {});
    ProgramRun r;
    for (int waited = 0; waited < waitMs && !r.finished && !r.seen; waited += 200) {
        r.finished = p.waitForFinished(200);
        if (!r.finished && seen)
            r.seen = seen();
    }
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

// The program folder as shipped, and the same with German chosen: the main window shows its
// caption in the language of the options file, and the program keeps running without a message.
TEST(ProgramStart, StartsLocalisedAndKeepsRunning)
{
    const struct {
        const char *language; // written into the options file; nullptr leaves it as shipped
        QByteArray caption;   // the start of the main window's caption
    } runs[] = {
        {nullptr, "Pelmora - covers for your media"},
        {"Deutsch.dll", "Pelmora - Cover f"},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.language ? run.language : "as shipped");
        QTemporaryDir home;
        copyResources(home.path(), true);
        if (run.language) {
            QFile options(home.path() + "/data/pelmora.dat");
            ASSERT_TRUE(options.open(QIODevice::ReadOnly));
            const QByteArray changed =
                options.readAll().replace("LANGUAGE=English.dll", QByteArray("LANGUAGE=") + run.language);
            options.close();
            ASSERT_TRUE(options.open(QIODevice::WriteOnly | QIODevice::Truncate) && options.write(changed) > 0);
            options.close();
        }

        // A display of its own, where the windows the program shows can be read back.
        QProcess xvfb;
        xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        ASSERT_TRUE(xvfb.waitForReadyRead(20000)) << "Xvfb (scripts/install-deps installs it) did not start";
        const QString display = u':' + QString::fromLatin1(xvfb.readAllStandardOutput()).trimmed();
        const ProgramRun r = runProgram(home.path(), 30000, display, [&] {
            QProcess windows;
            windows.start("xwininfo", {"-display", display, "-root", "-tree"});
            windows.waitForFinished(5000);
            return windows.readAllStandardOutput().contains(run.caption);
        });
        xvfb.terminate();
        xvfb.waitForFinished(5000);
        EXPECT_TRUE(r.seen) << "no main window with the caption " << run.caption.toStdString();
        EXPECT_FALSE(r.finished) << "the program ended on its own: " << r.messages.toStdString();
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.toStdString();
    }
}
