#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/PictureReader.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

#include <cstdlib>

using namespace platform;

namespace {

// 37 x 23: a colour gradient; with alpha also a fully transparent corner and a band whose
// opacity grows downwards.
QImage testPicture(bool withAlpha)
{
    QImage img(37, 23, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            int a = 255;
            if (withAlpha && x < 8 && y < 6)
                a = 0;
            else if (withAlpha && x >= 20 && x < 28)
                a = 40 + y * 9;
            img.setPixel(x, y, qPremultiply(qRgba(x * 7, y * 11, 255 - x * 3 - y * 2, a)));
        }
    return img;
}

// Black and white only, for the one-bit format.
QImage blackAndWhite()
{
    QImage img(37, 23, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, ((x / 3 + y / 2) % 2) ? 0xFFFFFFFF : 0xFF000000);
    return img;
}

double meanChannelDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Where a format stores no alpha, the picture is laid on white.
QImage onWhitePaper(const QImage &img)
{
    QImage out = img;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            const int lift = 255 - qAlpha(p);
            out.setPixel(x, y, qRgb(qRed(p) + lift, qGreen(p) + lift, qBlue(p) + lift));
        }
    return out;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray be32(quint32 v)
{
    QByteArray b(4, 0);
    qToBigEndian(v, b.data());
    return b;
}
QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

int formatOf(const char *name)
{
    const QString ext = QFileInfo(QString::fromLatin1(name)).suffix();
    const QHash<QString, int> types = {{"jpg", SaveType::Jpeg}, {"png", SaveType::Png}, {"tif", SaveType::Tiff},
                                       {"wmf", SaveType::Wmf},  {"emf", SaveType::Emf}, {"psd", SaveType::Psd}};
    return types.value(ext);
}

class ImageCodecs : public testing::Test {
protected:
    QString file(const QString &name) const { return dir.filePath(name); }
    QImage saveAndLoad(const QImage &img, int saveType, const QString &name, int quality = 90)
    {
        const CodecResult saved = saveImageFile(file(name), img, saveType, quality);
        EXPECT_TRUE(saved.ok) << name.toStdString() << ": " << saved.message.toStdString();
        QImage back;
        const CodecResult loaded = loadImageFile(file(name), back);
        EXPECT_TRUE(loaded.ok) << name.toStdString() << ": " << loaded.message.toStdString();
        EXPECT_EQ(back.format(), QImage::Format_ARGB32_Premultiplied) << name.toStdString();
        EXPECT_EQ(back.size(), img.size()) << name.toStdString();
        return back;
    }
    void writeBytes(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readBytes(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    CodecResult load(const QString &name) const
    {
        QImage img;
        return loadImageFile(file(name), img);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ImageCodecs, LosslessFormatsRoundTripPixelExact)
{
    const QImage opaque = testPicture(false);
    const struct {
        int type;
        const char *name;
    } formats[] = {
        {SaveType::Png, "a.png"}, {SaveType::Bmp, "a.bmp"}, {SaveType::Tiff, "a.tif"},
        {SaveType::Pcx, "a.pcx"}, {SaveType::Tga, "a.tga"}, {SaveType::Psd, "a.psd"},
    };
    for (const auto &f : formats)
        EXPECT_EQ(saveAndLoad(opaque, f.type, f.name), opaque) << f.name;
    EXPECT_EQ(saveAndLoad(blackAndWhite(), SaveType::Wbmp, "a.wbmp"), blackAndWhite());
}

TEST_F(ImageCodecs, AlphaFormatsKeepTransparencyExactly)
{
    const QImage picture = testPicture(true);
    const struct {
        int type;
        const char *name;
    } formats[] = {
        {SaveType::Png, "t.png"},
        {SaveType::Tiff, "t.tif"},
        {SaveType::Tga, "t.tga"},
        {SaveType::Psd, "t.psd"},
    };
    for (const auto &f : formats) {
        const QImage back = saveAndLoad(picture, f.type, f.name);
        EXPECT_EQ(back, picture) << f.name << " differs by " << testsupport::largestChannelDifference(back, picture);
    }
}

TEST_F(ImageCodecs, FormatsWithoutAlphaLayThePictureOnWhite)
{
    const QImage picture = testPicture(true);
    const QImage expected = onWhitePaper(picture);
    EXPECT_EQ(saveAndLoad(picture, SaveType::Bmp, "w.bmp"), expected);
    EXPECT_EQ(saveAndLoad(picture, SaveType::Pcx, "w.pcx"), expected);
    const QImage jpeg = saveAndLoad(picture, SaveType::Jpeg, "w.jpg", 95);
    EXPECT_LE(meanChannelDifference(jpeg, expected), 3.0);
    EXPECT_EQ(qAlpha(jpeg.pixel(0, 0)), 255);
    EXPECT_GE(qRed(jpeg.pixel(1, 1)), 235); // the transparent corner is white paper
    for (const auto &[type, name] : {std::pair{SaveType::Wmf, "w.wmf"}, std::pair{SaveType::Emf, "w.emf"}}) {
        const QImage back = saveAndLoad(picture, type, name);
        EXPECT_LE(testsupport::largestChannelDifference(back, expected), 2) << name;
    }
}

TEST_F(ImageCodecs, JpegFollowsTheQualityAndStaysClose)
{
    const QImage opaque = testPicture(false);
    const QImage fine = saveAndLoad(opaque, SaveType::Jpeg, "fine.jpg", 95);
    EXPECT_LE(meanChannelDifference(fine, opaque), 3.0);
    EXPECT_LE(testsupport::largestChannelDifference(fine, opaque), 40);
    saveAndLoad(opaque, SaveType::Jpeg, "coarse.jpg", 5);
    EXPECT_LT(readBytes("coarse.jpg").size(), readBytes("fine.jpg").size());
}

TEST_F(ImageCodecs, MetafilesRoundTripAtTheirFrameSize)
{
    const QImage opaque = testPicture(false);
    EXPECT_LE(testsupport::largestChannelDifference(saveAndLoad(opaque, SaveType::Wmf, "m.wmf"), opaque), 2);
    EXPECT_LE(testsupport::largestChannelDifference(saveAndLoad(opaque, SaveType::Emf, "m.emf"), opaque), 2);

    // Other programs size the picture by the headers: 96 units per inch, 37 x 23 pixels.
    const QByteArray wmf = readBytes("m.wmf");
    ASSERT_GE(wmf.size(), 22);
    EXPECT_EQ(qFromLittleEndian<quint32>(wmf.constData()), 0x9AC6CDD7u);
    EXPECT_EQ(qFromLittleEndian<qint16>(wmf.constData() + 10), 37); // right of the bounding box
    EXPECT_EQ(qFromLittleEndian<qint16>(wmf.constData() + 12), 23);
    EXPECT_EQ(qFromLittleEndian<quint16>(wmf.constData() + 14), 96);
    const QByteArray emf = readBytes("m.emf");
    ASSERT_GE(emf.size(), 88);
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
    const qint32 frameRight = qFromLittleEndian<qint32>(emf.constData() + 32);
    const qint32 frameBottom = qFromLittleEndian<qint32>(emf.constData() + 36);
    EXPECT_NEAR(frameRight, 37 * 2540 / 96, 2); // hundredths of a millimetre
    EXPECT_NEAR(frameBottom, 23 * 2540 / 96, 2);

    // Read as well where the user's locale writes numbers with a decimal comma.
    {
        const QByteArray before = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_DE.UTF-8");
        endSparePictureReader(); // a reader started with the program's environment as it is now
        for (const char *name : {"m.wmf", "m.emf"}) {
            QImage back;
            const CodecResult r = loadImageFile(file(QLatin1String(name)), back);
            EXPECT_TRUE(r.ok) << name << " in German: " << r.message.toStdString();
            EXPECT_LE(testsupport::largestChannelDifference(back, opaque), 2) << name << " in German";
        }
        qputenv("LC_ALL", before);
        endSparePictureReader();
    }

    // A one-pixel picture has degenerate bounds; the frame still gives its size.
    QImage dot(1, 1, QImage::Format_ARGB32_Premultiplied);
    dot.fill(qRgb(200, 10, 90));
    EXPECT_LE(testsupport::largestChannelDifference(saveAndLoad(dot, SaveType::Emf, "dot.emf"), dot), 2);
    EXPECT_LE(testsupport::largestChannelDifference(saveAndLoad(dot, SaveType::Wmf, "dot.wmf"), dot), 2);
}

TEST_F(ImageCodecs, WbmpReducesToBlackAndWhite)
{
    const QImage colours = testPicture(false); // dark at the top, light at the bottom
    const QImage back = saveAndLoad(colours, SaveType::Wbmp, "g.wbmp");
    double white[2] = {}, light[2] = {};
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x) {
            const QRgb p = back.pixel(x, y);
            ASSERT_TRUE(p == 0xFF000000 || p == 0xFFFFFFFF) << x << "," << y;
            white[2 * y / back.height()] += p == 0xFFFFFFFF;
            light[2 * y / back.height()] += qGray(colours.pixel(x, y)) / 255.0;
        }
    // Dithered, so in each half the share of white dots follows the picture's lightness.
    for (int half = 0; half < 2; ++half)
        EXPECT_NEAR(white[half], light[half], 0.05 * back.width() * back.height()) << half;
}

TEST_F(ImageCodecs, ReadsFilesOfOtherPrograms)
{
    // Our own round trips would not show a mistake made the same way in reading and writing
    // (swapped channels, flipped rows); pictures made by another program do.
    // 4 x 2 pictures made elsewhere: red, green, blue, white / black, (10,20,30), (200,100,50)
    // at half opacity, transparent. GIF keeps only on/off transparency, PCX none (on white).
    const auto check = [&](const char *name, const QByteArray &hex, QRgb halfPixel, QRgb lastPixel) {
        writeBytes(name, QByteArray::fromHex(hex));
        QImage img;
        const CodecResult r = loadImageFile(file(name), img);
        ASSERT_TRUE(r.ok) << name << ": " << r.message.toStdString();
        ASSERT_EQ(img.size(), QSize(4, 2)) << name;
        EXPECT_EQ(img.format(), QImage::Format_ARGB32_Premultiplied) << name;
        const QRgb expected[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF0A141E};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(img.pixel(i % 4, i / 4), expected[i]) << name << " pixel " << i;
        EXPECT_EQ(img.pixel(2, 1), halfPixel) << name;
        EXPECT_EQ(img.pixel(3, 1), lastPixel) << name;
    };
    const QRgb half = qPremultiply(qRgba(200, 100, 50, 128));
    check("ref.gif",
          "47494638396104000200f200000000000a141eff0000c8643200ff000000ffffffff00000021f904010000070021ff0b496d"
          "6167654d616769636b0d67616d6d613d302e3435343535002c0000000004000200000306285406312701003b",
          0xFFC86432, 0);
    check("ref.tga", // run-length coded, rows bottom up
          "00000a000000000000000000040002002008030000ffff00ff00ffff0000ffffffffff03000000ff1e140aff3264c8800000"
          "0000",
          half, 0);
    check("ref.pcx",
          "0a05010800000000030001000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "0000000000000000000000000000000304000100000000000000000000000000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000c1ffc200c1ff00c1ff00c1ffc200c2ff000ac1e3c1ff"
          "0014b1c1ff001e98c1ff",
          0xFFE3B198, 0xFFFFFFFF);
    check("ref.psd",
          "3842505300010000000000000004000000020000000400080003000000000000001c3842494d03ed00000000001000000001"
          "000100010000000100010001000000950000008effff00000000000000000000000200000004000400000000001200010000"
          "0012000200000012ffff0000000f3842494d6e6f726dff0001000000000c0000000000000000024c31000002789cfbcfc0f0"
          "9f81eb0403000ea902d10002789c63f8cff09f41248501000d0002770002789c6360f8ff9f41ce8801000bbb024f0002789c"
          "fbff1f041a180021e7067b0000000000010007000700070007000700070003000700ff020000ff800000020ac80080000002"
          "ff00ff800000021464008000000200ffff800000021e320080fdff8000ff02ff800080",
          half, 0);
}

TEST_F(ImageCodecs, PsdWithoutLayersIsReadFromItsMergedPicture)
{
    // 3 x 1 RGB with no layer section, raw planes: red, (10,20,30), white.
    const QByteArray psd = QByteArray("8BPS") +
                           QByteArray::fromHex("0001"
                                               "000000000000"
                                               "0003") +
                           be32(1) + be32(3) + QByteArray::fromHex("00080003") + be32(0) + be32(0) + be32(0) +
                           QByteArray::fromHex("0000"
                                               "ff0aff"
                                               "0014ff"
                                               "001eff");
    writeBytes("flat.psd", psd);
    QImage img;
    const CodecResult r = loadImageFile(file("flat.psd"), img);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    ASSERT_EQ(img.size(), QSize(3, 1));
    EXPECT_EQ(img.pixel(0, 0), 0xFFFF0000);
    EXPECT_EQ(img.pixel(1, 0), 0xFF0A141E);
    EXPECT_EQ(img.pixel(2, 0), 0xFFFFFFFF);
}

TEST_F(ImageCodecs, ContentDecidesOverTheExtensionWhereItCan)
{
    const QImage opaque = testPicture(false);
    ASSERT_TRUE(saveImageFile(file("really-png.jpg"), opaque, SaveType::Png).ok);
    QImage img;
    ASSERT_TRUE(loadImageFile(file("really-png.jpg"), img).ok);
    EXPECT_EQ(img, opaque);

    // Downloaded data: the content, else the extension of the address without its query.
    ASSERT_TRUE(saveImageFile(file("x.tga"), opaque, SaveType::Tga).ok);
    const QByteArray tga = readBytes("x.tga");
    QImage fromData;
    ASSERT_TRUE(loadImageData(tga, QStringLiteral("http://host/covers/x.TGA?size=big#top"), fromData).ok);
    EXPECT_EQ(fromData, opaque);
    EXPECT_EQ(loadImageData(tga, QStringLiteral("http://host/cover.php?id=3"), fromData).error,
              CodecError::NotSupported);
    QImage png;
    EXPECT_TRUE(loadImageData(readBytes("really-png.jpg"), QStringLiteral("cover"), png).ok);
}

TEST_F(ImageCodecs, UnknownTypesAreNotSupported)
{
    for (const char *ext :
         {"jpg", "JPEG", ".png", "gif", "bmp", "psd", "tif", "tiff", "pcx", "tga", "wbmp", "wmf", "emf"})
        EXPECT_TRUE(isSupportedForReading(QString::fromLatin1(ext))) << ext;
    for (const char *ext : {"tla", "", "webp", "svg", "txt"})
        EXPECT_FALSE(isSupportedForReading(QString::fromLatin1(ext))) << ext;

    // A .tla file is refused even when it holds a picture.
    ASSERT_TRUE(saveImageFile(file("a.tla"), testPicture(false), SaveType::Png).ok);
    EXPECT_EQ(load("a.tla").error, CodecError::NotSupported);
    EXPECT_EQ(load("noextension").error, CodecError::NotSupported);
    QImage img;
    EXPECT_EQ(loadImageData(QByteArray(100, 'x'), QStringLiteral("a.tla"), img).error, CodecError::NotSupported);
    EXPECT_EQ(saveImageFile(file("a.x"), testPicture(false), 11).error, CodecError::NotSupported);
    EXPECT_EQ(saveImageFile(file("a.x"), testPicture(false), 0).error, CodecError::NotSupported);
    EXPECT_FALSE(QFile::exists(file("a.x")));
}

TEST_F(ImageCodecs, DamagedFilesFailToDecode)
{
    const QImage picture = testPicture(true);
    const struct {
        int type;
        const char *name;
    } formats[] = {
        {SaveType::Jpeg, "d.jpg"}, {SaveType::Png, "d.png"},   {SaveType::Tiff, "d.tif"}, {SaveType::Pcx, "d.pcx"},
        {SaveType::Tga, "d.tga"},  {SaveType::Bmp, "d.bmp"},   {SaveType::Wmf, "d.wmf"},  {SaveType::Emf, "d.emf"},
        {SaveType::Psd, "d.psd"},  {SaveType::Wbmp, "d.wbmp"},
    };
    QImage untouched(3, 3, QImage::Format_ARGB32_Premultiplied);
    untouched.fill(Qt::red);
    for (const auto &f : formats) {
        ASSERT_TRUE(saveImageFile(file(f.name), picture, f.type).ok) << f.name;
        const QByteArray whole = readBytes(f.name);
        for (const qsizetype keep : {whole.size() / 3, qsizetype(12)}) {
            writeBytes(f.name, whole.left(keep));
            QImage img = untouched;
            const CodecResult r = loadImageFile(file(f.name), img);
            EXPECT_EQ(r.error, CodecError::CannotDecode) << f.name << " cut to " << keep;
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(img, untouched) << f.name; // a failed load leaves the target alone
        }
    }
    // Garbage behind the signature of a format that has structure to check (in BMP, PCX, TGA
    // and WBMP any bytes after a header are pixels).
    for (const char *name : {"d.jpg", "d.png", "d.tif", "d.wmf", "d.emf", "d.psd"}) {
        ASSERT_TRUE(saveImageFile(file(name), picture, formatOf(name)).ok) << name;
        QByteArray garbage = readBytes(name).left(26); // the fixed header kept
        for (int i = 0; i < 400; ++i)
            garbage += char((i * 37 + 11) & 0xFF);
        writeBytes(name, garbage);
        EXPECT_EQ(load(name).error, CodecError::CannotDecode) << name << " garbage";
    }
    writeBytes("empty.png", {});
    EXPECT_EQ(load("empty.png").error, CodecError::CannotDecode);
    EXPECT_EQ(load("missing.png").error, CodecError::CannotDecode);
}

TEST_F(ImageCodecs, HugeClaimedSizesAreRefusedBeforeDecoding)
{
    // PNG: a valid signature and IHDR of 100000 x 100000.
    const QByteArray ihdr = QByteArray("IHDR") + be32(100000) + be32(100000) + QByteArray::fromHex("0806000000");
    const QByteArray idat = QByteArray("IDAT") + QByteArray::fromHex("789c030000000001");
    const QByteArray iend("IEND");
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a") + be32(13) + ihdr + be32(crc32(ihdr)) + be32(8) +
                           idat + be32(crc32(idat)) + be32(0) + iend + be32(crc32(iend));
    writeBytes("huge.png", png);
    EXPECT_EQ(load("huge.png").error, CodecError::TooLarge);
    // Narrow pictures, few pixels: one side longer than the limit is enough.
    const struct {
        QSize size;
        int error;
    } narrows[] = {
        {{1, kMaxImageSide + 1}, CodecError::TooLarge},
        {{kMaxImageSide + 1, 1}, CodecError::TooLarge},
        {{1, kMaxImageSide}, CodecError::None},
    };
    for (const auto &n : narrows) {
        QImage narrow(n.size, QImage::Format_RGB32);
        narrow.fill(Qt::white);
        ASSERT_TRUE(narrow.save(file("narrow.png")));
        EXPECT_EQ(load("narrow.png").error, n.error) << n.size.width() << " x " << n.size.height();
    }

    // BMP: a header of 100000 x 100000 at 24 bits.
    const QByteArray bmp = QByteArray("BM") + le32(54) + le32(0) + le32(54) + le32(40) + le32(100000) + le32(100000) +
                           le16(1) + le16(24) + le32(0) + le32(0) + le32(2835) + le32(2835) + le32(0) + le32(0);
    writeBytes("huge.bmp", bmp);
    EXPECT_EQ(load("huge.bmp").error, CodecError::TooLarge);

    // PSD: 30000 x 30000 with empty sections.
    const QByteArray psd = QByteArray("8BPS") +
                           QByteArray::fromHex("0001"
                                               "000000000000"
                                               "0003") +
                           be32(30000) + be32(30000) + QByteArray::fromHex("00080003") + be32(0) + be32(0) + be32(0) +
                           QByteArray::fromHex("0000");
    writeBytes("huge.psd", psd);
    EXPECT_EQ(load("huge.psd").error, CodecError::TooLarge);

    // TGA: 65535 x 65535 true colour.
    const QByteArray tga = QByteArray::fromHex("000002000000000000000000ffffffff1800");
    writeBytes("huge.tga", tga);
    EXPECT_EQ(load("huge.tga").error, CodecError::TooLarge);

    // EMF: a frame 10 metres wide is rendered smaller, to fit the limits.
    ASSERT_TRUE(saveImageFile(file("m.emf"), testPicture(false), SaveType::Emf).ok);
    QByteArray emf = readBytes("m.emf");
    qToLittleEndian<qint32>(1000000, emf.data() + 32);
    writeBytes("wide.emf", emf);
    QImage wide;
    const CodecResult r = loadImageFile(file("wide.emf"), wide);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_LE(wide.width(), kMaxImageSide);
    EXPECT_GE(wide.width(), kMaxImageSide - 8);
    EXPECT_LE(wide.height(), 23);
}

TEST_F(ImageCodecs, FailedSaveLeavesTheOldFileAlone)
{
    const QByteArray old("old contents");
    writeBytes("keep.wmf", old);
    QImage tall(1, 40000, QImage::Format_ARGB32_Premultiplied);
    tall.fill(Qt::blue);
    EXPECT_EQ(saveImageFile(file("keep.wmf"), tall, SaveType::Wmf).error, CodecError::TooLarge);
    EXPECT_EQ(saveImageFile(file("keep.wmf"), QImage(), SaveType::Png).error, CodecError::CannotWrite);
    EXPECT_EQ(saveImageFile(file("keep.wmf"), testPicture(false), 42).error, CodecError::NotSupported);
    EXPECT_EQ(readBytes("keep.wmf"), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.wmf")}); // no leftovers

    const CodecResult r = saveImageFile(file("no/such/folder/x.png"), testPicture(false), SaveType::Png);
    EXPECT_EQ(r.error, CodecError::CannotWrite);
    EXPECT_FALSE(QFile::exists(file("no/such/folder/x.png")));

    // A successful save replaces the old file whole.
    ASSERT_TRUE(saveImageFile(file("keep.wmf"), testPicture(false), SaveType::Wmf).ok);
    EXPECT_NE(readBytes("keep.wmf"), old);
    EXPECT_TRUE(load("keep.wmf").ok);
}
