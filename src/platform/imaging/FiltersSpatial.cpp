// Neighbourhood filters: soften, sharpen and the drop shadow.
//
// Each writes a new image from the untouched original, so row bands never read pixels that
// another band has already changed. Outside the image, soften and sharpen repeat the edge
// pixels; the shadow treats it as transparent.
#include "platform/imaging/Filters.h"

#include "platform/Rounding.h"
#include "platform/imaging/FiltersSupport.h"

#include <algorithm>
#include <cmath>

namespace platform::imaging {

using detail::clampByte;
using detail::ConstPixelRows;
using detail::PixelRows;
using detail::parallelRows;
using detail::RowRing;

namespace {

// Box sums over a radius in place along a line of n values (zero beyond the ends), divided by
// the box width and rounded, through a reciprocal that is exact for these magnitudes.
struct BoxDivider {
    explicit BoxDivider(int radius) : width(2 * radius + 1), mul((std::uint64_t(1) << 32) / std::uint64_t(width) + 1) {}
    std::uint32_t operator()(std::uint32_t sum) const { return std::uint32_t((std::uint64_t(sum + std::uint32_t(width / 2)) * mul) >> 32); }
    int width;
    std::uint64_t mul;
};

void boxLine(std::uint16_t *line, std::uint16_t *scratch, int n, int radius)
{
    const BoxDivider divide(radius);
    std::copy(line, line + n, scratch);
    std::uint32_t sum = 0;
    for (int i = 0; i < std::min(radius, n); ++i)
        sum += scratch[i];
    for (int i = 0; i < n; ++i) {
        if (i + radius < n)
            sum += scratch[i + radius];
        if (i - radius - 1 >= 0)
            sum -= scratch[i - radius - 1];
        line[i] = std::uint16_t(divide(sum));
    }
}

// One vertical box pass of a w x h plane from in to out (zero beyond the top and bottom).
void boxColumns(const std::uint16_t *in, std::uint16_t *out, int w, int h, int radius)
{
    const BoxDivider divide(radius);
    parallelRows(h, w, [&](int y0, int y1) {
        std::vector<std::uint32_t> sum(size_t(w), 0);
        // From one row above the window, which the first step takes off again.
        for (int r = y0 - radius - 1; r < y0 + radius; ++r)
            if (r >= 0 && r < h)
                for (int x = 0; x < w; ++x)
                    sum[size_t(x)] += in[size_t(r) * size_t(w) + size_t(x)];
        for (int y = y0; y < y1; ++y) {
            const int add = y + radius, drop = y - radius - 1;
            if (add < h) {
                const std::uint16_t *a = in + size_t(add) * size_t(w);
                for (int x = 0; x < w; ++x)
                    sum[size_t(x)] += a[x];
            }
            if (drop >= 0) {
                const std::uint16_t *d = in + size_t(drop) * size_t(w);
                for (int x = 0; x < w; ++x)
                    sum[size_t(x)] -= d[x];
            }
            std::uint16_t *o = out + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x)
                o[x] = std::uint16_t(divide(sum[size_t(x)]));
        }
    });
}

// v (within +-2^20) rounded half up and clamped to 0..255: pixel arithmetic in the inner
// loop, where the general rounding helper would cost more than the rest of the pixel.
inline int roundedByte(double v)
{
    constexpr double offset = 1 << 20;
    return std::clamp(int(v + (offset + 0.5)) - (1 << 20), 0, 255);
}

} // namespace

