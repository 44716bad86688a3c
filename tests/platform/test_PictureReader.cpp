// The picture reader's helper and how it ends: a helper that spends its CPU time, sleeps past
// the deadline, runs out of memory, crashes, ends without an answer or answers wrong is what
// the load says, and the next load works; a helper that is missing or broken is told apart
// from a picture; a decoder taken over by its file reaches nothing but its own picture. The
// helper here is the test double that misbehaves on purpose by the picture's name.
#include "platform/imaging/ImgxImage.h"
#include "platform/imaging/PictureReader.h"
#include "platform/imaging/PictureReaderProtocol.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace platform;

namespace {

class PictureReaderTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // Short limits, so that the helpers that misbehave end soon.
        reader_.emplace(256LL * 1024 * 1024);
    }
    void TearDown() override
    {
        reader_.reset();
        ProgramTest::TearDown();
    }
    // A 40 x 30 PNG of one colour under the given name.
    QString picture(const QString &name, QRgb colour = qRgb(200, 30, 40)) const
    {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(colour);
        const QString file = path(name);
        QImageWriter(file, "png").write(img);
        return file;
    }
    // An EMF of 100 x 100 pixels with a text in black, drawn with the system's fonts.
    QString textMetafile(const QString &name) const
    {
        QByteArray b;
        const auto put32 = [&b](quint32 v) { b.append(reinterpret_cast<const char *>(&v), 4); };
        const auto put16 = [&b](quint16 v) { b.append(reinterpret_cast<const char *>(&v), 2); };
        const QString text = QStringLiteral("WWWWWWWW");
        const quint32 chars = quint32(text.size()), stringBytes = (2 * chars + 3) / 4 * 4;
        const quint32 textBytes = 76 + stringBytes + 4 * chars;
        for (const quint32 v : {1u, 88u, 0u, 0u, 99u, 99u, 0u, 0u, 2645u, 2645u, 0x464D4520u, 0x10000u,
                                88 + textBytes + 20, 3u, 1u, 0u, 0u, 0u, 960u, 960u, 254u, 254u})
            put32(v);
        for (const quint32 v : {84u, textBytes, 0u, 0u, 99u, 99u, 1u, 0x3F800000u, 0x3F800000u, 5u, 40u, chars, 76u, 0u,
                                0u, 0u, 99u, 99u, 76 + stringBytes})
            put32(v);
        for (const QChar c : text)
            put16(c.unicode());
        b.resize(88 + 76 + qsizetype(stringBytes), '\0');
        for (quint32 i = 0; i < chars; ++i)
            put32(11);
        for (const quint32 v : {14u, 20u, 0u, 16u, 20u})
            put32(v);
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(b);
        return f.fileName();
    }

private:
    std::optional<testsupport::MisbehavingPictureReader> reader_;
};

// A process of that name is running.
bool processNamed(const char *name)
{
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        if (QFile comm(QStringLiteral("/proc/%1/comm").arg(pid)); comm.open(QIODevice::ReadOnly) &&
                                                                   comm.readAll().trimmed() == name)
            return true;
    return false;
}

// The state letter of a process (R, S, T, Z, ...), or 0 when it is gone.
char processState(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
}

// The helper of this process that waits for the next load, or -1.
pid_t waitingHelper()
{
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "S" && fields[1].toInt() == getpid() &&
            line.contains("(pelmora-decode"))
            return entry.toInt();
    }
    return -1;
}

// What a program says when it runs with a terminal of its own: its own session, the
// terminal's slave as its standard input, output and error and as its controlling terminal.
QByteArray inTerminal(const QStringList &command)
{
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::vector<QByteArray> args;
        for (const QString &a : command)
            args.push_back(QFile::encodeName(a));
        std::vector<char *> argv;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    QByteArray said;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        said.append(buffer, n);
    }
    ::close(master);
    waitpid(pid, nullptr, 0);
    return said;
}

} // namespace

