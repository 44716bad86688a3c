// Colour filters, gradients and the HSL conversion.
//
// Colour filters work on the unpremultiplied colour of each pixel through tables of 256 (or
// 511) entries built once per call, and keep alpha, so transparent pixels stay transparent.
// Tables are built with plain IEEE arithmetic and rounded half to even; the per-pixel work is
// integer only.
#include "platform/imaging/Filters.h"

#include "platform/Rounding.h"
#include "platform/imaging/FiltersSupport.h"

#include <QMutex>

#include <algorithm>
#include <array>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define PELMORA_FILTERS_AVX2 1
#include <immintrin.h>
#endif

namespace platform::imaging {

using detail::clampByte;
using detail::ConstPixelRows;
using detail::PixelRows;
using detail::parallelRows;

namespace {

// Replaces the colour of every pixel by map(unpremultiplied pixel); alpha is kept. Each band
// works with a copy of map of its own, so that the compiler knows that no pixel it writes
// changes map's tables and keeps what it has read of them at hand.
template <typename Map>
void mapColours(QImage &img, const Map &map)
{
    if (!detail::makeWritablePremultiplied(img))
        return;
    const PixelRows rows(img);
    const int w = img.width();
    parallelRows(img.height(), w, [rows, w, &map](int y0, int y1) {
        const Map f = map;
        for (int y = y0; y < y1; ++y) {
            QRgb *p = rows[y];
            for (int x = 0; x < w; ++x) {
                const QRgb px = p[x];
                const uint a = qAlpha(px);
                if (a == 255)
                    p[x] = f(px) | 0xFF000000u;
                else if (a != 0)
                    p[x] = qPremultiply((f(qUnpremultiply(px)) & 0x00FFFFFFu) | (a << 24));
            }
        }
    });
}

// The same table for red, green and blue, as three tables of the channel in its place.
struct ChannelTables {
    std::array<QRgb, 256> red, green, blue;
    explicit ChannelTables(const std::array<std::uint8_t, 256> &t)
    {
        for (size_t v = 0; v < 256; ++v) {
            red[v] = QRgb(t[v]) << 16;
            green[v] = QRgb(t[v]) << 8;
            blue[v] = t[v];
        }
    }
    QRgb operator()(QRgb p) const { return red[size_t(qRed(p))] | green[size_t(qGreen(p))] | blue[size_t(qBlue(p))]; }
};

void applyTable(QImage &img, const std::array<std::uint8_t, 256> &t)
{
    mapColours(img, ChannelTables(t));
}

// HSL to RGB: h in turns (any value, taken modulo 1), s and l in 0..1.
QRgb hslToRgbF(double h, double s, double l)
{
    if (s <= 0.0) {
        const int v = clampByte(l * 255.0);
        return qRgb(v, v, v);
    }
    const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    auto channel = [p, q](double t) {
        t -= std::floor(t);
        double v = p;
        if (t < 1.0 / 6.0)
            v = p + (q - p) * 6.0 * t;
        else if (t < 0.5)
            v = q;
        else if (t < 2.0 / 3.0)
            v = p + (q - p) * (2.0 / 3.0 - t) * 6.0;
        return clampByte(v * 255.0);
    };
    return qRgb(channel(h + 1.0 / 3.0), channel(h), channel(h - 1.0 / 3.0));
}

// Gradients look colours up in a table of this many steps (plus one for the end colour);
// the error against exact interpolation stays far below one level.
constexpr int kGradientSteps = 4096;

std::vector<QRgb> gradientTable(const GradientColors &colors)
{
    std::vector<QRgb> table(kGradientSteps + 1, qRgb(0, 0, 0));
    const auto &stops = colors.stops;
    if (stops.empty())
        return table;
    const int segments = int(stops.size()) - 1;
    for (int i = 0; i <= kGradientSteps; ++i) {
        const int pos = i * segments; // in 1/kGradientSteps of a segment
        const int k = std::min(pos / kGradientSteps, std::max(segments - 1, 0));
        const int f = pos - k * kGradientSteps;
        const QRgb a = stops[size_t(k)].rgb();
        const QRgb b = stops[size_t(std::min(k + 1, segments))].rgb();
        auto mix = [f](int ca, int cb) {
            return clampByte(ca + double(cb - ca) * f / kGradientSteps);
        };
        table[size_t(i)] = qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
    }
    return table;
}

// t (0..1, clamped) as an index into the gradient table.
inline int gradientIndex(double t)
{
    if (!(t > 0.0))
        return 0;
    if (t >= 1.0)
        return kGradientSteps;
    return int(t * kGradientSteps + 0.5);
}

#ifdef PELMORA_FILTERS_AVX2
// Eight pixels at a time of invertRow(), from x on; gives where it stopped.
__attribute__((target("avx2"))) int invertRowAvx2(QRgb *p, int x, int n)
{
    // Each pixel's alpha byte copied to its four bytes by one shuffle within each lane.
    const __m256i spread = _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15, 3, 3, 3, 3, 7, 7,
                                            7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    const __m256i alphaBytes = _mm256_set1_epi32(int(0xFF000000u));
    for (; x + 8 <= n; x += 8) {
        auto *at = reinterpret_cast<__m256i *>(p + x);
        const __m256i px = _mm256_loadu_si256(at);
        const __m256i a = _mm256_shuffle_epi8(px, spread);
        const __m256i inverted = _mm256_sub_epi8(a, _mm256_min_epu8(px, a));
        _mm256_storeu_si256(at, _mm256_or_si256(inverted, _mm256_and_si256(px, alphaBytes)));
    }
    return x;
}
#endif

// One row of negative(): each colour channel c of a pixel of alpha a becomes a - min(c, a).
void invertRow(QRgb *p, int n)
{
    int x = 0;
#ifdef PELMORA_FILTERS_AVX2
    if (detail::vectorUnits() && detail::hasAvx2())
        x = invertRowAvx2(p, x, n);
#endif
#if defined(__SSE2__)
    // Four pixels at a time: each pixel's alpha spread over its four bytes, then the same
    // byte arithmetic; the alpha byte itself comes out as 0 and is put back.
    const __m128i alphaBytes = _mm_set1_epi32(int(0xFF000000u));
    const int vectorEnd = detail::vectorUnits() ? n : 0;
    for (; x + 4 <= vectorEnd; x += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + x));
        __m128i a = _mm_srli_epi32(px, 24);
        a = _mm_or_si128(a, _mm_slli_epi32(a, 8));
        a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i inverted = _mm_sub_epi8(a, _mm_min_epu8(px, a));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + x), _mm_or_si128(inverted, _mm_and_si128(px, alphaBytes)));
    }
