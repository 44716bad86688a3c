// Scripted scanner helpers that die, answer nothing, answer short or garbage, or stall: each
// call ends in an error within its time limit, the helper is ended, and the GUI thread keeps
// handling its events meanwhile.
#include "platform/scan/ScannerProcess.h"
#include "platform/scan/ScannerProtocol.h"
#include "platform/scan/TwainObject.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

namespace {

using platform::scanproto::operator<<;
using platform::ScanStatus::Good;
using platform::ScanStatus::IoError;

// One framed answer of the helper.
template <class Write>
QByteArray answer(Write &&write)
{
    QByteArray payload;
    QDataStream s(&payload, QIODevice::WriteOnly);
    platform::scanproto::prepare(s);
    write(s);
    const quint32 size = quint32(payload.size());
    return QByteArray(reinterpret_cast<const char *>(&size), sizeof size) + payload;
}
QByteArray status(qint32 st) { return answer([st](QDataStream &s) { s << st; }); }
QByteArray raw(const QByteArray &payload) { return answer([&](QDataStream &s) { s.writeRawData(payload.constData(), int(payload.size())); }); }

class ScannerHelper : public testsupport::ProgramTest {
protected:
    // A helper that, once asked, sends these answers whatever it is asked, then stalls, or
    // ends. It waits for the first request: one that answered and ended before the request
    // was sent would fail that send, and so the whole session, by the scheduler's whim.
    QString helper(const QByteArray &answers, bool thenEnd = false)
    {
        const QString name = QStringLiteral("helper%1").arg(++helpers);
        writeFile(name + ".bin", answers);
        writeFile(name, "#!/bin/sh\nhead -c 1 >/dev/null\ncat '" + path(name + ".bin").toUtf8() + "'\n"
                            + (thenEnd ? "exit 0\n" : "exec sleep 30\n"));
        QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path(name);
    }
    std::unique_ptr<platform::Scanner> scanner(const QString &helperPath, int callMs = 1000)
    {
        return platform::makeProcessScanner(helperPath, {callMs, 300, 200});
    }

    int helpers = 0;
};

TEST_F(ScannerHelper, BrokenAnswersEndTheHelperWithAnErrorWhileTheWindowKeepsPainting)
{
    const struct { const char *what; QByteArray answers; bool thenEnd; bool slow; } cases[] = {
        {"dies", status(Good), true, false},
        {"sends nothing", status(Good), false, true},
        {"short", status(Good) + raw(QByteArray(2, '\0')), false, false},
        {"garbage", status(Good) + raw("abc"), false, false},
        {"bad status", status(Good) + answer([](QDataStream &s) { s << qint32(77) << quint32(0); }), false, false},
        {"device count beyond the answer",
         status(Good) + answer([](QDataStream &s) { s << qint32(Good) << quint32(0x7fffffff); }), false, false},
        {"a name longer than the answer",
         status(Good) + answer([](QDataStream &s) { s << qint32(Good) << quint32(1) << quint32(0x7ffffff0); }), false,
         false},
        {"trailing bytes", status(Good) + answer([](QDataStream &s) { s << qint32(Good) << quint32(0) << qint8(1); }),
         false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto s = scanner(helper(c.answers, c.thenEnd));
        ASSERT_EQ(s->beginSession(), Good);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        QElapsedTimer clock;
        clock.start();
        QList<platform::ScanDevice> list{{"x", "", "", ""}};
        EXPECT_EQ(s->devices(list), IoError);
        EXPECT_TRUE(list.isEmpty());
        EXPECT_LT(clock.elapsed(), 3000);
        if (c.slow) {
            EXPECT_GE(ticks, 10) << "the GUI thread handled its events while it waited";
            EXPECT_EQ(waits->shown.size(), 1u) << "a wait window offered a Cancel";
            waits->shown.clear();
        }
        // The helper is gone: the next call fails at once.
        clock.restart();
        EXPECT_EQ(s->devices(list), IoError);
        EXPECT_LT(clock.elapsed(), 500);
        s->endSession();
        EXPECT_EQ(waits->open, 0);
    }
}

// A helper that does not end when the session does is ended after its time, and whatever it
// started with it; the windows are painted while the program waits for it.
TEST_F(ScannerHelper, TheEndOfASessionPaintsWhileItWaitsAndEndsWhatTheHelperStarted)
{
    const QString left = path(QStringLiteral("pelmora-left"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), left));
    QFile::setPermissions(left, QFile::ReadOwner | QFile::ExeOwner);
    writeFile(QStringLiteral("answers.bin"), status(Good) + status(Good)); // the session begins and ends
    writeFile(QStringLiteral("stubborn"), "#!/bin/sh\n'" + left.toUtf8() + "' 31 &\nhead -c 1 >/dev/null\ncat '" +
                                              path(QStringLiteral("answers.bin")).toUtf8() + "'\nexec sleep 30\n");
    QFile::setPermissions(path(QStringLiteral("stubborn")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto s = scanner(path(QStringLiteral("stubborn")));
    ASSERT_EQ(s->beginSession(), Good);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    s->endSession();
    EXPECT_GE(ticks, 5) << "the GUI thread handled its events while the helper was given time to end";
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
                if (QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
                    comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "pelmora-left")
                    return false;
            return true;
        },
        3000));
}

