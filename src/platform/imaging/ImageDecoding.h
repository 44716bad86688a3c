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
// decode into it, else over memory of its own.
CodecResult decodeImageFile(const QString &path, QImage &out, const PixelAllocator &allocate = {});
CodecResult decodeImageData(const QByteArray &data, const QString &nameHint, QImage &out,
                            const PixelAllocator &allocate = {});

// Decodes a picture file small, for a preview: reads the picture's size (refusing a picture
// above the limits), asks targetFor for the size to show it at and decodes a JPEG at about
// that size (the decoder scales while it decodes); other formats are decoded whole and
// scaled. original receives the picture's own size, upright; out is exactly the size
// targetFor gave (the picture's own where that is not valid).
CodecResult decodePreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                              QSize &original);

// Reads a whole picture file, refusing one past kMaxPictureFileBytes before it is held.
CodecResult readPictureFile(const QString &path, QByteArray &data);

// True when decoding this file draws text (an EMF metafile), which needs a GUI application's
// fonts in the decoding process; head is the file's first bytes.
bool decodingDrawsText(const QByteArray &head);

// Made Format_ARGB32_Premultiplied where its pixels are, for a 32-bit picture over memory
// the caller keeps (an RGB32 picture's alpha set opaque, an ARGB32 one premultiplied);
// false for another format.
bool toOutputFormatInPlace(QImage &image);

// The picture in Format_ARGB32_Premultiplied over the allocator's memory, converted a band at
// a time (a palette or grey picture is not held twice in 32 bits); null where the allocator
// gives none.
QImage toOutputFormatInto(const QImage &image, const PixelAllocator &allocate);

} // namespace platform
