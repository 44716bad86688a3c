#pragma once
// Turns the frames of one scan, as SANE delivers them, into a picture:
//   grey frames  -> Grayscale8 (depth 1 and 8) or Grayscale16 (depth 16);
//   colour       -> RGB32, from one RGB frame or from separate red, green and blue frames
//                   (three-pass scanners), 16-bit samples keeping their high byte.
// Depth 1: in a grey frame a set bit is black; in a colour frame a set bit is full intensity.
// 16-bit samples are in host byte order.
#include "platform/scan/Scanner.h"

#include <QImage>
#include <QString>

#include <vector>

namespace platform {

struct ScanFrameData {
    ScanParameters parameters;
    std::vector<unsigned char> bytes; // whole lines; a trailing partial line is ignored
};

class ScanFrameAssembler {
public:
    // The picture, or a null image with the reason in error.
    static QImage assemble(const std::vector<ScanFrameData> &frames, QString &error);
    // The bytes a line of the frame needs at least; 0 when the layout is not one we read.
    static qint64 minimumBytesPerLine(const ScanParameters &p);
};

} // namespace platform