void soften(QImage &img, int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == 0 || img.isNull())
        return;
    // A 3 x 3 binomial blur ([1 2 1] both ways, over 16) of the premultiplied channels, mixed
    // with the original in 256ths.
    const std::uint64_t mix = std::uint64_t((percent * 256 + 50) / 100), keep = 256 - mix;
    const int w = img.width(), h = img.height();
    // Read where it is: the picture is shared with its undo step, and the result is a new
    // picture anyway, so a writable copy of the original would only cost its size.
    const QImage src = detail::premultiplied(img);
    img = QImage();
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) {
        img = src;
        return;
    }
    const ConstPixelRows in(src);
    const PixelRows rows(out);
    parallelRows(h, 3 * qint64(w), [&](int y0, int y1) {
        auto across = [&](int y, std::uint64_t *line) {
            const QRgb *s = in[std::clamp(y, 0, h - 1)];
            for (int x = 0; x < w; ++x)
                line[x] = detail::spread(s[std::max(x - 1, 0)]) + 2 * detail::spread(s[x]) +
                          detail::spread(s[std::min(x + 1, w - 1)]);
        };
        RowRing<std::uint64_t, decltype(across)> ring(3, size_t(w), across);
        for (int y = y0; y < y1; ++y) {
            const std::uint64_t *a = ring.row(y - 1), *b = ring.row(y), *c = ring.row(y + 1);
            const QRgb *s = in[y];
            QRgb *d = rows[y];
            for (int x = 0; x < w; ++x) {
                const std::uint64_t blur = ((a[x] + 2 * b[x] + c[x] + detail::lanes(8)) >> 4) & detail::kLaneLow8;
                const std::uint64_t mixed = detail::spread(s[x]) * keep + blur * mix + detail::lanes(128);
                d[x] = detail::unspread((mixed >> 8) & detail::kLaneLow8);
            }
        }
    });
    img = out;
}

void sharpen(QImage &img, int percent, int filterSize, bool ignoreAlpha)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == 0 || img.isNull())
        return;
    // An unsharp mask: value + amount * (value - neighbourhood mean), amount 2 at 100 %. The
    // mean is of the premultiplied channels over a filterSize square, so colour is weighted by
    // alpha and transparent neighbours do not pull colour towards black.
    int size = std::clamp(filterSize, 3, 31);
    if (size % 2 == 0)
        ++size;
    const int radius = size / 2;
    const double amount = 2.0 * percent / 100.0;
    const int w = img.width(), h = img.height();
    const int area = size * size;
    const double alphaScale = amount / area;
    // Read where it is: the picture is shared with its undo step, and the result is a new
    // picture anyway, so a writable copy of the original would only cost its size.
    const QImage src = detail::premultiplied(img);
    img = QImage();
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) {
        img = src;
        return;
    }
    const ConstPixelRows in(src);
    const PixelRows rows(out);
    parallelRows(h, qint64(w) * (size + 4), [&](int y0, int y1) {
        // Sums across each row of the four channels (memory order), edges repeated.
        auto across = [&](int y, int *line) {
            const QRgb *s = in[std::clamp(y, 0, h - 1)];
            int sum[4] = {0, 0, 0, 0};
            auto add = [&](int x, int sign) {
                const QRgb p = s[std::clamp(x, 0, w - 1)];
                sum[0] += sign * int(qBlue(p));
                sum[1] += sign * int(qGreen(p));
                sum[2] += sign * int(qRed(p));
                sum[3] += sign * int(qAlpha(p));
            };
            for (int x = -radius - 1; x < radius; ++x)
                add(x, 1);
            for (int x = 0; x < w; ++x) {
                add(x + radius, 1);
                add(x - radius - 1, -1);
                std::copy(sum, sum + 4, line + 4 * x);
            }
        };
        // Starting a line from -radius - 1 and removing that pixel on the first step keeps the
        // loop uniform.
        RowRing<int, decltype(across)> ring(size + 1, size_t(4 * w), across);
        std::vector<int> column(size_t(4 * w), 0);
        for (int r = y0 - radius; r <= y0 + radius; ++r) {
            const int *l = ring.row(r);
            for (int i = 0; i < 4 * w; ++i)
                column[size_t(i)] += l[i];
        }
        for (int y = y0; y < y1; ++y) {
            if (y > y0) {
                const int *add = ring.row(y + radius), *drop = ring.row(y - radius - 1);
                for (int i = 0; i < 4 * w; ++i)
                    column[size_t(i)] += add[i] - drop[i];
            }
            const QRgb *s = in[y];
            QRgb *d = rows[y];
            for (int x = 0; x < w; ++x) {
                const QRgb p = s[x];
                const int a = qAlpha(p);
                if (a == 0) {
                    d[x] = 0;
                    continue;
                }
                const int *sum = column.data() + 4 * x;
                const QRgb u = qUnpremultiply(p);
                // value - mean, with the colour mean taken as sum(colour) / sum(alpha)
                const double perAlpha = amount / double(sum[3]);
                auto sharpened = [&](int value, int colourSum) {
                    return roundedByte(value + (value * sum[3] - 255 * colourSum) * perAlpha);
                };
                const int na = ignoreAlpha ? a : roundedByte(a + (a * area - sum[3]) * alphaScale);
                d[x] = qPremultiply(qRgba(sharpened(qRed(u), sum[2]), sharpened(qGreen(u), sum[1]),
                                          sharpened(qBlue(u), sum[0]), na));
            }
        }
    });
    img = out;
}

