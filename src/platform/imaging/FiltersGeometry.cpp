// Resizing, rotation and mirroring.
//
// Resampling works on premultiplied pixels, so colour next to transparent pixels is weighted
// by its alpha and edges against transparency do not darken. Weights are fixed-point
// integers (sum exactly 1 << 14), positions are integer or fixed-point, so every machine
// computes the same pixels.
//
// Preview resizing is Qt's smooth scaling (area averaging down, bilinear up), which is what
// that mode promises and several times faster than our two-pass resampler would be at it.
// It too works on premultiplied pixels in integers only, gives the same pixels with or
// without the processor's vector units, and splits the rows over the global thread pool
// without letting the split change a pixel.
#include "platform/imaging/Filters.h"

#include "platform/Rounding.h"
#include "platform/imaging/FiltersSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace platform::imaging {

using detail::ConstPixelRows;
using detail::PixelRows;
using detail::parallelRows;

namespace {

// ---- resizing -------------------------------------------------------------------------

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// For each output position along one axis: the source positions that contribute and their
// weights (Q14, summing to kOne).
struct AxisTaps {
    std::vector<int> first;   // per output: offset into index/weight
    std::vector<int> count;   // per output
    std::vector<int> index;
    std::vector<int> weight;
    double averageTaps() const { return first.empty() ? 0.0 : double(index.size()) / double(first.size()); }
};

void addOutput(AxisTaps &taps, const int *idx, const double *wt, int n)
{
    taps.first.push_back(int(taps.index.size()));
    taps.count.push_back(n);
    int sum = 0, largest = 0;
    for (int i = 0; i < n; ++i) {
        const int w = roundToInt(wt[i] * kOne);
        taps.index.push_back(idx[i]);
        taps.weight.push_back(w);
        sum += w;
        if (std::abs(w) > std::abs(taps.weight[size_t(taps.first.back() + largest)]))
            largest = i;
    }
    // The rounding remainder goes to the largest weight, so that flat areas stay exactly flat.
    taps.weight[size_t(taps.first.back() + largest)] += kOne - sum;
}

// Area average: output i covers [i * src, (i + 1) * src) and source j covers
// [j * dst, (j + 1) * dst), in units of 1 / (src * dst) of the whole length.
AxisTaps areaTaps(int src, int dst)
{
    AxisTaps taps;
    std::vector<int> idx;
    std::vector<double> wt;
    for (qint64 i = 0; i < dst; ++i) {
        const qint64 a = i * src, b = (i + 1) * src;
        idx.clear();
        wt.clear();
        for (qint64 j = a / dst; j * dst < b; ++j) {
            const qint64 overlap = std::min(b, (j + 1) * dst) - std::max(a, j * dst);
            if (overlap <= 0)
                continue;
            idx.push_back(int(j));
            wt.push_back(double(overlap) / double(src));
        }
        addOutput(taps, idx.data(), wt.data(), int(idx.size()));
    }
    return taps;
}

// Interpolation for enlarging: Catmull-Rom bicubic. The centre of output i sits at source
// position (i + 0.5) * src / dst - 0.5; positions beyond the edge repeat it.
AxisTaps interpolationTaps(int src, int dst)
{
    AxisTaps taps;
    const qint64 den = 2 * qint64(dst);
    for (qint64 i = 0; i < dst; ++i) {
        const qint64 num = (2 * i + 1) * src - dst;
        qint64 j = num >= 0 ? num / den : -((-num + den - 1) / den);
        const double t = double(num - j * den) / double(den);
        auto at = [src](qint64 k) { return int(std::clamp<qint64>(k, 0, src - 1)); };
        const double t2 = t * t, t3 = t2 * t;
        const int idx[4] = {at(j - 1), at(j), at(j + 1), at(j + 2)};
        const double wt[4] = {0.5 * (-t3 + 2.0 * t2 - t), 0.5 * (3.0 * t3 - 5.0 * t2 + 2.0),
                              0.5 * (-3.0 * t3 + 4.0 * t2 + t), 0.5 * (t3 - t2)};
        addOutput(taps, idx, wt, 4);
    }
    return taps;
}

AxisTaps axisTaps(int src, int dst)
{
    return dst < src ? areaTaps(src, dst) : interpolationTaps(src, dst);
}

// Pixel data of a resampling pass: 8-bit premultiplied pixels, or 16-bit channels with eight
// fraction bits (0..65280) between the two passes. Channels are stored in memory order.
struct Plane {
    uchar *bits;
    qsizetype stride; // bytes per row
};
template <typename T>
struct Scale; // bits of fraction per channel type
template <>
struct Scale<std::uint8_t> {
    static constexpr int bits = 0;
};
template <>
struct Scale<std::uint16_t> {
    static constexpr int bits = 8;
};

constexpr int kAlphaByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;

// Writes four summed channels (Q14 times the input scale) as the output type, clamped so
// that the colour never exceeds alpha (bicubic weights can overshoot).
template <typename In, typename Out>
inline void store(Out *out, const int *acc)
{
    constexpr int shift = kWeightBits + Scale<In>::bits - Scale<Out>::bits;
    constexpr int maxValue = 255 << Scale<Out>::bits;
    int v[4];
    for (int c = 0; c < 4; ++c)
        v[c] = std::clamp((acc[c] + (1 << (shift - 1))) >> shift, 0, maxValue);
    const int a = v[kAlphaByte];
    for (int c = 0; c < 4; ++c)
        out[c] = Out(std::min(v[c], a));
}

template <typename In, typename Out>
void horizontalPass(Plane in, Plane out, int rows, const AxisTaps &taps)
{
    const int outWidth = int(taps.first.size());
    parallelRows(rows, qint64(outWidth) * qint64(taps.averageTaps() + 1), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const In *src = reinterpret_cast<const In *>(in.bits + y * in.stride);
            Out *dst = reinterpret_cast<Out *>(out.bits + y * out.stride);
            for (int x = 0; x < outWidth; ++x) {
                int acc[4] = {0, 0, 0, 0};
                const int f = taps.first[size_t(x)], n = taps.count[size_t(x)];
                for (int k = 0; k < n; ++k) {
                    const In *s = src + 4 * taps.index[size_t(f + k)];
                    const int w = taps.weight[size_t(f + k)];
                    for (int c = 0; c < 4; ++c)
                        acc[c] += w * int(s[c]);
                }
                store<In>(dst + 4 * x, acc);
            }
        }
    });
}