#endif
    for (; x < n; ++x) {
        const QRgb px = p[x];
        const uint a = qAlpha(px);
        const uint r = a - std::min<uint>(qRed(px), a);
        const uint g = a - std::min<uint>(qGreen(px), a);
        const uint b = a - std::min<uint>(qBlue(px), a);
        p[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}

} // namespace

void negative(QImage &img)
{
    // In premultiplied terms the inverted colour is alpha - colour, which keeps alpha and is
    // its own inverse exactly.
    if (!detail::makeWritablePremultiplied(img))
        return;
    const PixelRows rows(img);
    const int w = img.width();
    parallelRows(img.height(), w, [rows, w](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            invertRow(rows[y], w);
    });
}

void colorize(QImage &img, QRgb color)
{
    // Hue and saturation of color (HSL).
    const int cr = qRed(color), cg = qGreen(color), cb = qBlue(color);
    const int mx = std::max({cr, cg, cb}), mn = std::min({cr, cg, cb});
    const int d = mx - mn;
    double hue = 0.0, sat = 0.0;
    if (d > 0) {
        sat = mx + mn <= 255 ? double(d) / (mx + mn) : double(d) / (510 - mx - mn);
        if (mx == cr)
            hue = double(cg - cb) / d;
        else if (mx == cg)
            hue = 2.0 + double(cb - cr) / d;
        else
            hue = 4.0 + double(cr - cg) / d;
        hue /= 6.0;
    }
    // The result depends on the pixel's lightness only, max + min in 0..510.
    struct ByLightness {
        std::array<QRgb, 511> table;
        QRgb operator()(QRgb p) const
        {
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            return table[size_t(std::max({r, g, b}) + std::min({r, g, b}))];
        }
    } byLightness;
    for (int l2 = 0; l2 <= 510; ++l2)
        byLightness.table[size_t(l2)] = hslToRgbF(hue, sat, l2 / 510.0);
    if (d == 0) {
        // Grey: each pixel's luminance (Rec. 601) is its lightness, so that colours of one
        // HSL lightness but different brightness (yellow and blue) stay apart.
        struct ByLuminance {
            std::array<QRgb, 511> table;
            QRgb operator()(QRgb p) const
            {
                const int y2 = (2 * (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p)) + 500) / 1000;
                return table[size_t(y2)];
            }
        };
        mapColours(img, ByLuminance{byLightness.table});
        return;
    }
    mapColours(img, byLightness);
}

