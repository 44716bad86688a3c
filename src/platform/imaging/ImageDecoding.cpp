// The decoders: picks the codec for a picture. Of our own here are only the signature tests,
// the few header fields read before a library decodes and the walk over a compressed file's
// blocks (codecs/PictureLayout): each library picks formats and sizes its own way, and the
// decoders have to decide the same way for all of them, refusing early a picture whose header
// is past the limits and one that was cut short. What decoding costs beside that is bounded
// by the picture reader's process limits: these run in its helper.
#include "platform/imaging/ImageDecoding.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MagickModule.h"
#include "platform/imaging/codecs/MetafileCodec.h"
#include "platform/imaging/codecs/PictureFormat.h"
#include "platform/imaging/codecs/PictureLayout.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <limits>
#include <optional>
#include <new>

namespace platform {

using codecs::damaged;
using codecs::failed;
using codecs::Format;
using codecs::formatForExtension;
using codecs::succeeded;
using codecs::tooLarge;
using codecs::unreadable;

namespace {

// The extension of a file name or address: the last dot of the last path part, with any
// query or fragment of an address left off.
QString extensionOfHint(const QString &hint)
{
    QString name = hint;
    for (const QChar c : {u'?', u'#'}) {
        const qsizetype cut = name.indexOf(c);
        if (cut >= 0)
            name.truncate(cut);
    }
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    name = name.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

// The bytes sniff() looks at.
constexpr qsizetype kSniffBytes = 128;

// The format by its signature; Unknown for formats without one (TGA, WBMP) or other data.
Format sniff(const QByteArray &d)
{
    const auto u8 = [&](int i) { return quint8(d.at(i)); };
    const auto u16 = [&](int i) { return qFromLittleEndian<quint16>(d.constData() + i); };
    const auto u32 = [&](int i) { return qFromLittleEndian<quint32>(d.constData() + i); };
    const qsizetype n = d.size();
    if (n >= 3 && u8(0) == 0xFF && u8(1) == 0xD8 && u8(2) == 0xFF)
        return Format::Jpeg;
    const auto starts = [&](const char *sig, qsizetype len) { return d.startsWith(QByteArrayView(sig, len)); };
    if (starts("\x89PNG\r\n\x1a\n", 8))
        return Format::Png;
    if (starts("GIF87a", 6) || starts("GIF89a", 6))
        return Format::Gif;
    // TIFF and BigTIFF in either byte order
    if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
        return Format::Tiff;
    if (d.startsWith("8BPS"))
        return Format::Psd;
    if (n >= 14 && d.startsWith("BM"))
        return Format::Bmp;
    if (n >= 4 && u32(0) == 0x9AC6CDD7) // placeable metafile
        return Format::Wmf;
    if (n >= 18 && (u16(0) == 1 || u16(0) == 2) && u16(2) == 9 && (u16(4) == 0x0100 || u16(4) == 0x0300))
        return Format::Wmf;
    if (n >= 44 && u32(0) == 1 && d.mid(40, 4) == " EMF")
        return Format::Emf;
    if (n >= 128 && u8(0) == 0x0A && u8(1) <= 5 && u8(1) != 1 && u8(2) <= 1 &&
        (u8(3) == 1 || u8(3) == 2 || u8(3) == 4 || u8(3) == 8))
        return Format::Pcx;
    return Format::Unknown;
}

// The picture size a header declares, for the formats whose readers cannot be asked before
// they decode (ImageMagick refuses some sizes with errors that do not say so, Qt's BMP
// reader reports no size for a picture it will not read). Empty when the header is short.
std::optional<QSize> declaredSize(Format format, const QByteArray &d)
{
    const auto le16 = [&](int i) { return int(qFromLittleEndian<quint16>(d.constData() + i)); };
    const auto le32 = [&](int i) { return qFromLittleEndian<qint32>(d.constData() + i); };
    const auto be32 = [&](int i) { return qFromBigEndian<quint32>(d.constData() + i); };
    const auto clamped = [](qint64 v) { return int(std::min<qint64>(std::abs(v), std::numeric_limits<int>::max())); };
    switch (format) {
    case Format::Psd:
        if (d.size() >= 26)
            return QSize(clamped(be32(18)), clamped(be32(14)));
        break;
    case Format::Pcx:
        if (d.size() >= 128)
            return QSize(le16(8) - le16(4) + 1, le16(10) - le16(6) + 1);
        break;
    case Format::Tga:
        if (d.size() >= 18)
            return QSize(le16(12), le16(14));
        break;
    case Format::Bmp:
        if (d.size() >= 26 && le32(14) == 12)
            return QSize(le16(18), le16(20));
        if (d.size() >= 26)
            return QSize(clamped(le32(18)), clamped(le32(22)));
        break;
    default: break;
    }
    return std::nullopt;
}

// Qt's BMP reader fills missing rows instead of failing; an uncompressed bitmap must hold all
// the rows its header declares.
bool bmpHasAllRows(const QByteArray &d)
{
    if (d.size() < 34 || qFromLittleEndian<qint32>(d.constData() + 14) < 40)
        return true; // old core header or too short: left to the reader
    const quint32 compression = qFromLittleEndian<quint32>(d.constData() + 30);
    if (compression != 0 && compression != 3 && compression != 6) // run-length coded and others
        return true;
    const qint64 offset = qFromLittleEndian<quint32>(d.constData() + 10);
    const qint64 width = std::abs(qint64(qFromLittleEndian<qint32>(d.constData() + 18)));
    const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(d.constData() + 22)));
    const qint64 bits = qFromLittleEndian<quint16>(d.constData() + 28);
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return offset + rowBytes * height <= d.size();
}

bool is32Bit(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Reads with one of Qt's readers, into the allocator's memory where the picture comes whole
// in 32 bits a pixel.
CodecResult qtRead(const QByteArray &data, const char *format, QImage &out, const PixelAllocator &allocate)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false); // the format is known: no other reader is tried
    reader.setAllocationLimit(0); // the reader's process is bounded as a whole
    reader.setAutoTransform(true); // photos stand as the camera meant them
    const QSize size = reader.size();
    if (size.isValid() && !withinPictureLimits(size))
        return tooLarge(size);
    QImage image;
    const QImage::Format decoded = reader.imageFormat();
    if (allocate && size.isValid() && is32Bit(decoded) &&
        reader.transformation() == QImageIOHandler::TransformationNone)
        image = allocate(size, decoded); // the reader decodes into a picture of its size and format
    const uchar *given = image.constBits();
    if (!reader.read(&image) || image.isNull())
        return unreadable();
    if (!withinPictureLimits(image.size()))
        return tooLarge(image.size());
    if (given && image.constBits() == given && toOutputFormatInPlace(image)) {
        out = image;
        return succeeded();
    }
    if (QImage shared = toOutputFormatInto(image, allocate); !shared.isNull()) {
        out = shared;
        return succeeded();
    }
    out = codecs::toOutputFormat(std::move(image));
    if (out.isNull())
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    return succeeded();
}