TEST_F(PictureReaderTest, EachWayAHelperAnswersOrEndsIsWhatTheLoadSays)
{
    // The helper misbehaves as the picture's name says; every check the program makes of what a
    // helper returns has its row.
    const struct {
        const char *name;
        int error;
        const char *says = "";
    } endings[] = {
        {"spin.png", CodecError::TooSlow},          // past its CPU time
        {"hang.png", CodecError::TooSlow},          // past the deadline, without spending CPU time
        {"stubborn.png", CodecError::TooSlow},      // SIGXCPU ignored: ended by the hard limit
        {"swell.png", CodecError::TooLarge},        // out of memory, then a crash on the null pointer
        {"bloat.png", CodecError::TooLarge},        // its peak near the limit, then a crash (under a sanitizer without a failed allocation)
        {"crash.png", CodecError::CannotDecode},    // a segmentation fault, far from the memory limit
        {"quiet.png", CodecError::CannotDecode},    // no answer
        {"lie.png", CodecError::CannotDecode},      // more pixels announced than the memory holds
        {"huge.png", CodecError::CannotDecode},     // a size past the picture limits
        {"busy.png", CodecError::CannotDecode},     // an answer only the program may give
        {"sealed.png", CodecError::CannotDecode},   // its memory sealed so that it cannot be sealed against shrinking
        {"endless.png", CodecError::CannotDecode},  // a message of 4 GB announced: refused at once
        {"linger.png", CodecError::CannotDecode, "lingers"}, // answered, then ended after its grace
        {"orphan.png", CodecError::TooSlow},        // hangs, leaving a process of its own behind
        {"nofilter.png", CodecError::Unsafe, "seccomp"},        // no system call filter: nothing is read
        {"nolandlock.emf", CodecError::Unsafe, "Landlock"},     // a metafile's fonts cannot be fenced in
    };
    for (const auto &e : endings) {
        SCOPED_TRACE(e.name);
        // Where page faults are slow, filling 256 MiB takes more than the short CPU limit: the
        // swelling helpers have time to reach the memory limit. The stubborn one has more time
        // than its hard limit gives it.
        const bool swell = qstrcmp(e.name, "swell.png") == 0 || qstrcmp(e.name, "bloat.png") == 0;
        const bool stubborn = qstrcmp(e.name, "stubborn.png") == 0;
        setPictureReaderLimits({swell ? 8 : 1, 256LL * 1024 * 1024, swell || stubborn ? 10000 : 3000});
        const QString file = QLatin1String(e.name).endsWith(QLatin1String(".emf")) ? textMetafile(QLatin1String(e.name))
                                                                                  : picture(QLatin1String(e.name));
        QImage img;
        const CodecResult r = loadImageFile(file, img);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, e.error) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QLatin1String(e.says))) << r.message.toStdString();
        EXPECT_FALSE(r.size.isValid()) << "no size is named where none was read";
        EXPECT_TRUE(img.isNull());
        if (qstrcmp(e.name, "hang.png") == 0) {
            EXPECT_LT(lastPictureReaderRun().wallMs, 4000) << "ended at its deadline of 3 s";
        }
        if (stubborn) {
            EXPECT_LT(lastPictureReaderRun().helperCpuSeconds, 3.0) << "the hard limit a second after the soft one";
        }
        if (qstrcmp(e.name, "bloat.png") == 0) {
            // The peak as the helper's own, in bytes.
            EXPECT_GT(lastPictureReaderRun().helperPeakBytes, 128LL * 1024 * 1024);
            EXPECT_LT(lastPictureReaderRun().helperPeakBytes, 256LL * 1024 * 1024);
        }
        if (qstrcmp(e.name, "endless.png") == 0) {
            EXPECT_LT(lastPictureReaderRun().wallMs, 2500) << "a message too long for the protocol is not waited for";
        }
        if (qstrcmp(e.name, "linger.png") == 0) {
            EXPECT_LT(lastPictureReaderRun().wallMs, 2900) << "a helper that answered is ended after its grace";
        }
        if (qstrcmp(e.name, "orphan.png") == 0) {
            EXPECT_TRUE(QTest::qWaitFor([] { return !processNamed("pelmora-orphan"); }, 3000))
                << "ending the helper ends what it started";
        }
        // The next picture is read as if nothing had happened.
        QImage next;
        ASSERT_TRUE(loadImageFile(picture(QStringLiteral("fine.png")), next).ok);
        EXPECT_EQ(next.size(), QSize(40, 30));
        EXPECT_EQ(next.pixel(5, 5), qRgb(200, 30, 40));
    }

    // A helper started once the program has held more than the helper's limit counts that peak
    // as its own (the kernel hands it on): a crash is still a crash, not a picture too large.
    {
        const qsizetype held = 320LL * 1024 * 1024;
        auto *memory = static_cast<volatile char *>(std::malloc(size_t(held)));
        ASSERT_NE(memory, nullptr);
        for (qsizetype i = 0; i < held; i += 4096)
            memory[i] = 1;
        std::free(const_cast<char *>(memory));
        setPictureReaderLimits({1, 256LL * 1024 * 1024, 3000});
        QImage crashed;
        EXPECT_EQ(loadImageFile(picture(QStringLiteral("crash.png")), crashed).error, CodecError::CannotDecode);
    }

    // A picture that needs no file but itself is read where only the fonts could not be fenced
    // in (but under a sanitizer, which reads a file of its own to keep its memory limit).
    QImage img;
#ifndef PELMORA_SANITIZED
    EXPECT_TRUE(loadImageFile(picture(QStringLiteral("nolandlock.png")), img).ok);
