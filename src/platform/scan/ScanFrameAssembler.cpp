#include "platform/scan/ScanFrameAssembler.h"

#include <cstring>

namespace platform {

namespace {

using Frame = ScanParameters::Frame;

int channelsOf(Frame f) { return f == Frame::Rgb ? 3 : 1; }

int linesOf(const ScanFrameData &f)
{
    const qint64 n = qint64(f.bytes.size()) / f.parameters.bytesPerLine;
    return f.parameters.lines >= 0 ? int(qMin<qint64>(n, f.parameters.lines)) : int(n);
}

// Sample `index` of a line (pixel * channels + channel) as an 8-bit intensity.
inline int sample8(const unsigned char *line, int depth, qint64 index, bool greyBits)
{
    switch (depth) {
    case 1: {
        const bool set = (line[index >> 3] >> (7 - (index & 7))) & 1;
        return set == greyBits ? 0 : 255; // grey: a set bit is black; colour: it is full intensity
    }
    case 8:
        return line[index];
    default: {
        quint16 v;
        std::memcpy(&v, line + index * 2, sizeof v);
        return v >> 8;
    }
    }
}

QImage grey(const ScanFrameData &f, int lines)
{
    const ScanParameters &p = f.parameters;
    const int w = p.pixelsPerLine;
    QImage img(w, lines, p.depth == 16 ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    if (img.isNull())
        return img;
    for (int y = 0; y < lines; ++y) {
        const unsigned char *src = f.bytes.data() + qint64(y) * p.bytesPerLine;
        uchar *dst = img.scanLine(y);
        if (p.depth == 16)
            std::memcpy(dst, src, size_t(w) * 2);
        else if (p.depth == 8)
            std::memcpy(dst, src, size_t(w));
        else
            for (int x = 0; x < w; ++x)
                dst[x] = uchar(sample8(src, 1, x, true));
    }
    return img;
}

QImage rgb(const ScanFrameData &f, int lines)
{
    const ScanParameters &p = f.parameters;
    const int w = p.pixelsPerLine;
    QImage img(w, lines, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    for (int y = 0; y < lines; ++y) {
        const unsigned char *src = f.bytes.data() + qint64(y) * p.bytesPerLine;
        auto *dst = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const qint64 i = qint64(x) * 3;
            dst[x] = qRgb(sample8(src, p.depth, i, false), sample8(src, p.depth, i + 1, false),
                          sample8(src, p.depth, i + 2, false));
        }
    }
    return img;
}

// Separate red, green and blue frames; a missing band stays 0.
QImage bands(const std::vector<ScanFrameData> &frames, QString &error)
{
    const int w = frames.front().parameters.pixelsPerLine;
    int lines = -1;
    for (const ScanFrameData &f : frames) {
        if (f.parameters.frame == Frame::Gray || f.parameters.frame == Frame::Rgb) {
            error = QStringLiteral("The scanner mixed single-band and complete frames in one scan.");
            return QImage();
        }
        if (f.parameters.pixelsPerLine != w) {
            error = QStringLiteral("The frames of the scan differ in width.");
            return QImage();
        }
        lines = lines < 0 ? linesOf(f) : qMin(lines, linesOf(f));
    }
    if (lines <= 0) {
        error = QStringLiteral("The scanner sent no picture lines.");
        return QImage();
    }
    QImage img(w, lines, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    img.fill(qRgb(0, 0, 0));
    for (const ScanFrameData &f : frames) {
        const int shift = f.parameters.frame == Frame::Red ? 16 : f.parameters.frame == Frame::Green ? 8 : 0;
        for (int y = 0; y < lines; ++y) {
            const unsigned char *src = f.bytes.data() + qint64(y) * f.parameters.bytesPerLine;
            auto *dst = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < w; ++x)
                dst[x] = (dst[x] & ~(0xffu << shift))
                         | (QRgb(sample8(src, f.parameters.depth, x, false)) << shift);
        }
    }
    return img;
}

} // namespace

qint64 ScanFrameAssembler::minimumBytesPerLine(const ScanParameters &p)
{
    if (p.frame == Frame::Other || (p.depth != 1 && p.depth != 8 && p.depth != 16)
        || p.pixelsPerLine <= 0)
        return 0;
    return (qint64(p.pixelsPerLine) * channelsOf(p.frame) * p.depth + 7) / 8;
}

QImage ScanFrameAssembler::assemble(const std::vector<ScanFrameData> &frames, QString &error)
{
    error.clear();
    if (frames.empty()) {
        error = QStringLiteral("The scanner sent no picture.");
        return QImage();
    }
    for (const ScanFrameData &f : frames) {
        const qint64 need = minimumBytesPerLine(f.parameters);
        if (need == 0 || f.parameters.bytesPerLine < need) {
            error = QStringLiteral("The scanner sent a picture format that cannot be read "
                                   "(depth %1, %2 pixels in %3 bytes a line).")
                        .arg(f.parameters.depth)
                        .arg(f.parameters.pixelsPerLine)
                        .arg(f.parameters.bytesPerLine);
            return QImage();
        }
    }
    const ScanFrameData &first = frames.front();
    QImage img;
    if (first.parameters.frame == Frame::Gray || first.parameters.frame == Frame::Rgb) {
        const int lines = linesOf(first);
        if (lines > 0)
            img = first.parameters.frame == Frame::Gray ? grey(first, lines) : rgb(first, lines);
        else
            error = QStringLiteral("The scanner sent no picture lines.");
    } else {
        img = bands(frames, error);
    }
    if (img.isNull() && error.isEmpty())
        error = QStringLiteral("There is not enough memory for the scanned picture.");
    return img;
}

} // namespace platform
