#pragma once
// Small helpers shared by the codecs of ImageCodecs.cpp.
#include "platform/imaging/ImageCodecs.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace platform::codecs {

// Metafiles have no pixels of their own and are drawn at most this large, decided from the
// frame before anything is drawn.
inline constexpr double kMaxMetafilePixels = 1.0 * 1024 * 1024;

inline CodecResult succeeded() { return {true, CodecError::None, {}, {}}; }
inline CodecResult failed(int error, const QString &message) { return {false, error, message, {}}; }

// TooLarge, naming the size.
CodecResult tooLarge(const QSize &size);
// The picture is cut short or its data is broken.
CodecResult damaged(const QString &why);
// The decoder could not read the file. Decoders' own texts (a library's source file and
// function) are not for the user: this says it in the program's words.
CodecResult unreadable();
// The factor (at most 1) that scales a width x height rendering into the side limit and to at
// most maxPixels (and the pixel limit); the scaled sides are to be rounded down.
double fitFactor(double width, double height, double maxPixels);

// True when no pixel of the picture is (partly) transparent.
bool isOpaque(const QImage &image);

// The picture laid on white paper, for formats that store no alpha (Format_RGB32).
QImage onWhite(const QImage &image);

// The form every decoder hands back. The rvalue form converts in place where the pixel
// size allows, so that a large picture is not held twice.
QImage toOutputFormat(const QImage &image);
QImage toOutputFormat(QImage &&image);

} // namespace platform::codecs
