// Resizing, rotation and mirroring (quality resizing itself is in FiltersResample.cpp).
//
// Rotation works on premultiplied pixels, so colour next to transparent pixels is weighted by
// its alpha and edges against transparency do not darken. Positions are integer or
// fixed-point, so every machine computes the same pixels.
//
// Preview resizing is Qt's smooth scaling (area averaging down, bilinear up), which is what
// that mode promises. It too works on premultiplied pixels in integers only, gives the same
// pixels with or without the processor's vector units, and splits the rows over the global
// thread pool without letting the split change a pixel.
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
    return detail::resampled(src, width, height);
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
