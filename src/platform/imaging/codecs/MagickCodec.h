#pragma once
// The formats that ImageMagick reads and writes for us: PSD, PCX and TGA both ways, WMF
// reading (rendered through libwmf at 96 dpi, on white, at a lower resolution where that
// would pass one megapixel). Both live in a module (pelmora-magick.so, see MagickModule.h).
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageDecoding.h"

#include <QByteArray>
#include <QImage>

namespace platform::codecs {

// format is ImageMagick's name of the coder ("PSD", "PCX", "TGA", "WMF"); the content is
// never used to pick another coder. The pixels go where allocate puts them, if it does.
CodecResult magickRead(const QByteArray &data, const char *format, QImage &out, const PixelAllocator &allocate = {});
// Loads what reading format would load on first use, so that reading opens no file but fonts.
bool prepareMagick(const char *format, QString &why);
CodecResult magickWrite(const QImage &image, const char *format, QByteArray &out);

} // namespace platform::codecs