template <typename In, typename Out>
void verticalPass(Plane in, Plane out, int width, const AxisTaps &taps)
{
    const int outHeight = int(taps.first.size());
    const int channels = 4 * width;
    parallelRows(outHeight, qint64(width) * qint64(taps.averageTaps() + 1), [&](int y0, int y1) {
        std::vector<int> acc(static_cast<size_t>(channels));
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            const int f = taps.first[size_t(y)], n = taps.count[size_t(y)];
            for (int k = 0; k < n; ++k) {
                const In *s = reinterpret_cast<const In *>(in.bits + taps.index[size_t(f + k)] * in.stride);
                const int w = taps.weight[size_t(f + k)];
                int *a = acc.data();
                for (int i = 0; i < channels; ++i)
                    a[i] += w * int(s[i]);
            }
            Out *dst = reinterpret_cast<Out *>(out.bits + y * out.stride);
            for (int x = 0; x < width; ++x)
                store<In>(dst + 4 * x, acc.data() + 4 * x);
        }
    });
}

QImage resizedNearest(const QImage &src, int width, int height)
{
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const qint64 sw = src.width(), sh = src.height();
    std::vector<int> column(static_cast<size_t>(width));
    for (qint64 x = 0; x < width; ++x)
        column[size_t(x)] = int((2 * x + 1) * sw / (2 * qint64(width)));
    const ConstPixelRows in(src);
    const PixelRows rows(out);
    parallelRows(height, width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const QRgb *s = in[int((2 * qint64(y) + 1) * sh / (2 * qint64(height)))];
            QRgb *d = rows[y];
            for (int x = 0; x < width; ++x)
                d[x] = s[column[size_t(x)]];
        }
    });
    return out;
}

