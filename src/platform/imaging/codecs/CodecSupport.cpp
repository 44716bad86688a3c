#include "platform/imaging/codecs/CodecSupport.h"

#include <algorithm>
#include <cmath>

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

CodecResult checkCost(const QSize &size, double bytesPerPixel, qint64 fixedBytes)
{
    if (!withinPictureLimits(size))
        return tooLarge(size);
    const double cost = double(size.width()) * size.height() * bytesPerPixel + double(fixedBytes);
    if (cost > double(kMaxDecodeBytes))
        return tooLarge(size);
    return succeeded();
}

double fitFactor(double width, double height, double bytesPerPixel, qint64 fixedBytes)
{
    const double maxPixels =
        std::min(double(kMaxImagePixels), std::max(0.0, double(kMaxDecodeBytes - fixedBytes) / bytesPerPixel));
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