int shadowReach(double blur)
{
    return std::clamp(roundToInt(std::isfinite(blur) ? blur / 10.0 : 0.0), 0, 26);
}

void dropShadow(QImage &img, int dx, int dy, QRgb color, int opacity, double blur)
{
    opacity = std::clamp(opacity, 0, 255);
    if (opacity == 0 || !detail::makeWritablePremultiplied(img))
        return;
    const int w = img.width(), h = img.height();
    // The shadow: the image's alpha moved by (dx, dy), with eight bits of fraction.
    std::vector<std::uint16_t> shade(size_t(w) * size_t(h));
    {
        const ConstPixelRows in(std::as_const(img));
        parallelRows(h, w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                std::uint16_t *o = shade.data() + size_t(y) * size_t(w);
                const qint64 sy = qint64(y) - dy;
                if (sy < 0 || sy >= h) {
                    std::fill(o, o + w, std::uint16_t(0));
                    continue;
                }
                const QRgb *s = in[int(sy)];
                for (int x = 0; x < w; ++x) {
                    const qint64 sx = qint64(x) - dx;
                    o[x] = sx >= 0 && sx < w ? std::uint16_t(qAlpha(s[sx]) << 8) : std::uint16_t(0);
                }
            }
        });
    }

    // Softness: blur / 10 pixels of reach, shared out over three box blurs each way, which
    // together come close to a gaussian.
    const int reach = shadowReach(blur);
    int radii[3];
    for (int i = 0; i < 3; ++i)
        radii[i] = reach / 3 + (i < reach % 3 ? 1 : 0);
    if (reach > 0) {
        parallelRows(h, 3 * qint64(w), [&](int y0, int y1) {
            std::vector<std::uint16_t> scratch(static_cast<size_t>(w));
            for (int y = y0; y < y1; ++y)
                for (int r : radii)
                    if (r > 0)
                        boxLine(shade.data() + size_t(y) * size_t(w), scratch.data(), w, r);
        });
        std::vector<std::uint16_t> other(shade.size());
        for (int r : radii) {
            if (r > 0) {
                boxColumns(shade.data(), other.data(), w, h, r);
                shade.swap(other);
            }
        }
    }

    // Under the image: out = image + shadow * (1 - image alpha).
    const int sr = qRed(color), sg = qGreen(color), sb = qBlue(color);
    const PixelRows rows(img);
    parallelRows(h, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            QRgb *p = rows[y];
            const std::uint16_t *s = shade.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x) {
                const uint a = qAlpha(p[x]);
                if (a == 255 || s[x] == 0)
                    continue;
                const uint sa = (uint(s[x]) * uint(opacity) + 32640u) / 65280u;
                if (sa == 0)
                    continue;
                const QRgb shadow = qPremultiply(qRgba(sr, sg, sb, int(sa)));
                p[x] += detail::byteMul(shadow, 255 - a);
            }
        }
    });
}

} // namespace platform::imaging
