#include "platform/imaging/codecs/MagickCodec.h"

#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MagickSetup.h"

#include <Magick++.h>

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>
#include <vector>

namespace platform::codecs {

namespace {

// Metafiles have no pixels of their own; this is the resolution they are rendered at, the
// screen resolution the program measures in, lowered where the frame would pass one megapixel.
constexpr double kMetafileDpi = 96.0;

// An image with the read options every decode uses; density is a metafile's resolution.
Magick::Image preparedImage(const char *format, double density = kMetafileDpi)
{
    Magick::Image image;
    image.quiet(true); // warnings (odd but readable files) are not failures
    image.subRange(1); // the first frame only: the merged picture of a PSD
    if (std::strcmp(format, "WMF") == 0) {
        // Set as text: a fraction of a dot an inch renders a frame of miles.
        const std::string text = QStringLiteral("%1x%1").arg(density, 0, 'f', 6).toStdString();
        MagickCore::CloneString(&image.imageInfo()->density, text.c_str());
        image.backgroundColor(Magick::Color("white"));
    }
    image.magick(format);
    return image;
}

// A PSD file carries the merged picture (laid on white where it is transparent, as Photoshop
// stores it; ImageMagick takes the white out again, to within rounding) and the layers. A
// picture made of one layer covering the whole canvas is read from that layer, which holds
// its transparency exactly.
bool psdHasSingleFullLayer(const QByteArray &d, qint64 width, qint64 height)
{
    const qsizetype n = d.size();
    qsizetype pos = 26; // the file header
    if (n < pos)
        return false;
    const auto be16 = [&](qsizetype at) { return qFromBigEndian<qint16>(d.constData() + at); };
    const auto be32 = [&](qsizetype at) { return qFromBigEndian<quint32>(d.constData() + at); };
    const auto be64 = [&](qsizetype at) { return qFromBigEndian<quint64>(d.constData() + at); };
    const bool large = be16(4) == 2; // PSB: section lengths of 8 bytes
    const auto sectionLength = [&](bool wide, quint64 &length) {
        const int bytes = wide ? 8 : 4;
        if (pos + bytes > n)
            return false;
        length = wide ? be64(pos) : be32(pos);
        pos += bytes;
        return length <= quint64(n - pos);
    };
    quint64 length = 0;
    for (int section = 0; section < 2; ++section) { // colour mode data, image resources
        if (!sectionLength(false, length))
            return false;
        pos += qsizetype(length);
    }
    if (!sectionLength(large, length) || length == 0) // layer and mask information
        return false;
    if (!sectionLength(large, length) || length < 2 + 16) // layer information
        return false;
    const qint16 count = be16(pos); // negative: the merged picture's first extra channel is alpha
    pos += 2;
    if (count != 1 && count != -1)
        return false;
    const auto top = qint32(be32(pos)), left = qint32(be32(pos + 4));
    const auto bottom = qint32(be32(pos + 8)), right = qint32(be32(pos + 12));
    return top == 0 && left == 0 && bottom == height && right == width;
}

// Copies the pixels of a read image into a QImage: straight into 32 bits a pixel (BGRA in
// memory is Qt's ARGB32), premultiplied in place; into the allocator's memory where it gives some.
CodecResult toQImage(Magick::Image &image, QImage &out, const PixelAllocator &allocate)
{
    if (image.colorSpace() != Magick::sRGBColorspace && image.colorSpace() != Magick::GRAYColorspace)
        image.colorSpace(Magick::sRGBColorspace);
    const QSize size(int(image.columns()), int(image.rows()));
    QImage result = allocate ? allocate(size, QImage::Format_ARGB32) : QImage();
    const bool shared = !result.isNull();
    if (!shared)
        result = QImage(size, QImage::Format_ARGB32);
    if (result.isNull())
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "BGRA bytes are ARGB32 words on little-endian machines only");
    const bool alpha = image.matte(); // without it, the opacity ImageMagick keeps means nothing
    for (int y = 0; y < result.height(); ++y) {
        image.write(0, y, size_t(result.width()), 1, "BGRA", Magick::CharPixel, result.scanLine(y));
        if (!alpha) {
            auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
            for (int x = 0; x < result.width(); ++x)
                line[x] |= 0xFF000000u;
        }
    }
    if (shared && toOutputFormatInPlace(result))
        out = result;
    else
        out = toOutputFormat(std::move(result));
    return succeeded();
}

// A warning that the picture could be read only in part; other warnings are about odd but
// readable files.
bool isTruncationWarning(const Magick::Warning &w)
{
    return dynamic_cast<const Magick::WarningCorruptImage *>(&w) || std::strstr(w.what(), "UnexpectedEndOfFile") ||
           std::strstr(w.what(), "unexpected end") || std::strstr(w.what(), "insufficient image data");
}

// The resolution that renders a metafile of width x height pixels at kMetafileDpi within one
// megapixel and the limits, and within ImageMagick's own limits, which the system policy may
// set lower (Debian's: 16000 pixels a side).
double metafileDensity(qint64 width, qint64 height)
{
    const double w = double(width), h = double(height);
    double f = fitFactor(w, h, std::min(double(Magick::ResourceLimits::area()), kMaxMetafilePixels));
    const double sideW = double(Magick::ResourceLimits::width()) - 1;
    const double sideH = double(Magick::ResourceLimits::height()) - 1;
    f = std::min({f, sideW / w, sideH / h});
    return kMetafileDpi * f * 0.99; // the renderer rounds its canvas up
}

} // namespace

