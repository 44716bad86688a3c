#pragma once
// What the headers and block structure of a compressed picture tell before it is decoded:
// the size the decoder will allocate and whether the data runs to its end or was cut off (the
// decoders fill a cut-off picture with grey and call it read).
#include <QByteArray>
#include <QSize>

#include <optional>

namespace platform::codecs {

struct PictureLayout {
    QSize size;                 // the picture the decoder allocates
    bool complete = false;      // the data holds the whole picture
};

// JPEG: the frame header's size. Complete when the end marker follows the last scan. Empty
// without a frame header.
std::optional<PictureLayout> jpegLayout(const QByteArray &data);

// GIF: the logical screen grown by every frame that reaches beyond it. Complete when the
// first frame's data blocks are all there. Empty when the screen descriptor is short.
std::optional<PictureLayout> gifLayout(const QByteArray &data);

// PNG: complete when every chunk lies inside the data and the end chunk is there.
bool pngChunksComplete(const QByteArray &data);

// A run-length coded BMP (RLE8, RLE4) is complete when its runs reach the end-of-bitmap
// code or the last row; other BMPs are left to the row count check.
bool bmpRunsComplete(const QByteArray &data);

} // namespace platform::codecs
