#include "platform/imaging/codecs/PictureLayout.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace platform::codecs {

namespace {

class Bytes {
public:
    explicit Bytes(const QByteArray &d) : d_(d) {}
    qsizetype size() const { return d_.size(); }
    int u8(qsizetype at) const { return quint8(d_.at(at)); }
    int be16(qsizetype at) const { return qFromBigEndian<quint16>(d_.constData() + at); }
    int le16(qsizetype at) const { return qFromLittleEndian<quint16>(d_.constData() + at); }
    qint32 le32(qsizetype at) const { return qFromLittleEndian<qint32>(d_.constData() + at); }
    const char *at(qsizetype pos) const { return d_.constData() + pos; }

private:
    const QByteArray &d_;
};

bool isFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Skips entropy-coded data: up to the next marker that is neither a stuffed zero nor a
// restart marker.
qsizetype skipEntropyData(const Bytes &b, qsizetype pos)
{
    const qsizetype n = b.size();
    while (pos + 1 < n) {
        const void *ff = std::memchr(b.at(pos), 0xFF, size_t(n - pos));
        if (!ff)
            return n;
        pos = static_cast<const char *>(ff) - b.at(0);
        if (pos + 1 >= n)
            return n;
        const int next = b.u8(pos + 1);
        if (next == 0xFF)
            ++pos;
        else if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
            pos += 2;
        else
            return pos;
    }
    return n;
}

} // namespace

std::optional<PictureLayout> jpegLayout(const QByteArray &data)
{
    const Bytes b(data);
    const qsizetype n = b.size();
    PictureLayout layout;
    bool haveFrame = false, firstScan = true;
    qsizetype pos = 2;
    while (pos + 1 < n) {
        if (b.u8(pos) != 0xFF) { // stray bytes between segments: the decoder skips them too
            ++pos;
            continue;
        }
        const int marker = b.u8(pos + 1);
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0xD9) {
            layout.complete = haveFrame && !firstScan;
            break;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > n)
            break;
        const int length = b.be16(pos);
        if (length < 2 || pos + length > n)
            break;
        if (isFrameMarker(marker) && !haveFrame && length >= 8) {
            layout.size = QSize(b.be16(pos + 5), b.be16(pos + 3));
            haveFrame = true;
        }
        if (marker == 0xDA) {
            firstScan = false;
            pos = skipEntropyData(b, pos + length);
            continue;
        }
        pos += length;
    }
    if (!haveFrame)
        return std::nullopt;
    return layout;
}

std::optional<PictureLayout> gifLayout(const QByteArray &data)
{
    const Bytes b(data);
    const qsizetype n = b.size();
    if (n < 13)
        return std::nullopt;
    PictureLayout layout;
    int width = b.le16(6), height = b.le16(8);
    qsizetype pos = 13;
    if (b.u8(10) & 0x80)
        pos += 3 << ((b.u8(10) & 7) + 1);
    // Data sub-blocks: a length byte, that many bytes, up to a zero length.
    const auto skipSubBlocks = [&] {
        while (pos < n) {
            const int length = b.u8(pos++);
            if (length == 0)
                return true;
            pos += length;
        }
        return false;
    };
    while (pos < n) {
        const int block = b.u8(pos++);
        if (block == 0x21) { // extension: a label, then sub-blocks
            ++pos;
            if (!skipSubBlocks())
                break;
        } else if (block == 0x2C) { // image: descriptor, colour table, code size, sub-blocks
            if (pos + 9 > n)
                break;
            width = std::max(width, b.le16(pos) + b.le16(pos + 4));
            height = std::max(height, b.le16(pos + 2) + b.le16(pos + 6));
            const int flags = b.u8(pos + 8);
            pos += 9;
            if (flags & 0x80)
                pos += 3 << ((flags & 7) + 1);
            ++pos;
            if (!skipSubBlocks())
                break;
            layout.complete = true;
        } else {
            break; // the trailer, or a block no decoder reads past
        }
    }
    layout.size = QSize(width, height);
    return layout;
}

bool pngChunksComplete(const QByteArray &data)
{
    const Bytes b(data);
    const qsizetype n = b.size();
    qsizetype pos = 8; // the signature
    while (pos + 8 <= n) {
        const qint64 length = qFromBigEndian<quint32>(b.at(pos));
        const bool end = std::memcmp(b.at(pos + 4), "IEND", 4) == 0;
        pos += 8 + length + 4; // length and type, data, check sum
        if (pos > n)
            return false;
        if (end)
            return true;
    }
    return false;
}

bool bmpRunsComplete(const QByteArray &data)
{
    const Bytes b(data);
    const qsizetype n = b.size();
    if (n < 54 || b.le32(14) < 40)
        return true;
    const qint32 compression = b.le32(30);
    if (compression != 1 && compression != 2)
        return true;
    const bool fourBits = compression == 2;
    const qint64 height = std::abs(qint64(b.le32(22)));
    qint64 row = 0;
    qsizetype pos = qFromLittleEndian<quint32>(b.at(10));
    while (pos >= 0 && pos + 1 < n) {
        const int count = b.u8(pos), code = b.u8(pos + 1);
        pos += 2;
        if (count > 0)
            continue; // a run
        if (code == 0) { // end of line
            if (++row >= height)
                return true;
        } else if (code == 1) { // end of bitmap
            return true;
        } else if (code == 2) { // move right and down
            if (pos + 2 > n)
                return false;
            row += b.u8(pos + 1);
            pos += 2;
            if (row >= height)
                return true;
        } else { // literal pixels, padded to a whole word
            const qsizetype bytes = fourBits ? (code + 1) / 2 : code;
            pos += bytes + (bytes & 1);
        }
    }
    return false;
}

} // namespace platform::codecs