#endif
    // A metafile's texts are drawn: the fonts are there to be read.
    const CodecResult drawn = loadImageFile(textMetafile(QStringLiteral("text.emf")), img);
    ASSERT_TRUE(drawn.ok) << drawn.message.toStdString();
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20) << "the text is drawn";

    // A picture held in memory goes the same way.
    QFile bytes(picture(QStringLiteral("any.png")));
    ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
    const QByteArray png = bytes.readAll();
    EXPECT_EQ(loadImageData(png, QStringLiteral("http://example.org/crash.png"), img).error, CodecError::CannotDecode);
    ASSERT_TRUE(loadImageData(png, QStringLiteral("http://example.org/fine.png"), img).ok);
    EXPECT_EQ(img.size(), QSize(40, 30));

    // A preview is of the size asked for, or no preview.
    QSize original;
    const auto small = [](QSize) { return QSize(10, 8); };
    EXPECT_EQ(loadPreviewFile(picture(QStringLiteral("whole.png")), small, img, original).error, CodecError::CannotDecode);
    ASSERT_TRUE(loadPreviewFile(picture(QStringLiteral("fine.png")), small, img, original).ok);
    EXPECT_EQ(img.size(), QSize(10, 8));
    EXPECT_EQ(original, QSize(40, 30));
}

TEST_F(PictureReaderTest, AReaderThatIsMissingBrokenStoppedOrReplacedIsToldApartFromAPicture)
{
    const QString fine = picture(QStringLiteral("fine.png"));
    QImage img;
    // The spare helper started after a load: one that died or was stopped is not used, and the
    // next load does not wait for it.
    for (const int signal : {SIGKILL, SIGSTOP}) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(loadImageFile(fine, img).ok);
        pid_t spare = -1;
        ASSERT_TRUE(QTest::qWaitFor([&spare] { return (spare = waitingHelper()) > 0; }, 3000));
        kill(spare, signal);
        if (signal == SIGKILL)
            ASSERT_TRUE(QTest::qWaitFor([spare] { return processState(spare) == 'Z'; }, 2000));
        else
            ASSERT_TRUE(QTest::qWaitFor([spare] { return processState(spare) == 'T'; }, 2000));
        const CodecResult r = loadImageFile(fine, img);
        EXPECT_TRUE(r.ok) << r.message.toStdString();
        EXPECT_LT(lastPictureReaderRun().wallMs, 2000);
    }

    // A helper file put in the place of the one the spare was started from is started anew.
    const QString copy = path(QStringLiteral("pelmora-decoder-copy"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora-decoder-misbehaving"), copy));
    qputenv("PELMORA_DECODER_HELPER", QFile::encodeName(copy));
    ASSERT_TRUE(loadImageFile(fine, img).ok);
    ASSERT_TRUE(QTest::qWaitFor([] { return waitingHelper() > 0; }, 3000));
    const auto replaceWith = [&](const QByteArray &content, QFileDevice::Permissions permissions) {
        QFile next(copy + QStringLiteral(".new"));
        ASSERT_TRUE(next.open(QIODevice::WriteOnly));
        next.write(content);
        next.close();
        next.setPermissions(permissions);
        ASSERT_EQ(std::rename(QFile::encodeName(next.fileName()).constData(), QFile::encodeName(copy).constData()), 0);
    };
    const auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    replaceWith("#!/bin/sh\necho 'a library is missing' >&2\nexit 3\n", executable);
    CodecResult r = loadImageFile(fine, img);
    EXPECT_EQ(r.error, CodecError::ReaderBroken) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QLatin1String("exit code 3"))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QLatin1String("a library is missing"))) << r.message.toStdString();
    // One that never gets ready is no reader either, whatever the picture.
    replaceWith("#!/bin/sh\nexec sleep 30\n", executable);
    r = loadImageFile(fine, img);
    EXPECT_EQ(r.error, CodecError::ReaderBroken) << r.message.toStdString();
    EXPECT_EQ(r.message, QStringLiteral("no answer"));
    // Not a program, not runnable, not there.
    replaceWith(QByteArray(64, '\x01'), executable);
    EXPECT_EQ(loadImageFile(fine, img).error, CodecError::ReaderBroken);
    replaceWith("#!/bin/sh\nexit 0\n", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(loadImageFile(fine, img).error, CodecError::ReaderMissing);
    QFile::remove(copy);
    EXPECT_EQ(loadImageFile(fine, img).error, CodecError::ReaderMissing);
}

