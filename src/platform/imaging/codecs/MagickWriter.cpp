// Writing PSD, PCX and TGA through ImageMagick. The program loads this as a module of its own
// (pelmora-magick.so) when it first saves one of them, so that it starts without ImageMagick
// and the libraries ImageMagick brings; the picture reader's helper reads them in its process.
#include "platform/imaging/codecs/MagickCodec.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MagickSetup.h"

#include <cstring>
#include <new>
#include <vector>

namespace platform::codecs {

namespace {

// The pixels packed row after row, as ImageMagick takes them: RGBA (not premultiplied) or
// RGB. colourSource, when given, supplies the colour channels and image only the alpha.
std::vector<unsigned char> packPixels(const QImage &image, bool alpha, const QImage &colourSource = {})
{
    const QImage src = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const size_t rowBytes = size_t(src.width()) * (alpha ? 4 : 3);
    std::vector<unsigned char> pixels(rowBytes * size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(pixels.data() + rowBytes * size_t(y), src.constScanLine(y), rowBytes);
    if (alpha && !colourSource.isNull()) {
        const QImage colours = colourSource.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < colours.height(); ++y) {
            const uchar *from = colours.constScanLine(y);
            unsigned char *to = pixels.data() + rowBytes * size_t(y);
            for (int x = 0; x < colours.width(); ++x)
                std::memcpy(to + 4 * x, from + 3 * x, 3);
        }
    }
    return pixels;
}

Magick::Image magickImage(const QImage &image, bool alpha, const char *format, const QImage &colourSource = {})
{
    const std::vector<unsigned char> pixels = packPixels(image, alpha, colourSource);
    Magick::Image mi(size_t(image.width()), size_t(image.height()), alpha ? "RGBA" : "RGB", Magick::CharPixel,
                     pixels.data());
    mi.quiet(true);
    mi.depth(8);
    mi.magick(format);
    return mi;
}

} // namespace

CodecResult magickWrite(const QImage &image, const char *format, QByteArray &out)
{
    initMagick();
    const bool alpha = !isOpaque(image);
    try {
        Magick::Blob blob;
        if (alpha && std::strcmp(format, "PSD") == 0) {
            // The merged picture on white with its alpha, then the picture itself as the layer.
            std::vector<Magick::Image> frames{magickImage(image, true, format, onWhite(image)),
                                              magickImage(image, true, format)};
            Magick::writeImages(frames.begin(), frames.end(), &blob, true);
        } else {
            Magick::Image mi = magickImage(image, alpha, format);
            mi.write(&blob);
        }
        if (blob.length() == 0)
            return failed(CodecError::CannotWrite, QStringLiteral("The picture could not be encoded."));
        out = QByteArray(static_cast<const char *>(blob.data()), qsizetype(blob.length()));
        return succeeded();
    } catch (const Magick::Exception &e) {
        return failed(isLimitError(e) ? CodecError::TooLarge : CodecError::CannotWrite,
                      QStringLiteral("The picture could not be encoded."));
    } catch (const std::bad_alloc &) {
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    } catch (const std::exception &) {
        return failed(CodecError::CannotWrite, QStringLiteral("The picture could not be encoded."));
    }
}

} // namespace platform::codecs

extern "C" Q_DECL_EXPORT platform::CodecResult pelmoraMagickWrite(const QImage &image, const char *format,
                                                                QByteArray &out)
{
    return platform::codecs::magickWrite(image, format, out);
}