TEST_F(ScannerHelper, CancelInTheWaitWindowGivesUpAStalledCall)
{
    waits->cancelWhen = [](qint64, qint64) { return true; };
    auto s = scanner(helper(status(Good)), 20 * 1000);
    ASSERT_EQ(s->beginSession(), Good);
    QElapsedTimer clock;
    clock.start();
    QList<platform::ScanDevice> list;
    EXPECT_EQ(s->devices(list), platform::ScanStatus::Cancelled);
    EXPECT_LT(clock.elapsed(), 3000);
    s->endSession();
}

// A garbage answer to a read is an error of the scan, not an endless run of empty reads.
TEST_F(ScannerHelper, AGarbageReadAnswerEndsTheScanWithAnError)
{
    platform::ScanParameters p;
    p.frame = platform::ScanParameters::Frame::Gray;
    p.bytesPerLine = p.pixelsPerLine = 10;
    p.lines = 10;
    const QByteArray answers = status(Good)
        + answer([](QDataStream &s) {
              s << qint32(Good);
              platform::scanproto::writeDevices(s, {{"t:0", "v", "m", "flatbed scanner"}});
          })
        + answer([](QDataStream &s) { s << qint32(Good) << qint32(1); })         // open
        + status(Good)                                                             // start
        + answer([&](QDataStream &s) { s << qint32(Good) << p; })                // parameters
        + raw("abc");                                                              // read
    platform::Seam<platform::Scanner>::install(scanner(helper(answers)));
    platform::TwainObject twain;
    QSignalSpy errors(&twain, &platform::TwainObject::TwainError);
    ASSERT_TRUE(twain.openSource(nullptr));
    QElapsedTimer clock;
    clock.start();
    twain.acquire(0, nullptr);
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toInt(), IoError);
    twain.closeSource();
}

// The real helper keeps its socket from the programs its backends start: were it inherited,
// such a program would hold the socket open after the helper had gone.
TEST_F(ScannerHelper, TheRealHelpersSocketIsCloseOnExec)
{
    const QString real = platform::scannerHelperPath();
    ASSERT_FALSE(real.isEmpty());
    auto s = platform::makeProcessScanner(real);
    ASSERT_EQ(s->beginSession(), Good);
    int sockets = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2 || fields[1].toLongLong() != QCoreApplication::applicationPid())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            char target[256] = {};
            const ssize_t n = readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
            if (n <= 0 || !QByteArray(target, int(n)).startsWith("socket:"))
                continue;
            QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid, fd));
            ASSERT_TRUE(info.open(QIODevice::ReadOnly));
            for (const QByteArray &l : info.readAll().split('\n'))
                if (l.startsWith("flags:")) {
                    ++sockets;
                    EXPECT_NE(l.mid(6).trimmed().toLongLong(nullptr, 8) & O_CLOEXEC, 0) << "fd " << fd.toStdString();
                }
        }
    }
    EXPECT_GE(sockets, 1) << "the helper holds its socket";
    s->endSession();
}

} // namespace
