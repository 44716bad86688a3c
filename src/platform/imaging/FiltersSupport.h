#pragma once
// Helpers shared by the Filters*.cpp files: row-band parallelism and pixel access.
//
// Every operation writes each output row from inputs that do not depend on how the rows were
// split, so the result is the same for any number of threads.
#include <QImage>
#include <QRgb>

#include "platform/Rounding.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform::imaging::detail {

// Runs work(begin, end) over bands of [0, rows) on the global thread pool, the calling thread
// taking part. pixelsPerRow is the rough cost of one row, so small jobs stay on one thread.
void parallelRows(int rows, qint64 pixelsPerRow, const std::function<void(int begin, int end)> &work);

// Whether the filters may use the processor's vector units where it has them (on by default);
// the pixels are the same either way. useVectorUnits gives the setting it replaces.
bool useVectorUnits(bool on);
bool vectorUnits();
// Whether the processor has AVX2 (the filters' wider vector paths are compiled for it alone).
bool hasAvx2();

// src (premultiplied, not null) resized to width x height: area averaging along an axis that
// shrinks, bicubic along one that grows.
QImage resampled(const QImage &src, int width, int height);

// Rows of per-pixel values computed on demand for a sliding window of rows; rows beyond the
// window's reach are recomputed, never shared between bands. make(row, values) fills the
// values of a row.
template <typename T, typename Make>
class RowRing {
public:
    RowRing(int slotCount, size_t rowLength, Make make)
        : slots_(slotCount), length_(rowLength), data_(size_t(slotCount) * rowLength), tags_(size_t(slotCount), INT_MIN),
          make_(make)
    {
    }
    const T *row(int virtualRow)
    {
        const int slot = ((virtualRow % slots_) + slots_) % slots_;
        T *p = data_.data() + size_t(slot) * length_;
        if (tags_[size_t(slot)] != virtualRow) {
            make_(virtualRow, p);
            tags_[size_t(slot)] = virtualRow;
        }
        return p;
    }

private:
    int slots_;
    size_t length_;
    std::vector<T> data_;
    std::vector<int> tags_;
    Make make_;
};

// The image as Format_ARGB32_Premultiplied (a shallow copy when it already is).
QImage premultiplied(const QImage &img);
// Converts img in place to Format_ARGB32_Premultiplied and detaches it; false when null.
bool makeWritablePremultiplied(QImage &img);

// Row access without QImage::scanLine, which must not be called from several threads.
struct PixelRows {
    uchar *bits = nullptr;
    qsizetype stride = 0;
    explicit PixelRows(QImage &img) : bits(img.bits()), stride(img.bytesPerLine()) {}
    QRgb *operator[](int y) const { return reinterpret_cast<QRgb *>(bits + y * stride); }
};
struct ConstPixelRows {
    const uchar *bits = nullptr;
    qsizetype stride = 0;
    explicit ConstPixelRows(const QImage &img) : bits(img.constBits()), stride(img.bytesPerLine()) {}
    const QRgb *operator[](int y) const { return reinterpret_cast<const QRgb *>(bits + y * stride); }
};

// A value rounded half to even and clamped to 0..255.
inline int clampByte(double v)
{
    return std::clamp(roundToInt(v), 0, 255);
}

// Each of the four 8-bit channels of a premultiplied pixel times a / 255, rounded.
inline QRgb byteMul(QRgb x, uint a)
{
    uint t = (x & 0x00FF00FFu) * a;
    t = ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
    uint u = ((x >> 8) & 0x00FF00FFu) * a;
    u = (u + ((u >> 8) & 0x00FF00FFu) + 0x00800080u) & 0xFF00FF00u;
    return t | u;
}

// a and b mixed as a * (256 - f) + b * f over 256, f in 0..256, per channel, rounded.
inline QRgb mixPixels(QRgb a, QRgb b, uint f)
{
    const uint g = 256 - f;
    const uint rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

// A pixel spread into four 16-bit lanes (blue, red, green, alpha from low to high), so that
// sums of up to 257 pixels fit without carrying into the next lane, and back.
inline std::uint64_t spread(QRgb p)
{
    return (p & 0x00FF00FFull) | (std::uint64_t(p & 0xFF00FF00u) << 24);
}
inline QRgb unspread(std::uint64_t e)
{
    return QRgb(e & 0x00FF00FFu) | QRgb((e >> 24) & 0xFF00FF00u);
}
constexpr std::uint64_t kLaneLow8 = 0x00FF00FF00FF00FFull;
constexpr std::uint64_t lanes(std::uint64_t v) { return v * 0x0001000100010001ull; }

} // namespace platform::imaging::detail
