#pragma once
// Reading and writing of image files for the imaging layer.
//
// Each format goes to the library made for it:
//   JPEG, PNG, BMP, GIF (read), TIFF, WBMP   Qt's image readers and writers
//   PSD, PCX, TGA, WMF (read)               ImageMagick (Magick++)
//   EMF (read)                              libemf2svg turns the records into SVG, QtSvg paints it
//   WMF, EMF (write)                        libuemf builds a metafile holding the bitmap
//
// Decoded images are QImage::Format_ARGB32_Premultiplied; a format that stores alpha gives
// it back, every other one comes out opaque. Writing to a format without alpha lays the
// picture on white paper first (JPEG, BMP, PCX, WBMP, WMF, EMF).
//
// Loading goes through the picture reader (PictureReader.h): the decoders run in a helper
// process under limits the system enforces, never in the program. Saving encodes the whole
// file in memory and puts it in place through a temporary file, so a failed save leaves no
// partial file behind and an existing file as it was.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <new>
#include <string>

namespace platform {

// The save-type codes the program passes around.
namespace SaveType {
enum : int {
    Jpeg = 1,
    Png = 2,
    Tiff = 3,
    Pcx = 4,
    Tga = 5,
    Bmp = 6,
    Wmf = 7,
    Emf = 8,
    Psd = 9,
    Wbmp = 10,
};
}

// Error numbers of a failed read or write.
namespace CodecError {
enum : int {
    None = 0,
    NotSupported = 1, // unknown format, extension or save type
    CannotDecode = 2, // unreadable, truncated or not an image of its format
    TooLarge = 3,     // the picture is past the loading limits below, or larger than its format allows
    CannotWrite = 4,  // encoding failed, or the file could not be created or put in place
    TooSlow = 5,      // reading the picture took longer than a picture may take
    Busy = 6,         // another picture is being read; nothing was done
    ReaderMissing = 7, // the picture reader's helper is not installed
    ReaderBroken = 8,  // the picture reader's helper cannot be started or ended before it could read
    Unsafe = 9,        // the system cannot shut the picture reader in: nothing is read (the cause in the message)
};
}

// True for the errors of the picture reader itself (missing, broken, unsafe) rather than of a picture.
inline bool isReaderFailure(int error)
{
    return error == CodecError::ReaderMissing || error == CodecError::ReaderBroken || error == CodecError::Unsafe;
}

struct CodecResult {
    bool ok = false;
    int error = 0;   // a CodecError number; 0 on success
    QString message; // readable cause of a failure
    QSize size;      // the picture's size where it is known; with TooLarge the size refused

    explicit operator bool() const { return ok; }
};

// The loading limits, decided by what a cover needs (a DVD case cover of 27.3 x 18.3 cm at
// 1200 dpi has 111 megapixels). A picture with more pixels or a longer side is refused with
// TooLarge, from its header where the header tells. Metafiles, which have no pixels of their
// own, are rendered to fit these limits instead. What a decoder may take beside its picture is
// bounded by the picture reader's process limits, not estimated here.
inline constexpr qint64 kMaxImagePixels = 128LL * 1024 * 1024;
inline constexpr int kMaxImageSide = 16384;
// A picture file larger than this is refused before it is read.
inline constexpr qint64 kMaxPictureFileBytes = 512LL * 1024 * 1024;
// What the program may take to draw one picture of its own (a text, its shadow and turn).
inline constexpr qint64 kMaxDecodeBytes = 4 * kMaxImagePixels;

// True when a picture of this size is within kMaxImageSide and kMaxImagePixels.
bool withinPictureLimits(const QSize &size);
// A picture that an operation would make (a turn, a new size, a blank, a drawing) is over the
// limits above: the allocation is refused before it is tried.
class PictureTooLarge : public std::bad_alloc {
public:
    explicit PictureTooLarge(const QSize &size);
    QSize size() const { return size_; }
    const char *what() const noexcept override { return text_.c_str(); }

private:
    QSize size_;
    std::string text_;
};
// Throws PictureTooLarge unless a picture of this size is within the limits.
void requireWithinPictureLimits(const QSize &size);
// Loads a picture file through the picture reader. The extension must be one of the readable
// ones (see isSupportedForReading); the decoder is then chosen by content where the format
// has a recognisable signature, else by the extension (TGA and WBMP have none). A file cut
// short, which a decoder would fill with grey, fails with CannotDecode; one whose reading
// takes too long with TooSlow; one whose reader runs out of memory with TooLarge (no size).
CodecResult loadImageFile(const QString &path, QImage &out);

// Loads a picture held in memory (downloaded or dropped), as loadImageFile does. The content
// decides where it can; otherwise the extension of nameHint (a file name or address) does.
CodecResult loadImageData(const QByteArray &data, const QString &nameHint, QImage &out);

// Saves a picture as saveType (a SaveType code), whatever the extension of path says.
// jpegQuality (0..100) applies to JPEG only. TooLarge when the picture exceeds what the format
// can hold (WMF 32767 pixels a side; JPEG, PCX and TGA 65535).
CodecResult saveImageFile(const QString &path, const QImage &image, int saveType, int jpegQuality = 90);

// True for the extensions the loader accepts, with or without a leading dot, in any case:
// jpg jpeg gif bmp png psd tif tiff pcx tga wbmp wmf emf.
bool isSupportedForReading(const QString &extension);

} // namespace platform