// Area averaging when shrinking, bicubic when enlarging, each axis on its own.
QImage resizedSmooth(const QImage &src, int width, int height)
{
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const int sw = src.width(), sh = src.height();
    const Plane in{const_cast<uchar *>(src.constBits()), src.bytesPerLine()};
    const Plane dst{out.bits(), out.bytesPerLine()};
    const bool scaleX = width != sw, scaleY = height != sh;
    const AxisTaps tx = scaleX ? axisTaps(sw, width) : AxisTaps{};
    const AxisTaps ty = scaleY ? axisTaps(sh, height) : AxisTaps{};
    using U8 = std::uint8_t;
    using U16 = std::uint16_t;
    if (!scaleY) {
        horizontalPass<U8, U8>(in, dst, sh, tx);
        return out;
    }
    if (!scaleX) {
        verticalPass<U8, U8>(in, dst, sw, ty);
        return out;
    }
    // Two passes through a 16-bit plane, narrowing first along the axis where that saves more.
    const double costXFirst = double(width) * sh * tx.averageTaps() + double(width) * height * ty.averageTaps();
    const double costYFirst = double(sw) * height * ty.averageTaps() + double(width) * height * tx.averageTaps();
    const bool xFirst = costXFirst <= costYFirst;
    const int midWidth = xFirst ? width : sw, midHeight = xFirst ? sh : height;
    std::vector<U16> mid(size_t(midWidth) * size_t(midHeight) * 4);
    const Plane m{reinterpret_cast<uchar *>(mid.data()), qsizetype(midWidth) * 4 * qsizetype(sizeof(U16))};
    if (xFirst) {
        horizontalPass<U8, U16>(in, m, sh, tx);
        verticalPass<U16, U8>(m, dst, width, ty);
    } else {
        verticalPass<U8, U16>(in, m, sw, ty);
        horizontalPass<U16, U8>(m, dst, height, tx);
    }
    return out;
}

// ---- rotation -------------------------------------------------------------------------

// Quarter turns clockwise (1..3): exact pixel moves, in tiles to stay within the cache.
QImage quarterTurns(const QImage &src, int turns)
{
    const int sw = src.width(), sh = src.height();
    const bool swap = turns % 2 == 1;
    QImage out(swap ? sh : sw, swap ? sw : sh, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const int dw = out.width(), dh = out.height();
    const ConstPixelRows in(src);
    const PixelRows rows(out);
    if (turns == 2) {
        parallelRows(dh, dw, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                std::reverse_copy(in[sh - 1 - y], in[sh - 1 - y] + sw, rows[y]);
        });
        return out;
    }
    constexpr int tile = 32;
    parallelRows(dh, dw, [&](int y0, int y1) {
        for (int ty = y0; ty < y1; ty += tile) {
            const int tyEnd = std::min(ty + tile, y1);
            for (int tx = 0; tx < dw; tx += tile) {
                const int txEnd = std::min(tx + tile, dw);
                for (int y = ty; y < tyEnd; ++y) {
                    QRgb *d = rows[y];
                    if (turns == 1) // destination (x, y) comes from source (y, sh - 1 - x)
                        for (int x = tx; x < txEnd; ++x)
                            d[x] = in[sh - 1 - x][y];
                    else // destination (x, y) comes from source (sw - 1 - y, x)
                        for (int x = tx; x < txEnd; ++x)
                            d[x] = in[x][sw - 1 - y];
                }
            }
        }
    });
    return out;
}

constexpr int kPosBits = 24; // fraction bits of source positions
constexpr qint64 kPosOne = qint64(1) << kPosBits;

qint64 toFixed(double v)
{
    return qint64(std::floor(v * double(kPosOne) + 0.5));
}

// The rectangle that encloses a w x h picture turned by the angle of cosine c and sine s.
QSize freelyRotatedSize(const QSize &size, double c, double s)
{
    const double w = size.width(), h = size.height();
    return {std::max(1, roundToInt(std::abs(w * c) + std::abs(h * s))),
            std::max(1, roundToInt(std::abs(w * s) + std::abs(h * c)))};
}

