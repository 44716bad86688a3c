// Pictures whose headers claim far more pixels than they hold, and pictures cut short: each
// is refused from its header or by the picture reader's memory limit, or rendered within the
// limits, never shown half decoded.
#include "platform/imaging/ImageCodecs.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QString hostile(const char *name)
{
    return QStringLiteral(PELMORA_SOURCE_DIR "/tests/data/hostile-pictures/") + QLatin1String(name);
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

// A 4 x 3 run-length coded BMP (RLE8, two colours) that ends with its end-of-bitmap code.
QByteArray rleBmp()
{
    const QByteArray palette = le32(0x0000FF) + le32(0x00FF00);
    const QByteArray runs = QByteArray::fromHex("0400" "0000" "0201" "0200" "0000" "0401" "0001");
    const quint32 offset = 14 + 40 + palette.size();
    return QByteArray("BM") + le32(offset + runs.size()) + le32(0) + le32(offset) + le32(40) + le32(4) + le32(3) +
           le16(1) + le16(8) + le32(1) + le32(runs.size()) + le32(2835) + le32(2835) + le32(2) + le32(0) + palette +
           runs;
}

// A 1 x 1 GIF.
QByteArray tinyGif()
{
    return QByteArray::fromHex("474946383961010001008000" "00ffffff000000" "21f90401000000" "00"
                               "2c000000000100010000" "02024401" "00" "3b");
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

// A photo-like picture: a gradient with fine detail, so that its compressed data is spread
// over the whole file.
QImage photo()
{
    QImage img(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + y) & 255, (y * 5 ^ x) & 255, (x * y) & 255));
    return img;
}

} // namespace

TEST(HostilePictures, ClaimedSizesPastTheLimitsAreRefusedAsTooLarge)
{
    const struct {
        const char *name;
        QSize size; // named in the refusal; none where the reader ran out of memory
    } refused[] = {
        {"frame-huge.gif", {65535, 65535}},  // a small screen with a frame far beyond it
        {"cut-huge.jpg", {16000, 16000}},    // cut short, and too large anyway
        {"screen-huge.gif", {}},             // within the pixel limit, but twice over in its decoder
        {"progressive-huge.jpg", {}},        // its coefficients alone would take 700 MB
        {"rle-huge.bmp", {}},                // 864 bytes of runs for a palette picture made 32-bit
    };
    for (const auto &r : refused) {
        QImage img;
        const CodecResult result = loadImageFile(hostile(r.name), img);
        EXPECT_EQ(result.error, CodecError::TooLarge) << r.name << ": " << result.message.toStdString();
        EXPECT_EQ(result.size, r.size) << r.name;
        if (r.size.isValid()) {
            EXPECT_TRUE(result.message.contains(QStringLiteral("%1 x %2").arg(r.size.width()).arg(r.size.height())))
                << result.message.toStdString();
        }
        EXPECT_TRUE(img.isNull()) << r.name;
    }
    // The same bytes arriving from a download, named by their address.
    QFile gif(hostile("frame-huge.gif"));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    QImage img;
    EXPECT_EQ(loadImageData(gif.readAll(), QStringLiteral("http://example.org/a.gif?x=1"), img).error,
              CodecError::TooLarge);
}

TEST(HostilePictures, MetafilesWithHugeFramesAreRenderedWithinTheLimits)
{
    // A placeable WMF of 2048 x 6.25 inches: 196602 x 600 pixels at 96 dpi, drawn smaller.
    QImage img;
    const CodecResult r = loadImageFile(hostile("frame-huge.wmf"), img);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_LE(img.width(), kMaxImageSide);
    EXPECT_GE(img.width(), 15500) << "near the longest side of the limits, or of ImageMagick's policy";
    EXPECT_NEAR(img.width() / double(img.height()), 196602 / 600.0, 8) << "the proportions are kept";

    // 32767 inches square: drawn at about a megapixel, decided from the frame.
    QImage square;
    const CodecResult s = loadImageFile(hostile("frame-square.wmf"), square);
    ASSERT_TRUE(s.ok) << s.message.toStdString();
    EXPECT_EQ(square.width(), square.height());
    EXPECT_GE(square.width(), 1000);
    EXPECT_LE(qint64(square.width()) * square.height(), 1024LL * 1024);
}

// An EMF of 1000 x 1000 pixels holding `count` records between its header and its end record;
// its device has 960 pixels on deviceMm millimetres (254: one device unit is a pixel).
QByteArray emfOf(const QByteArray &records, quint32 count, quint32 deviceMm = 254)
{
    QByteArray emf;
    for (const quint32 v : {1u, 88u, 0u, 0u, 999u, 999u, 0u, 0u, 26457u, 26457u, 0x464D4520u, 0x10000u,
                            quint32(88 + records.size() + 20), count + 2, 1u, 0u, 0u, 0u, 960u, 960u, deviceMm,
                            deviceMm})
        emf += le32(v);
    return emf + records + le32(14) + le32(20) + le32(0) + le32(16) + le32(20);
}

