#pragma once
// Windows metafiles. EMF reading (EmfReader.cpp): libemf2svg turns the records into SVG, which
// QtSvg paints into a picture of the metafile's frame size at 96 dpi, on white (smaller where
// that would pass one megapixel). WMF reading is ImageMagick's, see MagickCodec. Writing
// (MetafileWriter.cpp): libuemf builds a metafile that stretches the picture, as a 24-bit
// DIB, over the whole frame of the picture's size at 96 dpi.
#include "platform/imaging/ImageCodecs.h"

#include <QByteArray>
#include <QImage>

namespace platform::codecs {

CodecResult readEmf(const QByteArray &data, QImage &out);
// Loads what reading an EMF would load on first use (the metafile libraries, the font
// configuration); needs a GUI application. false, with the reason, where a library is missing.
bool prepareEmf(QString &why);
CodecResult writeEmf(const QImage &image, QByteArray &out);
CodecResult writeWmf(const QImage &image, QByteArray &out);

} // namespace platform::codecs
