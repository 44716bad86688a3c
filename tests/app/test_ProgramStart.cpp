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

// Runs the program offscreen, or on an X display, until it ends or seen(its process id) holds
// (asked every 200 ms), at most waitMs; then ends it.
ProgramRun runProgram(const QString &home, int waitMs, const QString &display = {},
                      const std::function<bool(qint64)> &seen = {})
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
            r.seen = seen(p.processId());
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

// The files of the libraries a process has loaded.
QStringList loadedLibraries(qint64 pid)
{
    QStringList found;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString file = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (line.contains('/') && file.contains(QLatin1String(".so")) && !found.contains(file))
            found << file;
    }
    return found;
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
// Up to its window it has loaded none of what only the web browser needs (the web engine, Qt
// Quick, OpenGL drivers), no image-format plugin and not SANE, whose backends run in the
// scanner's helper.
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
        QStringList libraries;
        const ProgramRun r = runProgram(home.path(), 30000, display, [&](qint64 pid) {
            QProcess windows;
            windows.start("xwininfo", {"-display", display, "-root", "-tree"});
            windows.waitForFinished(5000);
            libraries = loadedLibraries(pid);
            return windows.readAllStandardOutput().contains(run.caption);
        });
        xvfb.terminate();
        xvfb.waitForFinished(5000);
        EXPECT_TRUE(r.seen) << "no main window with the caption " << run.caption.toStdString();
        EXPECT_FALSE(r.finished) << "the program ended on its own: " << r.messages.toStdString();
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.toStdString();
        ASSERT_FALSE(libraries.filter(QStringLiteral("/libQt6Widgets.so")).isEmpty()) << libraries.join(' ').toStdString();
        // Neither the web engine and its OpenGL stack, nor ImageMagick (the picture reader's and the
        // writer module's library), nor Qt's printing or network layer is loaded up to the main
        // window.
        for (const char *unneeded : {"libQt6WebEngine", "libQt6Quick", "libQt6Qml", "_dri.so", "libLLVM", "libGLX_mesa",
                                     "libMagick", "libQt6PrintSupport", "libQt6Network", "libsane"})
            EXPECT_TRUE(libraries.filter(QLatin1String(unneeded)).isEmpty())
                << unneeded << " in " << libraries.join(' ').toStdString();
        EXPECT_TRUE(libraries.filter(QStringLiteral("/imageformats/")).isEmpty()) << libraries.join(' ').toStdString();
    }
}
