#pragma once
// Saving through ImageMagick from the program: the writer is a module (pelmora-magick.so) that
// is loaded when the first PSD, PCX or TGA is saved.
#include "platform/imaging/ImageCodecs.h"

#include <QByteArray>
#include <QImage>

namespace platform::codecs {

// As magickWrite; fails with CannotWrite and the loader's reason where the module is missing.
CodecResult magickWriteThroughModule(const QImage &image, const char *format, QByteArray &out);

} // namespace platform::codecs