CodecResult magickRead(const QByteArray &data, const char *format, QImage &out, const PixelAllocator &allocate)
{
    initMagick();
    qint64 w = 0, h = 0;
    const auto sizeOf = [&] { return QSize(int(std::min<qint64>(w, INT_MAX)), int(std::min<qint64>(h, INT_MAX))); };
    try {
        const Magick::Blob blob(data.constData(), size_t(data.size()));

        // Look at the size first, without decoding pixels.
        const bool metafile = std::strcmp(format, "WMF") == 0;
        Magick::Image probe = preparedImage(format);
        probe.ping(blob);
        w = qint64(probe.columns());
        h = qint64(probe.rows());
        if (w <= 0 || h <= 0)
            return failed(CodecError::CannotDecode, QStringLiteral("The picture has no size."));
        double density = kMetafileDpi;
        if (metafile && (density = metafileDensity(w, h)) < kMetafileDpi) {
            // Rendered smaller, to fit the limits.
            probe = preparedImage(format, density);
            probe.ping(blob);
            w = qint64(probe.columns());
            h = qint64(probe.rows());
        }
        // A PSD read from its layer holds the merged picture beside it.
        const bool fromLayer = std::strcmp(format, "PSD") == 0 && psdHasSingleFullLayer(data, w, h);
        if (!withinPictureLimits(sizeOf()))
            return tooLarge(sizeOf());

        if (fromLayer) {
            Magick::ReadOptions options;
            options.quiet(true);
            std::vector<Magick::Image> frames;
            Magick::readImages(&frames, blob, options);
            if (frames.size() == 2 && frames[1].columns() == size_t(w) && frames[1].rows() == size_t(h))
                return toQImage(frames[1], out, allocate);
        }
        Magick::Image image = preparedImage(format, density);
        image.quiet(false); // a picture read only in part comes with a warning
        try {
            image.read(blob);
        } catch (const Magick::Warning &warning) {
            if (isTruncationWarning(warning))
                return damaged(QStringLiteral("the picture is cut short."));
        }
        if (image.columns() != size_t(w) || image.rows() != size_t(h))
            return failed(CodecError::CannotDecode, QStringLiteral("The picture could not be decoded."));
        return toQImage(image, out, allocate);
    } catch (const Magick::Exception &e) {
        if (isLimitError(e))
            return w > 0 && h > 0 ? tooLarge(sizeOf())
                                  : failed(CodecError::TooLarge, QStringLiteral("The picture is too large."));
        return unreadable();
    } catch (const std::bad_alloc &) {
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    } catch (const std::exception &) {
        return unreadable();
    }
}

bool prepareMagick(const char *format, QString &why)
{
    initMagick();
    // What ImageMagick reads from the file system the first time it is asked for it: the
    // coder modules (a WMF's pictures are DIBs, its texts drawn with the fonts of the type
    // lists), the tables of signatures, colours, types and MIME types, the texts of its
    // messages; and the C library's time zone, for the dates it notes.
    MagickCore::ExceptionInfo *exception = MagickCore::AcquireExceptionInfo();
    bool ok = true;
    const bool metafile = std::strcmp(format, "WMF") == 0;
    for (const char *coder : {format, metafile ? "DIB" : nullptr, "MIFF"}) {
        if (coder && !MagickCore::GetMagickInfo(coder, exception)) {
            why = QStringLiteral("ImageMagick has no %1 reader").arg(QLatin1String(coder));
            ok = false;
        }
    }
    const unsigned char none[1] = {0};
    MagickCore::GetMagicInfo(none, 1, exception);
    MagickCore::GetColorInfo("white", exception);
    MagickCore::GetMimeInfo(nullptr, none, 1, exception);
    MagickCore::GetDelegateInfo(format, nullptr, exception);
    if (metafile)
        MagickCore::GetTypeInfo("*", exception);
    MagickCore::GetLocaleMessage("UnableToReadImage");
    MagickCore::DestroyExceptionInfo(exception);
    tzset();
    return ok;
}

} // namespace platform::codecs

// The reading side of the ImageMagick module (pelmora-magick.so), which the picture reader's
// helper loads for the pictures ImageMagick reads.
extern "C" Q_DECL_EXPORT bool pelmoraMagickPrepare(const char *format, QString &why)
{
    return platform::codecs::prepareMagick(format, why);
}

extern "C" Q_DECL_EXPORT platform::CodecResult pelmoraMagickRead(const QByteArray &data, const char *format,
                                                               QImage &out, const platform::PixelAllocator &allocate)
{
    return platform::codecs::magickRead(data, format, out, allocate);
}