// A POLYLINE16 record of `points` points, zigzagging over `side` x `side` units.
QByteArray polyline(quint32 points, quint32 side = 1000)
{
    QByteArray r = le32(87) + le32(28 + 4 * points) + le32(0) + le32(0) + le32(side - 1) + le32(side - 1) + le32(points);
    for (quint32 i = 0; i < points; ++i)
        r += le16(quint16(i * 7 % side)) + le16(quint16(i * 13 % side));
    return r;
}

TEST(HostilePictures, EmfPicturesAreDrawnAtMostOneMegapixelAndWholeOrNotAtAll)
{
    // 108 bytes: a header whose bounds are empty, a frame far from the origin and a device of
    // two billion pixels a millimetre, then the end record: drawn at a megapixel.
    QByteArray emf = le32(1) + le32(88) + le32(0) + le32(0) + le32(quint32(-1)) + le32(quint32(-1)) +
                     le32(1000000000) + le32(1000000000) + le32(2000000000) + le32(2000000000) + le32(0x464D4520) +
                     le32(0x10000) + le32(108) + le32(2) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0x7FFFFFFF) +
                     le32(0x7FFFFFFF) + le32(1) + le32(1);
    emf += le32(14) + le32(20) + le32(0) + le32(16) + le32(20);
    ASSERT_EQ(emf.size(), 108);
    QImage img;
    const CodecResult r = loadImageData(emf, QStringLiteral("far.emf"), img);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(img.size(), QSize(1024, 1024));

    // A line of 40,000 points: QtSvg would draw the first 32,767 of them only. It is refused
    // from its record.
    QImage line;
    const CodecResult l = loadImageData(emfOf(polyline(40000), 1), QStringLiteral("line.emf"), line);
    EXPECT_EQ(l.error, CodecError::CannotDecode);
    EXPECT_EQ(l.message, QStringLiteral("The picture cannot be drawn whole (a shape of more than 32767 points)."));
    EXPECT_TRUE(line.isNull());
    QImage shorter;
    EXPECT_TRUE(loadImageData(emfOf(polyline(30000), 1), QStringLiteral("shorter.emf"), shorter).ok);

    // A window of no extent: the player's coordinates are not numbers, and QtSvg gives up on
    // the path it is given.
    const QByteArray nowhere = le32(17) + le32(12) + le32(8)                 // SETMAPMODE anisotropic
                               + le32(9) + le32(16) + le32(0) + le32(0)      // SETWINDOWEXTEX 0 x 0
                               + polyline(3);
    QImage unplayable;
    const CodecResult n = loadImageData(emfOf(nowhere, 3), QStringLiteral("nowhere.emf"), unplayable);
    EXPECT_EQ(n.error, CodecError::CannotDecode);
    EXPECT_EQ(n.message, QStringLiteral("The picture cannot be drawn whole."));
    EXPECT_TRUE(unplayable.isNull());
}

TEST(HostilePictures, PicturesCutShortAreDamagedNotHalfGrey)
{
    QTemporaryDir dir;
    const auto load = [&](const QString &name, const QByteArray &bytes, QImage &img) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return loadImageFile(f.fileName(), img);
    };
    const QImage picture = photo();
    const struct {
        const char *name;
        QByteArray whole;
    } files[] = {
        {"photo.jpg", encoded(picture, "jpeg")},
        {"photo.png", encoded(picture, "png")},
        {"photo.tif", encoded(picture, "tiff")},
        {"tiny.gif", tinyGif()},
        {"runs.bmp", rleBmp()},
    };
    for (const auto &f : files) {
        QImage img;
        const CodecResult whole = load(f.name, f.whole, img);
        ASSERT_TRUE(whole.ok) << f.name << ": " << whole.message.toStdString();
        // Cut inside the picture's data, past every header.
        const QByteArray cut = f.whole.left(std::max<qsizetype>(f.whole.size() * 7 / 10, f.whole.size() - 3));
        QImage half;
        const CodecResult r = load(f.name, cut, half);
        EXPECT_EQ(r.error, CodecError::CannotDecode) << f.name;
        EXPECT_TRUE(half.isNull()) << f.name;
    }
    QImage img;
    const CodecResult r = loadImageFile(hostile("cut.jpg"), img);
    EXPECT_EQ(r.error, CodecError::CannotDecode);
    EXPECT_TRUE(r.message.contains(QStringLiteral("damaged"))) << r.message.toStdString();

    // A text named as a picture is no picture of its type, not one cut short.
    for (const char *name : {"fake.png", "fake.bmp", "fake.jpg", "fake.gif", "fake.tif", "fake.psd"}) {
        const CodecResult fake = load(name, "This is a text, not a picture.\n", img);
        EXPECT_EQ(fake.error, CodecError::CannotDecode) << name;
        EXPECT_EQ(fake.message, "The file holds no picture of the type its name gives.") << name;
    }
}
