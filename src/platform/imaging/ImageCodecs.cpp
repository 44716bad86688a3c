// Encodes a picture for the format it is saved as and puts the file in place; tells which
// extensions the loader reads. The decoders are in ImageDecoding.cpp: they run in the picture
// reader's helper, not in the program.
#include "platform/imaging/ImageCodecs.h"

#include "platform/files/AtomicFile.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MagickModule.h"
#include "platform/imaging/codecs/MetafileCodec.h"
#include "platform/imaging/codecs/PictureFormat.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <new>

namespace platform {

using codecs::failed;
using codecs::succeeded;

namespace {

// JPEG, TGA and PCX store their sides in 16 bits.
constexpr int kSixteenBitSide = 65535;

CodecResult qtWrite(const QImage &image, const char *format, int quality, QByteArray &out)
{
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (qstrcmp(format, "tiff") == 0)
        writer.setCompression(1); // LZW
    if (!writer.write(image))
        return failed(CodecError::CannotWrite,
                      QStringLiteral("The picture could not be encoded: %1").arg(writer.errorString()));
    return succeeded();
}

CodecResult encode(const QImage &image, int saveType, int jpegQuality, QByteArray &out)
{
    const bool sixteenBitSides = image.width() <= kSixteenBitSide && image.height() <= kSixteenBitSide;
    const auto tooLarge = [] {
        return failed(CodecError::TooLarge, QStringLiteral("The picture is too large for this file type."));
    };
    // Formats with alpha get it only when the picture has transparent pixels.
    const auto withAlpha = [&] {
        return codecs::isOpaque(image) ? image.convertToFormat(QImage::Format_RGB32)
                                       : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    switch (saveType) {
    case SaveType::Jpeg:
        if (!sixteenBitSides)
            return tooLarge();
        return qtWrite(codecs::onWhite(image), "jpeg", std::clamp(jpegQuality, 0, 100), out);
    case SaveType::Png: return qtWrite(withAlpha(), "png", -1, out);
    case SaveType::Tiff: return qtWrite(withAlpha(), "tiff", -1, out);
    case SaveType::Bmp: return qtWrite(codecs::onWhite(image), "bmp", -1, out);
    case SaveType::Wbmp: return qtWrite(codecs::onWhite(image), "wbmp", -1, out);
    case SaveType::Pcx:
        if (!sixteenBitSides)
            return tooLarge();
        return codecs::magickWriteThroughModule(codecs::onWhite(image), "PCX", out);
    case SaveType::Tga:
        if (!sixteenBitSides)
            return tooLarge();
        return codecs::magickWriteThroughModule(image, "TGA", out);
    case SaveType::Psd: return codecs::magickWriteThroughModule(image, "PSD", out);
    case SaveType::Wmf: return codecs::writeWmf(image, out);
    case SaveType::Emf: return codecs::writeEmf(image, out);
    default: break;
    }
    return failed(CodecError::NotSupported, QStringLiteral("Save type %1 is not supported.").arg(saveType));
}

} // namespace

bool isSupportedForReading(const QString &extension)
{
    return codecs::formatForExtension(extension) != codecs::Format::Unknown;
}

CodecResult saveImageFile(const QString &path, const QImage &image, int saveType, int jpegQuality)
{
    if (saveType < SaveType::Jpeg || saveType > SaveType::Wbmp)
        return failed(CodecError::NotSupported, QStringLiteral("Save type %1 is not supported.").arg(saveType));
    if (image.isNull())
        return failed(CodecError::CannotWrite, QStringLiteral("There is no picture to save."));
    QByteArray bytes;
    try {
        if (CodecResult r = encode(image, saveType, jpegQuality, bytes); !r.ok)
            return r;
    } catch (const std::bad_alloc &) {
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory to encode the picture."));
    }
    QString why;
    if (!writeFileAtomically(path, bytes, &why))
        return failed(CodecError::CannotWrite, QStringLiteral("The picture could not be saved: %1").arg(why));
    return succeeded();
}

} // namespace platform
