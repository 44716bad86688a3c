#pragma once
// ImageMagick is a module (pelmora-magick.so): the program loads it when it first saves a PSD,
// PCX or TGA, the picture reader's helper when it is to read a PSD, PCX, TGA or WMF, so that
// neither starts with ImageMagick and the libraries it brings.
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageDecoding.h"

#include <QByteArray>
#include <QImage>

namespace platform::codecs {

// As magickWrite; fails with CannotWrite and the loader's reason where the module is missing.
CodecResult magickWriteThroughModule(const QImage &image, const char *format, QByteArray &out);
// As prepareMagick and magickRead; false, or CannotDecode, with the loader's reason where the
// module is missing.
bool prepareMagickThroughModule(const char *format, QString &why);
CodecResult magickReadThroughModule(const QByteArray &data, const char *format, QImage &out,
                                    const PixelAllocator &allocate);

} // namespace platform::codecs
