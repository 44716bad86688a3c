// The picture reader's helper and how it ends: a helper that spends its CPU time, sleeps past
// the deadline, runs out of memory, crashes, ends without an answer or announces a size that
// its memory does not hold is what the load says, and the next load works. The helper here is
// the test double that misbehaves on purpose by the picture's name.
#include "platform/imaging/ImgxImage.h"
#include "platform/imaging/PictureReader.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

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

private:
    std::optional<testsupport::MisbehavingPictureReader> reader_;
};

} // namespace

TEST_F(PictureReaderTest, EachWayTheHelperEndsIsWhatTheLoadSays)
{
    const struct {
        const char *name;
        int error;
    } endings[] = {
        {"spin.png", CodecError::TooSlow},       // past its CPU time
        {"hang.png", CodecError::TooSlow},       // past the deadline, without spending CPU time
        {"swell.png", CodecError::TooLarge},     // out of memory, then a crash on the null pointer
        {"crash.png", CodecError::CannotDecode}, // a segmentation fault
        {"quiet.png", CodecError::CannotDecode}, // no answer
        {"lie.png", CodecError::CannotDecode},   // more pixels announced than the memory holds
        {"huge.png", CodecError::CannotDecode},  // a size past the picture limits
    };
    for (const auto &e : endings) {
        // Where page faults are slow, filling 256 MiB takes more than the short CPU limit:
        // the swelling helper has time to reach the memory limit.
        const bool swell = qstrcmp(e.name, "swell.png") == 0;
        setPictureReaderLimits({swell ? 8 : 1, 256LL * 1024 * 1024, swell ? 10000 : 3000});
        QImage img;
        const CodecResult r = loadImageFile(picture(QLatin1String(e.name)), img);
        EXPECT_FALSE(r.ok) << e.name;
        EXPECT_EQ(r.error, e.error) << e.name << ": " << r.message.toStdString();
        EXPECT_FALSE(r.size.isValid()) << e.name << ": no size is named where none was read";
        EXPECT_TRUE(img.isNull()) << e.name;
        // The next picture is read as if nothing had happened.
        QImage next;
        ASSERT_TRUE(loadImageFile(picture(QStringLiteral("fine.png")), next).ok) << "after " << e.name;
        EXPECT_EQ(next.size(), QSize(40, 30));
        EXPECT_EQ(next.pixel(5, 5), qRgb(200, 30, 40));
    }

    // A picture held in memory goes the same way.
    QFile bytes(picture(QStringLiteral("any.png")));
    ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
    const QByteArray png = bytes.readAll();
    QImage img;
    EXPECT_EQ(loadImageData(png, QStringLiteral("http://example.org/crash.png"), img).error, CodecError::CannotDecode);
    ASSERT_TRUE(loadImageData(png, QStringLiteral("http://example.org/fine.png"), img).ok);
    EXPECT_EQ(img.size(), QSize(40, 30));

    // Neither a file can be written nor a socket opened while the helper decodes.
    ASSERT_TRUE(loadImageFile(picture(QStringLiteral("sandbox.png")), img).ok);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("written.txt"))));
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
