#pragma once
// Small helpers shared by the codecs of ImageCodecs.cpp.
#include "platform/imaging/ImageCodecs.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace platform::codecs {

// Metafiles have no pixels of their own and are drawn at most this large, decided from the
// frame before anything is drawn: their renderers take a fraction of a microsecond a pixel
// for each shape that covers the picture, so that one such shape takes a fraction of a second.
inline constexpr double kMaxMetafilePixels = 1.0 * 1024 * 1024;
// A metafile whose shapes together take longer than this to draw is refused, so that the user
// has an answer within two seconds whatever the file holds.
inline constexpr qint64 kMetafileMilliseconds = 1500;

inline CodecResult succeeded() { return {true, CodecError::None, {}, {}}; }
inline CodecResult failed(int error, const QString &message) { return {false, error, message, {}}; }

// TooLarge, naming the size.
CodecResult tooLarge(const QSize &size);
// The picture is cut short or its data is broken.
CodecResult damaged(const QString &why);
// The decoder could not read the file. Decoders' own texts (a library's source file and
// function) are not for the user: this says it in the program's words.
CodecResult unreadable();
// Success when a picture of this size fits the limits and, at bytesPerPixel for the picture
// and its decoder's buffers plus fixedBytes (the file held in memory), kMaxDecodeBytes; else
// TooLarge.
CodecResult checkCost(const QSize &size, double bytesPerPixel, qint64 fixedBytes);
// The factor (at most 1) that scales a width x height rendering into the limits and into
// the budget when it costs bytesPerPixel beside fixedBytes; the scaled sides are to be
// rounded down.
double fitFactor(double width, double height, double bytesPerPixel = 4, qint64 fixedBytes = 0);

// True when no pixel of the picture is (partly) transparent.
bool isOpaque(const QImage &image);

// The picture laid on white paper, for formats that store no alpha (Format_RGB32).
QImage onWhite(const QImage &image);

// The form every decoder hands back. The rvalue form converts in place where the pixel
// size allows, so that a large picture is not held twice.
QImage toOutputFormat(const QImage &image);
QImage toOutputFormat(QImage &&image);

} // namespace platform::codecs
