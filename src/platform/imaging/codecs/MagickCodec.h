#pragma once
// The formats that ImageMagick reads and writes for us: PSD, PCX and TGA both ways, WMF
// reading (rendered through libwmf at 96 dpi, on white, at a lower resolution where that
// would pass the loading limits).
#include "platform/imaging/ImageCodecs.h"

#include <QByteArray>
#include <QImage>

namespace platform::codecs {

// format is ImageMagick's name of the coder ("PSD", "PCX", "TGA", "WMF"); the content is
// never used to pick another coder.
CodecResult magickRead(const QByteArray &data, const char *format, QImage &out);
CodecResult magickWrite(const QImage &image, const char *format, QByteArray &out);

} // namespace platform::codecs