QImage rotatedFreely(const QImage &src, double degrees, QRgb fill, bool fast)
{
    const double rad = degrees * (std::numbers::pi / 180.0);
    const double c = std::cos(rad), s = std::sin(rad);
    const int sw = src.width(), sh = src.height();
    const QSize turned = freelyRotatedSize(src.size(), c, s);
    const int dw = turned.width(), dh = turned.height();
    QImage out(dw, dh, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const QRgb background = qPremultiply(fill);
    const ConstPixelRows in(src);
    const PixelRows rows(out);

    // Turning clockwise on screen (y down) maps p to R p with R = [c -s; s c]; each output
    // pixel centre is taken back by R^T about the centres of both images. Sampling with
    // bilinear weights moves the sample point half a pixel so that pixel centres meet.
    const qint64 stepX = toFixed(c), stepY = toFixed(-s);
    const double half = fast ? 0.0 : 0.5;
    parallelRows(dh, fast ? dw : 4 * qint64(dw), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const double u = 0.5 - dw / 2.0, v = y + 0.5 - dh / 2.0;
            qint64 px = toFixed(sw / 2.0 + c * u + s * v - half);
            qint64 py = toFixed(sh / 2.0 - s * u + c * v - half);
            QRgb *d = rows[y];
            if (fast) {
                for (int x = 0; x < dw; ++x, px += stepX, py += stepY) {
                    const qint64 ix = px >> kPosBits, iy = py >> kPosBits;
                    d[x] = ix >= 0 && ix < sw && iy >= 0 && iy < sh ? in[int(iy)][ix] : background;
                }
                continue;
            }
            for (int x = 0; x < dw; ++x, px += stepX, py += stepY) {
                const qint64 ix = px >> kPosBits, iy = py >> kPosBits;
                const uint fx = uint(px >> (kPosBits - 8)) & 0xFF, fy = uint(py >> (kPosBits - 8)) & 0xFF;
                QRgb p00, p10, p01, p11;
                if (ix >= 0 && ix < sw - 1 && iy >= 0 && iy < sh - 1) {
                    const QRgb *r0 = in[int(iy)] + ix, *r1 = in[int(iy) + 1] + ix;
                    p00 = r0[0], p10 = r0[1], p01 = r1[0], p11 = r1[1];
                } else if (ix < -1 || ix >= sw || iy < -1 || iy >= sh) {
                    d[x] = background;
                    continue;
                } else { // on the border: neighbours outside the image are the fill colour
                    auto at = [&](qint64 xx, qint64 yy) {
                        return xx >= 0 && xx < sw && yy >= 0 && yy < sh ? in[int(yy)][xx] : background;
                    };
                    p00 = at(ix, iy), p10 = at(ix + 1, iy), p01 = at(ix, iy + 1), p11 = at(ix + 1, iy + 1);
                }
                d[x] = detail::mixPixels(detail::mixPixels(p00, p10, fx), detail::mixPixels(p01, p11, fx), fy);
            }
        }
    });
    return out;
}

} // namespace

QImage resized(const QImage &source, int width, int height, int mode)
{
    if (width < 1 || height < 1 || source.isNull())
        return {};
    const QImage src = detail::premultiplied(source);
    if (src.width() == width && src.height() == height)
        return src;
    if (mode == ResizeMode::Fast)
        return resizedNearest(src, width, height);
    if (mode == ResizeMode::Preview)
        return detail::premultiplied(src.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return resizedSmooth(src, width, height);
}

namespace {

// The angle turned into 0 to 360 degrees.
double degreesOf(double angle)
{
    const double degrees = std::fmod(angle, 360.0);
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

} // namespace

int quarterTurnsOf(double angle)
{
    if (!std::isfinite(angle))
        return -1;
    const double degrees = degreesOf(angle);
    const double quarters = std::nearbyint(degrees / 90.0);
    return std::abs(degrees - quarters * 90.0) < 1e-9 ? int(quarters) % 4 : -1;
}

QSize rotatedSize(const QSize &size, double angle)
{
    if (!std::isfinite(angle))
        return size;
    const int turns = quarterTurnsOf(angle);
    if (turns >= 0)
        return turns % 2 == 0 ? size : size.transposed();
    const double rad = degreesOf(angle) * (std::numbers::pi / 180.0);
    return freelyRotatedSize(size, std::cos(rad), std::sin(rad));
}

QImage rotated(const QImage &source, double angle, QRgb fill, bool fast)
{
    const QImage src = detail::premultiplied(source);
    if (src.isNull() || !std::isfinite(angle))
        return src;
    const int turns = quarterTurnsOf(angle);
    if (turns == 0)
        return src;
    return turns > 0 ? quarterTurns(src, turns) : rotatedFreely(src, degreesOf(angle), fill, fast);
}

QImage flipped(const QImage &source, int direction)
{
    const QImage src = detail::premultiplied(source);
    if (src.isNull() || (direction != 0 && direction != 1))
        return src;
    QImage out(src.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const int w = src.width(), h = src.height();
    const ConstPixelRows in(src);
    const PixelRows rows(out);
    parallelRows(h, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (direction == 0)
                std::reverse_copy(in[y], in[y] + w, rows[y]);
            else
                std::memcpy(rows[y], in[h - 1 - y], size_t(w) * sizeof(QRgb));
        }
    });
    return out;
}

} // namespace platform::imaging
