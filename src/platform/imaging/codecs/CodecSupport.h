#pragma once
// Small helpers shared by the codecs of ImageCodecs.cpp.
#include "platform/imaging/ImageCodecs.h"

#include <QImage>
#include <QString>

namespace platform::codecs {

inline CodecResult succeeded() { return {true, CodecError::None, {}}; }
inline CodecResult failed(int error, const QString &message) { return {false, error, message}; }

// True when no pixel of the picture is (partly) transparent.
bool isOpaque(const QImage &image);

// The picture laid on white paper, for formats that store no alpha (Format_RGB32).
QImage onWhite(const QImage &image);

// The form every decoder hands back.
QImage toOutputFormat(const QImage &image);

} // namespace platform::codecs