CodecResult decode(const QByteArray &data, Format byExtension, QImage &out, const PixelAllocator &allocate)
{
    if (data.isEmpty())
        return failed(CodecError::CannotDecode, QStringLiteral("The file is empty."));
    Format format = sniff(data);
    if (format == Format::Unknown) {
        // Every file of these types begins with its signature: without one the file holds no
        // such picture, whatever its name says (and is not one cut short).
        if (byExtension == Format::Jpeg || byExtension == Format::Png || byExtension == Format::Gif
            || byExtension == Format::Tiff || byExtension == Format::Psd || byExtension == Format::Bmp)
            return failed(CodecError::CannotDecode, QStringLiteral("The file holds no picture of the type its name gives."));
        format = byExtension;
    }
    if (const std::optional<QSize> size = declaredSize(format, data); size && !withinPictureLimits(*size))
        return tooLarge(*size);
    if ((format == Format::Bmp && (!bmpHasAllRows(data) || !codecs::bmpRunsComplete(data))) ||
        (format == Format::Png && !codecs::pngChunksComplete(data)))
        return damaged(QStringLiteral("the picture is cut short."));
    if (format == Format::Jpeg || format == Format::Gif) {
        const std::optional<codecs::PictureLayout> layout =
            format == Format::Jpeg ? codecs::jpegLayout(data) : codecs::gifLayout(data);
        if (!layout)
            return failed(CodecError::CannotDecode, QStringLiteral("The picture has no readable header."));
        if (!withinPictureLimits(layout->size))
            return tooLarge(layout->size);
        if (!layout->complete)
            return damaged(QStringLiteral("the picture is cut short."));
    }
    try {
        switch (format) {
        case Format::Jpeg: return qtRead(data, "jpeg", out, allocate);
        case Format::Png: return qtRead(data, "png", out, allocate);
        case Format::Gif: return qtRead(data, "gif", out, allocate);
        case Format::Bmp: return qtRead(data, "bmp", out, allocate);
        case Format::Tiff: return qtRead(data, "tiff", out, allocate);
        case Format::Wbmp: return qtRead(data, "wbmp", out, allocate);
        case Format::Psd: return codecs::magickReadThroughModule(data, "PSD", out, allocate);
        case Format::Pcx: return codecs::magickReadThroughModule(data, "PCX", out, allocate);
        case Format::Tga: return codecs::magickReadThroughModule(data, "TGA", out, allocate);
        case Format::Wmf: return codecs::magickReadThroughModule(data, "WMF", out, allocate);
        case Format::Emf: return codecs::readEmf(data, out);
        case Format::Unknown: break;
        }
    } catch (const std::bad_alloc &) {
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    }
    return failed(CodecError::NotSupported, QStringLiteral("The picture type is not supported."));
}

} // namespace

