#pragma once
// The picture formats the loader reads, by a file's extension.
#include <QString>

namespace platform::codecs {

enum class Format { Unknown, Jpeg, Png, Gif, Bmp, Tiff, Psd, Pcx, Tga, Wbmp, Wmf, Emf };

// The format of an extension, with or without a leading dot, in any case.
Format formatForExtension(QString ext);

} // namespace platform::codecs
