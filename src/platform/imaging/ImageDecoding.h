#pragma once
// The decoders themselves, in the calling process. Only the picture reader's helper process
// (and the fuzz targets, which look for their crashes) call them: the program loads pictures
// through loadImageFile and loadImageData, which run them in that helper.
#include "platform/imaging/ImageCodecs.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace platform {

// Where a decoder may put a picture of 32 bits a pixel (RGB32, ARGB32 or premultiplied) that
// it is about to decode whole: a picture over memory the caller keeps, or a null one where
// the caller has none. Rows are 4 x width bytes.
using PixelAllocator = std::function<QImage(QSize, QImage::Format)>;

// Decodes a picture file, with the limits, checks and results loadImageFile describes. The
// result is Format_ARGB32_Premultiplied: over the allocator's memory where the decoder could
// decode into it, else over memory of its own. decodeFileBytes decodes a file's bytes read
// before (the name gives the type where the content does not).
CodecResult decodeImageFile(const QString &path, QImage &out, const PixelAllocator &allocate = {});
CodecResult decodeFileBytes(const QByteArray &data, const QString &path, QImage &out,
                            const PixelAllocator &allocate = {});
CodecResult decodeImageData(const QByteArray &data, const QString &nameHint, QImage &out,
                            const PixelAllocator &allocate = {});

// Decodes a picture file small, for a preview: reads the picture's size (refusing a picture
// above the limits), asks targetFor for the size to show it at and decodes a JPEG at about
// that size (the decoder scales while it decodes); other formats are decoded whole and
// scaled. original receives the picture's own size, upright; out is exactly the size
// targetFor gave (the picture's own where that is not valid). decodePreviewBytes does so
// with the file's bytes read before.
CodecResult decodePreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                              QSize &original);
CodecResult decodePreviewBytes(const QByteArray &data, const QString &path,
                               const std::function<QSize(QSize)> &targetFor, QImage &out, QSize &original);

// Reads a whole picture file, refusing one past kMaxPictureFileBytes before it is held;
// readPictureBytes reads one from an open descriptor to its end.
CodecResult readPictureFile(const QString &path, QByteArray &data);
CodecResult readPictureBytes(int fd, QByteArray &data);

// The library that decodes these bytes (of a file or of a picture held in memory; name gives
// the type where the content does not), and what it needs in the process before it decodes.
enum class Decoder {
    None,     // no library reads these bytes
    Qt,       // Qt's image readers
    Magick,   // ImageMagick (PSD, PCX, TGA, WMF)
    Metafile, // libemf2svg and QtSvg (EMF), which draw texts with a GUI application's fonts
};
struct DecoderNeeds {
    Decoder decoder = Decoder::None;
    const char *format = nullptr; // the reader's name for the format
    bool fonts = false;           // texts in the picture are drawn with the system's fonts
};
DecoderNeeds decoderNeeds(const QByteArray &data, const QString &name, bool fromFile);

// Loads what the decoder of needs would otherwise load while it decodes (its plugins,
// modules and configuration), so that decoding opens no file but the fonts where needs says
// so. A metafile needs a GUI application. false, with the reason, where the decoder's
// libraries cannot be loaded.
bool prepareDecoder(const DecoderNeeds &needs, QString &why);

// Made Format_ARGB32_Premultiplied where its pixels are, for a 32-bit picture over memory
// the caller keeps (an RGB32 picture's alpha set opaque, an ARGB32 one premultiplied);
// false for another format.
bool toOutputFormatInPlace(QImage &image);

// The picture in Format_ARGB32_Premultiplied over the allocator's memory, converted a band at
// a time (a palette or grey picture is not held twice in 32 bits); null where the allocator
// gives none.
QImage toOutputFormatInto(const QImage &image, const PixelAllocator &allocate);

} // namespace platform