void autoBrightness(QImage &img, int low, int high)
{
    if (!detail::makeWritablePremultiplied(img))
        return;
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, 0, 255);

    // Histogram of the luminance (Rec. 601 weights) of every pixel that is not transparent.
    std::array<qint64, 256> histogram{};
    QMutex merge;
    const ConstPixelRows rows(std::as_const(img));
    const int w = img.width();
    parallelRows(img.height(), w, [&histogram, &merge, rows, w](int y0, int y1) {
        // Four counts of each level, taken in turn, so that neighbouring pixels of one level
        // do not each wait for the other's count.
        std::array<std::array<qint64, 256>, 4> local{};
        for (int y = y0; y < y1; ++y) {
            const QRgb *p = rows[y];
            for (int x = 0; x < w; ++x) {
                if (qAlpha(p[x]) == 0)
                    continue;
                const QRgb u = qUnpremultiply(p[x]);
                ++local[size_t(x & 3)][size_t((77 * qRed(u) + 150 * qGreen(u) + 29 * qBlue(u) + 128) >> 8)];
            }
        }
        const QMutexLocker lock(&merge);
        for (size_t i = 0; i < 256; ++i)
            histogram[i] += local[0][i] + local[1][i] + local[2][i] + local[3][i];
    });
    // The levels below which the darkest 0.5 % and above which the brightest 0.5 % of the
    // pixels lie: a few stray pixels at the ends do not keep the stretch from working.
    qint64 total = 0;
    for (const qint64 n : histogram)
        total += n;
    const qint64 ignored = total / 200;
    int darkest = 0, brightest = 255;
    for (qint64 seen = histogram[0]; darkest < 255 && seen <= ignored; seen += histogram[size_t(++darkest)]) {
    }
    for (qint64 seen = histogram[255]; brightest > 0 && seen <= ignored; seen += histogram[size_t(--brightest)]) {
    }
    if (brightest <= darkest)
        return; // one level or nothing visible: nothing to stretch

    // The same straight line for the three channels moves the luminance along it as well.
    std::array<std::uint8_t, 256> table;
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = std::uint8_t(clampByte(low + double(v - darkest) * (high - low) / (brightest - darkest)));
    applyTable(img, table);
}

void brightnessContrast(QImage &img, int brightness, int contrast)
{
    brightness = std::clamp(brightness, -100, 100);
    contrast = std::clamp(contrast, -100, 100);
    if (brightness == 0 && contrast == 0)
        return;
    // Contrast scales the distance from mid-grey by (100 + c) / (100 - c): -100 gives flat grey,
    // +100 a threshold at mid-grey. Brightness then shifts by brightness % of the full range.
    const double slope = contrast == 100 ? 256.0 : (100.0 + contrast) / (100.0 - contrast);
    const double shift = brightness * 255.0 / 100.0;
    std::array<std::uint8_t, 256> table;
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = std::uint8_t(clampByte((v - 127.5) * slope + 127.5 + shift));
    applyTable(img, table);
}

QRgb hslToRgb(int hue, int saturation, int lightness)
{
    hue = ((hue % 256) + 256) % 256; // 256 steps round the circle: 0 red, 85 green, 171 blue
    saturation = std::clamp(saturation, 0, 255);
    lightness = std::clamp(lightness, 0, 255);
    if (saturation == 0)
        return qRgb(lightness, lightness, lightness);
    return hslToRgbF(hue / 256.0, saturation / 255.0, lightness / 255.0);
}

// Red, yellow, green, cyan, blue, magenta: the hue circle in six even steps, ending on
// magenta (not back on red) so that both ends of a rainbow differ.
GradientColors GradientColors::rainbow()
{
    return {{QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0), QColor(0, 255, 255), QColor(0, 0, 255),
             QColor(255, 0, 255)}};
}

QImage linearGradient(int width, int height, QPointF start, QPointF end, const GradientColors &colors)
{
    if (width < 1 || height < 1)
        return {};
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    const std::vector<QRgb> table = gradientTable(colors);
    // t = (p - start) . (end - start) / |end - start|^2; a gradient of no length is all first colour.
    const double ex = end.x() - start.x(), ey = end.y() - start.y();
    const double len2 = ex * ex + ey * ey;
    const double kx = len2 > 0.0 ? ex / len2 : 0.0, ky = len2 > 0.0 ? ey / len2 : 0.0;
    const PixelRows rows(img);

    if (ky == 0.0) { // constant along columns: one row, copied
        std::vector<QRgb> line(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x)
            line[size_t(x)] = table[size_t(gradientIndex((x - start.x()) * kx))];
        parallelRows(height, width, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                std::copy(line.begin(), line.end(), rows[y]);
        });
        return img;
    }
    parallelRows(height, width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            QRgb *p = rows[y];
            const double ty = (y - start.y()) * ky;
            if (kx == 0.0) {
                std::fill(p, p + width, table[size_t(gradientIndex(ty))]);
                continue;
            }
            for (int x = 0; x < width; ++x)
                p[x] = table[size_t(gradientIndex((x - start.x()) * kx + ty))];
        }
    });
    return img;
}

QImage centredGradient(int width, int height, QPointF centre, double radius, const GradientColors &colors)
{
    if (width < 1 || height < 1)
        return {};
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    const std::vector<QRgb> table = gradientTable(colors);
    const PixelRows rows(img);
    if (!(radius > 0.0)) { // everything lies at or beyond the radius
        img.fill(table.back());
        return img;
    }
    const double scale = 1.0 / radius;
    parallelRows(height, width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            QRgb *p = rows[y];
            const double dy = y - centre.y();
            for (int x = 0; x < width; ++x) {
                const double dx = x - centre.x();
                p[x] = table[size_t(gradientIndex(std::sqrt(dx * dx + dy * dy) * scale))];
            }
        }
    });
    return img;
}

} // namespace platform::imaging
