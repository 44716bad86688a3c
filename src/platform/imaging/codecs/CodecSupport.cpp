#include "platform/imaging/codecs/CodecSupport.h"

namespace platform::codecs {

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

} // namespace platform::codecs