TEST_F(PictureReaderTest, ADecoderTakenOverReachesNothingButItsOwnPicture)
{
    // What a decoder that a file has taken over could try, after the helper's real set-up: the
    // helper tries each way out it knows and names those that worked.
    QFile victim(path(QStringLiteral("victim.txt")));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("the user's own");
    victim.close();
    ASSERT_TRUE(victim.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const QFileDevice::Permissions permissions = victim.permissions();
    // A descriptor of the program's that a helper must not have, close-on-exec or not.
    const int held = ::open(QFile::encodeName(path(QStringLiteral("victim.txt"))).constData(), O_RDWR);
    ASSERT_GE(held, 0);
    setPictureReaderLimits({8, 256LL * 1024 * 1024, 20000});
    for (const QString &file : {picture(QStringLiteral("sandbox.png")), textMetafile(QStringLiteral("sandbox.emf"))}) {
        SCOPED_TRACE(file.toStdString());
        QImage img;
        const CodecResult r = loadImageFile(file, img);
        EXPECT_EQ(r.message, QStringLiteral("held"));
    }
    // Another calling convention: the helper is ended at once.
    for (const char *name : {"sandbox-i386.png", "sandbox-x32.png"}) {
        QImage img;
        const CodecResult r = loadImageFile(picture(QLatin1String(name)), img);
        EXPECT_FALSE(r.message.contains(QLatin1String("escaped"))) << name << ": " << r.message.toStdString();
    }
    ::close(held);
    ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
    EXPECT_EQ(victim.readAll(), QByteArray("the user's own"));
    EXPECT_EQ(victim.permissions(), permissions);
    EXPECT_EQ(QDir(path(QString())).entryList({QStringLiteral("other*")}), QStringList());

    // The same from a program that runs in a terminal: the helper has none to type into.
    const QByteArray said = inTerminal({QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora-load-probe"),
                                        picture(QStringLiteral("sandbox.png"))});
    EXPECT_EQ(said.trimmed(), QByteArray("held"));
}

TEST_F(PictureReaderTest, AFailedLoadLeavesThePictureAndItsUndoStepsAsTheyWere)
{
    const auto image = ImgxImage::create();
    ASSERT_TRUE(image->loadFile(picture(QStringLiteral("first.png"), qRgb(10, 20, 30)), kNoUndo).ok);
    image->negative(QStringLiteral("Negative"));
    const QImage before = image->qimage().copy();
    for (const char *name : {"crash.png", "swell.png", "spin.png", "lie.png"}) {
        EXPECT_FALSE(image->loadFile(picture(QLatin1String(name)), QStringLiteral("Load")).ok) << name;
        EXPECT_EQ(image->qimage(), before) << name;
        ASSERT_EQ(image->undoCount(), 1) << name;
        EXPECT_EQ(image->undoText(0), QStringLiteral("Negative")) << name;
    }
    ASSERT_TRUE(image->loadFile(picture(QStringLiteral("second.png"), qRgb(90, 90, 90)), QStringLiteral("Load")).ok);
    EXPECT_EQ(image->qimage().pixel(0, 0), qRgb(90, 90, 90));
    EXPECT_EQ(image->undoCount(), 2);
    // The pixels mapped from the helper are the picture's own: an effect changes them, undo
    // brings them back.
    image->negative(QStringLiteral("Negative"));
    EXPECT_EQ(image->qimage().pixel(0, 0), qRgb(165, 165, 165));
    image->undo();
    EXPECT_EQ(image->qimage().pixel(0, 0), qRgb(90, 90, 90));
}

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::white);
    }
};

} // namespace

TEST_F(PictureReaderTest, WhileAPictureIsReadTheWindowsPaintAndASecondLoadIsNotStarted)
{
    PaintCounter window;
    window.resize(200, 100);
    window.show();
    QCoreApplication::processEvents();
    setPictureReaderLimits({1, 256LL * 1024 * 1024, 1500});

    int paintsDuring = -1, pointerDuring = -1;
    CodecResult second;
    bool readingDuring = false;
    QTimer::singleShot(300, [&] {
        pointerDuring = screen->pointer;
        readingDuring = pictureBeingRead();
        QImage img;
        second = loadImageFile(picture(QStringLiteral("fine.png")), img);
        window.update();
    });
    QTimer::singleShot(700, [&] { paintsDuring = window.paints; });
    const int paintsBefore = window.paints;
    QImage img;
    const CodecResult first = loadImageFile(picture(QStringLiteral("hang.png")), img);

    EXPECT_EQ(first.error, CodecError::TooSlow);
    EXPECT_EQ(pointerDuring, Pointer::Hourglass);
    EXPECT_TRUE(readingDuring);
    EXPECT_EQ(second.error, CodecError::Busy) << "the second load waits for nothing: it is not started";
    EXPECT_GT(paintsDuring, paintsBefore) << "the window was painted while the picture was read";
    EXPECT_EQ(screen->pointer, Pointer::Default) << "the pointer is as it was";
    EXPECT_FALSE(pictureBeingRead());
}
