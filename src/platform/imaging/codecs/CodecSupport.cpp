#include "platform/imaging/codecs/CodecSupport.h"

#include "platform/imaging/ImageDecoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

bool withinPictureLimits(const QSize &size)
{
    return size.width() <= kMaxImageSide && size.height() <= kMaxImageSide &&
           qint64(size.width()) * size.height() <= kMaxImagePixels;
}

PictureTooLarge::PictureTooLarge(const QSize &size)
    : size_(size), text_(QStringLiteral("The picture would be too large (%1 x %2 pixels).")
                             .arg(size.width())
                             .arg(size.height())
                             .toStdString())
{
}

void requireWithinPictureLimits(const QSize &size)
{
    if (!withinPictureLimits(size))
        throw PictureTooLarge(size);
}

namespace {

// The picture in Format_ARGB32_Premultiplied written to target (rows of targetBpl bytes), a
// band at a time through Qt's own conversion, so that the values are those of
// convertToFormat and no second whole picture is made. target may be the source's own memory.
bool convertInto(const QImage &source, uchar *target, qsizetype targetBpl)
{
    constexpr int kRows = 64;
    const int w = source.width(), h = source.height();
    if (source.format() == QImage::Format_RGB32) {
        // Its pixels are those of the premultiplied format already (0xffRRGGBB), as Qt's own
        // conversion takes them.
        if (source.constBits() != target)
            for (int y = 0; y < h; ++y)
                std::memcpy(target + qsizetype(y) * targetBpl, source.constScanLine(y), size_t(w) * 4);
        return true;
    }
    for (int y = 0; y < h; y += kRows) {
        const int rows = std::min(kRows, h - y);
        // The band where it is, converted into a band of its own.
        QImage view(source.constScanLine(y), w, rows, source.bytesPerLine(), source.format());
        view.setColorTable(source.colorTable());
        const QImage band = view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (band.isNull())
            return false;
        for (int r = 0; r < rows; ++r)
            std::memcpy(target + qsizetype(y + r) * targetBpl, band.constScanLine(r), size_t(w) * 4);
    }
    return true;
}

} // namespace

bool toOutputFormatInPlace(QImage &image)
{
    const QImage::Format format = image.format();
    if (format == QImage::Format_ARGB32_Premultiplied)
        return true;
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32)
        return false;
    const int w = image.width(), h = image.height();
    const qsizetype bpl = image.bytesPerLine();
    uchar *bits = image.bits(); // over memory the caller keeps: no copy is made
    if (!convertInto(image, bits, bpl))
        return false;
    image = QImage(bits, w, h, bpl, QImage::Format_ARGB32_Premultiplied);
    return true;
}

QImage toOutputFormatInto(const QImage &image, const PixelAllocator &allocate)
{
    if (!allocate || image.isNull())
        return {};
    QImage target = allocate(image.size(), QImage::Format_ARGB32_Premultiplied);
    if (target.isNull() || !convertInto(image, target.bits(), target.bytesPerLine()))
        return {};
    return target;
}

} // namespace platform

namespace platform::codecs {

CodecResult tooLarge(const QSize &size)
{
    CodecResult r = failed(CodecError::TooLarge,
                           QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(size.width()).arg(size.height()));
    r.size = size;
    return r;
}

CodecResult damaged(const QString &why)
{
    return failed(CodecError::CannotDecode, QStringLiteral("The file is damaged: %1").arg(why));
}

CodecResult unreadable()
{
    return failed(CodecError::CannotDecode, QStringLiteral("The file is damaged or is no picture of its type."));
}

double fitFactor(double width, double height, double maxPixels)
{
    maxPixels = std::min(double(kMaxImagePixels), maxPixels);
    double f = 1.0;
    if (width > kMaxImageSide)
        f = std::min(f, kMaxImageSide / width);
    if (height > kMaxImageSide)
        f = std::min(f, kMaxImageSide / height);
    const double pixels = std::max(width, 1.0) * std::max(height, 1.0);
    if (pixels * f * f > maxPixels)
        f = std::min(f, std::sqrt(maxPixels / pixels));
    return f;
}

bool isOpaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    // Over white, a premultiplied channel c of alpha a becomes c + (255 - a): exact in
    // integers, so opaque pixels keep their values bit for bit.
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            const int lift = 255 - qAlpha(p);
            line[x] = qRgb(qRed(p) + lift, qGreen(p) + lift, qBlue(p) + lift);
        }
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage toOutputFormat(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

QImage toOutputFormat(QImage &&image)
{
    QImage out = std::move(image);
    out.convertTo(QImage::Format_ARGB32_Premultiplied);
    return out;
}

} // namespace platform::codecs