CodecResult readPictureFile(const QString &path, QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(CodecError::CannotDecode,
                      QStringLiteral("The file cannot be opened: %1").arg(file.errorString()));
    if (file.size() > kMaxPictureFileBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The file is too large."));
    return readPictureBytes(file.handle(), data);
}

CodecResult readPictureBytes(int fd, QByteArray &data)
{
    try {
        struct stat st{};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < kMaxPictureFileBytes)
            data.reserve(qsizetype(st.st_size) + 1);
        // Read in pieces, so that a file that grows while it is read stops at the limit.
        constexpr qsizetype kPiece = 4 * 1024 * 1024;
        for (;;) {
            const qsizetype at = data.size();
            if (at + kPiece > kMaxPictureFileBytes + 1)
                data.resize(kMaxPictureFileBytes + 1);
            else
                data.resize(at + kPiece);
            const ssize_t n = ::read(fd, data.data() + at, size_t(data.size() - at));
            if (n < 0 && errno == EINTR) {
                data.resize(at);
                continue;
            }
            if (n < 0) {
                const int error = errno;
                data.clear();
                return failed(CodecError::CannotDecode,
                              QStringLiteral("The file cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(error))));
            }
            data.resize(at + n);
            if (data.size() > kMaxPictureFileBytes) {
                data.clear();
                return failed(CodecError::TooLarge, QStringLiteral("The file is too large."));
            }
            if (n == 0)
                break;
        }
    } catch (const std::bad_alloc &) {
        data.clear();
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the file."));
    }
    return succeeded();
}

CodecResult decodeImageFile(const QString &path, QImage &out, const PixelAllocator &allocate)
{
    if (formatForExtension(QFileInfo(path).suffix()) == Format::Unknown)
        return failed(CodecError::NotSupported, QStringLiteral("The picture type is not supported: %1").arg(path));
    QByteArray data;
    if (CodecResult r = readPictureFile(path, data); !r.ok)
        return r;
    return decodeFileBytes(data, path, out, allocate);
}

CodecResult decodeFileBytes(const QByteArray &data, const QString &path, QImage &out, const PixelAllocator &allocate)
{
    const Format byExtension = formatForExtension(QFileInfo(path).suffix());
    if (byExtension == Format::Unknown)
        return failed(CodecError::NotSupported, QStringLiteral("The picture type is not supported: %1").arg(path));
    return decode(data, byExtension, out, allocate);
}

CodecResult decodeImageData(const QByteArray &data, const QString &nameHint, QImage &out, const PixelAllocator &allocate)
{
    if (data.size() > kMaxPictureFileBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The data is too large."));
    return decode(data, formatForExtension(extensionOfHint(nameHint)), out, allocate);
}

DecoderNeeds decoderNeeds(const QByteArray &data, const QString &name, bool fromFile)
{
    Format format = sniff(data.left(kSniffBytes));
    if (format == Format::Unknown)
        format = formatForExtension(fromFile ? QFileInfo(name).suffix() : extensionOfHint(name));
    switch (format) {
    case Format::Jpeg: return {Decoder::Qt, "jpeg", false};
    case Format::Png: return {Decoder::Qt, "png", false};
    case Format::Gif: return {Decoder::Qt, "gif", false};
    case Format::Bmp: return {Decoder::Qt, "bmp", false};
    case Format::Tiff: return {Decoder::Qt, "tiff", false};
    case Format::Wbmp: return {Decoder::Qt, "wbmp", false};
    case Format::Psd: return {Decoder::Magick, "PSD", false};
    case Format::Pcx: return {Decoder::Magick, "PCX", false};
    case Format::Tga: return {Decoder::Magick, "TGA", false};
    case Format::Wmf: return {Decoder::Magick, "WMF", true};
    case Format::Emf: return {Decoder::Metafile, "EMF", true};
    case Format::Unknown: break;
    }
    return {};
}

namespace {

// A reader's plugin is loaded as a reader is made for its format.
void prepareQtReader(const char *format)
{
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    QImageReader reader(&empty, format);
    reader.setAutoDetectImageFormat(false); // no other plugin is tried
    reader.canRead();
}

} // namespace

bool prepareDecoder(const DecoderNeeds &needs, QString &why)
{
    switch (needs.decoder) {
    case Decoder::None: return true;
    case Decoder::Qt: prepareQtReader(needs.format); return true;
    case Decoder::Magick: return codecs::prepareMagickThroughModule(needs.format, why);
    case Decoder::Metafile:
        // The pictures a metafile holds are read by Qt's readers.
        for (const char *format : {"jpeg", "png", "gif", "bmp", "tiff", "wbmp"})
            prepareQtReader(format);
        return codecs::prepareEmf(why);
    }
    return true;
}

} // namespace platform
