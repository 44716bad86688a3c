// Quality resizing: area averaging when shrinking, Catmull-Rom bicubic when enlarging, each
// axis on its own.
//
// Resampling works on premultiplied pixels, so colour next to transparent pixels is weighted
// by its alpha and edges against transparency do not darken. Weights are fixed-point integers
// (sum exactly 1 << 14) and every sum is an exact integer sum, so every machine computes the
// same pixels.
//
// Two passes, one along each axis, meet through 16-bit channels with eight fraction bits.
// They meet row by row: the rows of the first pass that an output row of the second needs
// are kept in a small ring (or, when the second pass runs along the rows, the one row), so no
// plane of the whole picture lies between them and what the second pass reads is still in
// the cache. Where the processor has AVX2 both passes multiply pairs of 16-bit values by pairs
// of weights and add them up in one instruction (vpmaddwd), eight channels at a time; the
// sums are the very sums of the plain loops, term for term, so the pixels are the same with
// or without it. Between the passes a 16-bit channel is kept with its top bit flipped (its
// value less 32768, read as a signed number), which that instruction multiplies; the 32768
// of each term adds up to 32768 times the sum of the weights, which is known.
#include "platform/imaging/FiltersSupport.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define PELMORA_RESAMPLE_AVX2 1
#include <immintrin.h>
#endif

namespace platform::imaging::detail {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// For each output position along one axis: the source positions that contribute and their
// weights (Q14, summing to kOne).
struct AxisTaps {
    std::vector<int> first; // per output: offset into index/weight
    std::vector<int> count; // per output
    std::vector<int> index;
    std::vector<int> weight;
    int outputs() const { return int(first.size()); }
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

using U8 = std::uint8_t;
using U16 = std::uint16_t;

// Channel types of the passes: 8-bit premultiplied pixels, or 16-bit channels with eight
// fraction bits (0..65280) between the passes, stored with the top bit flipped. Channels are
// in memory order.
template <typename T>
struct Channel;
template <>
struct Channel<U8> {
    static constexpr int bits = 0;
    static int read(U8 v) { return v; }
    static U8 write(int v) { return U8(v); }
};
template <>
struct Channel<U16> {
    static constexpr int bits = 8;
    static int read(U16 v) { return int(v ^ 0x8000u); }
    static U16 write(int v) { return U16(v ^ 0x8000); }
};

constexpr int kAlphaByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;

// The shift that takes a sum of the input type (Q14 times its scale) to the output's scale,
// and the largest output value.
template <typename In, typename Out>
constexpr int kShift = kWeightBits + Channel<In>::bits - Channel<Out>::bits;
template <typename Out>
constexpr int kMaxValue = 255 << Channel<Out>::bits;

// Writes four summed channels as the output type, rounded and clamped so that the colour
// never exceeds alpha (bicubic weights can overshoot).
template <typename In, typename Out>
inline void store(Out *out, const int *acc)
{
    constexpr int shift = kShift<In, Out>;
    int v[4];
    for (int c = 0; c < 4; ++c)
        v[c] = std::clamp((acc[c] + (1 << (shift - 1))) >> shift, 0, kMaxValue<Out>);
    const int a = v[kAlphaByte];
    for (int c = 0; c < 4; ++c)
        out[c] = Channel<Out>::write(std::min(v[c], a));
}

// The pass along x for one row: the outputs [begin, end) of taps.
template <typename In, typename Out>
void horizontalRowPlain(const In *src, Out *dst, const AxisTaps &taps, int begin, int end)
{
    const int *first = taps.first.data(), *count = taps.count.data();
    const int *index = taps.index.data(), *weight = taps.weight.data();
    for (int x = begin; x < end; ++x) {
        int acc[4] = {0, 0, 0, 0};
        const int f = first[x], n = count[x];
        for (int k = 0; k < n; ++k) {
            const In *s = src + 4 * index[f + k];
            const int w = weight[f + k];
            for (int c = 0; c < 4; ++c)
                acc[c] += w * Channel<In>::read(s[c]);
        }
        store<In>(dst + 4 * x, acc);
    }
}

// The pass along y for one output row, pixels [begin, end), from the n rows of its taps.
template <typename In, typename Out>
void verticalRowPlain(const In *const *rows, const int *weights, int n, Out *dst, int begin, int end)
{
    for (int x = begin; x < end; ++x) {
        int acc[4] = {0, 0, 0, 0};
        for (int k = 0; k < n; ++k) {
            const In *s = rows[k] + 4 * x;
            for (int c = 0; c < 4; ++c)
                acc[c] += weights[k] * Channel<In>::read(s[c]);
        }
        store<In>(dst + 4 * x, acc);
    }
}

std::atomic<bool> gVectorUnits{true};

#ifdef PELMORA_RESAMPLE_AVX2

// The window of the pass along x: each output reads groups of four neighbouring source pixels
// from start on, with a weight for each (0 where no tap falls, taps on one pixel added up, as
// at the edges where bicubic repeats the edge pixel). The outputs are padded to a multiple of
// four with copies of the last. Weights are laid out for pairs of outputs: for outputs x and
// x + 1 and each group, the weights of its pixels 0 and 1 repeated for the four channels, of
// x then of x + 1, then those of pixels 2 and 3 (8-bit input); or, for each output and group,
// pixels 0 and 1 then 2 and 3 (16-bit input).
struct Window {
    int groups = 0;
    int outputs = 0; // padded
    std::vector<int> start;
    std::vector<std::int16_t> weights;
};

// The window of taps for a source row of srcWidth pixels; no groups when it does not fit.
template <typename In>
Window windowOf(const AxisTaps &taps, int srcWidth)
{
    Window w;
    const int n = taps.outputs();
    int span = 1;
    for (int x = 0; x < n; ++x) {
        const int *idx = taps.index.data() + taps.first[size_t(x)];
        const auto [lo, hi] = std::minmax_element(idx, idx + taps.count[size_t(x)]);
        span = std::max(span, *hi - *lo + 1);
    }
    const int width = (span + 3) / 4 * 4;
    if (width > srcWidth || n == 0)
        return w;
    w.groups = width / 4;
    w.outputs = (n + 3) / 4 * 4;
    w.start.resize(size_t(w.outputs));
    w.weights.assign(size_t(w.outputs) * size_t(w.groups) * 16, 0);
    std::vector<int> merged(static_cast<size_t>(width));
    for (int o = 0; o < w.outputs; ++o) {
        const int x = std::min(o, n - 1);
        const int f = taps.first[size_t(x)], count = taps.count[size_t(x)];
        const int lo = *std::min_element(taps.index.begin() + f, taps.index.begin() + f + count);
        const int s = std::min(lo, srcWidth - width);
        w.start[size_t(o)] = s;
        std::fill(merged.begin(), merged.end(), 0);
        for (int k = 0; k < count; ++k)
            merged[size_t(taps.index[size_t(f + k)] - s)] += taps.weight[size_t(f + k)];
        for (int g = 0; g < w.groups; ++g)
            for (int half = 0; half < 2; ++half) {
                std::int16_t *out;
                if constexpr (sizeof(In) == 1) // [pair][group][half][output of the pair]
                    out = w.weights.data() + ((size_t(o / 2) * size_t(w.groups) + size_t(g)) * 2 + size_t(half)) * 16
                          + size_t(o % 2) * 8;
                else // [output][group][half]
                    out = w.weights.data() + (size_t(o) * size_t(w.groups) + size_t(g)) * 16 + size_t(half) * 8;
                for (int c = 0; c < 4; ++c) {
                    out[2 * c] = std::int16_t(merged[size_t(4 * g + 2 * half)]);
                    out[2 * c + 1] = std::int16_t(merged[size_t(4 * g + 2 * half + 1)]);
                }
            }
    }
    return w;
}

// What the top bit flipped in every channel of a 16-bit input takes off a sum: 32768 times
// the weights, whose sum is kOne.
constexpr int kFlipBias = 32768 * kOne;

// Rounds, shifts and clamps the sums of four pixels, one pixel to each 128-bit lane of a and
// b, and writes them as the output type. The pixels lie in a, b as a.lane0, a.lane1, b.lane0,
// b.lane1 (sequential) or a.lane0, b.lane0, a.lane1, b.lane1.
template <typename In, typename Out>
__attribute__((target("avx2"))) inline __m256i finished(__m256i v)
{
    constexpr int shift = kShift<In, Out>;
    v = _mm256_srai_epi32(_mm256_add_epi32(v, _mm256_set1_epi32(1 << (shift - 1))), shift);
    v = _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(kMaxValue<Out>));
    return _mm256_min_epi32(v, _mm256_shuffle_epi32(v, kAlphaByte * 0x55));
}

template <typename In, typename Out, bool sequential>
__attribute__((target("avx2"))) inline void store4(Out *dst, __m256i a, __m256i b)
{
    __m256i packed = _mm256_packus_epi32(finished<In, Out>(a), finished<In, Out>(b)); // a.lane0, b.lane0 | a.lane1, b.lane1
    if constexpr (sequential)
        packed = _mm256_permute4x64_epi64(packed, 0xD8);
    if constexpr (sizeof(Out) == 2) {
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst), _mm256_xor_si256(packed, _mm256_set1_epi16(-0x8000)));
    } else {
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(packed, packed), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm256_castsi256_si128(bytes));
    }
}

// The sums of outputs o and o + 1 of the window from an 8-bit row, one to each lane.
__attribute__((target("avx2"))) inline __m256i windowSums(const U8 *src, const Window &w, int o)
{
    const __m256i pairs01 = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, //
                                             0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m256i pairs23 = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, //
                                             8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    const U8 *p0 = src + 4 * w.start[size_t(o)], *p1 = src + 4 * w.start[size_t(o + 1)];
    const auto *weights = reinterpret_cast<const __m256i *>(w.weights.data() + size_t(o / 2) * size_t(w.groups) * 32);
    __m256i acc = _mm256_setzero_si256();
    for (int g = 0; g < w.groups; ++g) {
        const __m256i v = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p0 + 16 * g))),
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(p1 + 16 * g)), 1);
        acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_shuffle_epi8(v, pairs01), _mm256_loadu_si256(weights + 2 * g)));
        acc = _mm256_add_epi32(acc,
                               _mm256_madd_epi16(_mm256_shuffle_epi8(v, pairs23), _mm256_loadu_si256(weights + 2 * g + 1)));
    }
    return acc;
}

// The same from a 16-bit row (top bits flipped).
__attribute__((target("avx2"))) inline __m256i windowSums(const U16 *src, const Window &w, int o)
{
    // Each lane holds two pixels; their channels are paired: c0 of both, c1 of both, ...
    const __m256i pairs = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, //
                                           0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
    __m256i sums[2];
    for (int i = 0; i < 2; ++i) {
        const U16 *p = src + 4 * w.start[size_t(o + i)];
        const auto *weights = reinterpret_cast<const __m256i *>(w.weights.data() + size_t(o + i) * size_t(w.groups) * 16);
        __m256i acc = _mm256_setzero_si256();
        for (int g = 0; g < w.groups; ++g) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 16 * g));
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_shuffle_epi8(v, pairs), _mm256_loadu_si256(weights + g)));
        }
        sums[i] = acc; // pixels 0 and 1 of each group in lane 0, 2 and 3 in lane 1
    }
    const __m256i both = _mm256_add_epi32(_mm256_permute2x128_si256(sums[0], sums[1], 0x20),
                                          _mm256_permute2x128_si256(sums[0], sums[1], 0x31));
    return _mm256_add_epi32(both, _mm256_set1_epi32(kFlipBias));
}

template <typename In, typename Out>
__attribute__((target("avx2"))) void horizontalRowAvx2(const In *src, Out *dst, const Window &w, int outWidth)
{
    int o = 0;
    for (; o + 4 <= outWidth; o += 4)
        store4<In, Out, true>(dst + 4 * o, windowSums(src, w, o), windowSums(src, w, o + 2));
    if (o < outWidth) { // the padding of the window makes the last four readable
        Out last[16];
        store4<In, Out, true>(last, windowSums(src, w, o), windowSums(src, w, o + 2));
        std::memcpy(dst + 4 * o, last, size_t(outWidth - o) * 4 * sizeof(Out));
    }
}

// The pass along y for one output row of width pixels from rows (an even number, weights in
// pairs, each pair as two 16-bit halves of one 32-bit value); the pixels that do not fill a
// group of four are left to the caller.
template <typename Out>
__attribute__((target("avx2"))) int verticalRowAvx2(const U8 *const *rows, const std::int32_t *pairWeights, int pairs,
                                                    Out *dst, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        __m256i lo = _mm256_setzero_si256(), hi = _mm256_setzero_si256();
        for (int p = 0; p < pairs; ++p) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[2 * p] + 4 * x));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[2 * p + 1] + 4 * x));
            const __m256i wt = _mm256_set1_epi32(pairWeights[p]);
            lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(a, b)), wt));
            hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(a, b)), wt));
        }
        store4<U8, Out, true>(dst + 4 * x, lo, hi);
    }
    return x;
}

template <typename Out>
__attribute__((target("avx2"))) int verticalRowAvx2(const U16 *const *rows, const std::int32_t *pairWeights, int pairs,
                                                    Out *dst, int width)
{
    const __m256i bias = _mm256_set1_epi32(kFlipBias);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        __m256i lo = bias, hi = bias;
        for (int p = 0; p < pairs; ++p) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(rows[2 * p] + 4 * x));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(rows[2 * p + 1] + 4 * x));
            const __m256i wt = _mm256_set1_epi32(pairWeights[p]);
            lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), wt)); // pixels 0 and 2
            hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), wt)); // pixels 1 and 3
        }
        store4<U16, Out, false>(dst + 4 * x, lo, hi);
    }
    return x;
}

#else

bool hasAvx2() { return false; }

struct Window {
    int groups = 0;
};
template <typename In>
Window windowOf(const AxisTaps &, int)
{
    return {};
}

#endif

// The pass along x, with the window when it has groups (the processor's vector unit), else
// with the plain loop.
template <typename In, typename Out>
void horizontalRow(const In *src, Out *dst, const AxisTaps &taps, [[maybe_unused]] const Window &w)
{
#ifdef PELMORA_RESAMPLE_AVX2
    if (w.groups > 0) {
        horizontalRowAvx2(src, dst, w, taps.outputs());
        return;
    }
#endif
    horizontalRowPlain(src, dst, taps, 0, taps.outputs());
}

// The taps of the pass along y as row numbers and weights, padded to an even count with a
// weight of 0 on the last row; with the weights in pairs for the vector unit.
struct VerticalTaps {
    std::vector<int> first, count, row, weight;
    std::vector<std::int32_t> pairWeights; // from first[y] / 2
    int most = 0;                          // the largest count
    int span = 0;                          // the most rows one output reads, first to last

    explicit VerticalTaps(const AxisTaps &taps)
    {
        for (int y = 0; y < taps.outputs(); ++y) {
            const int f = taps.first[size_t(y)], n = taps.count[size_t(y)];
            first.push_back(int(row.size()));
            for (int k = 0; k < n; ++k) {
                row.push_back(taps.index[size_t(f + k)]);
                weight.push_back(taps.weight[size_t(f + k)]);
            }
            if (n % 2) {
                row.push_back(row.back());
                weight.push_back(0);
            }
            count.push_back(int(row.size()) - first.back());
            most = std::max(most, count.back());
            const auto [lo, hi] = std::minmax_element(row.begin() + first.back(), row.end());
            span = std::max(span, *hi - *lo + 1);
        }
        for (size_t k = 0; k < weight.size(); k += 2)
            pairWeights.push_back(std::int32_t(std::uint32_t(std::uint16_t(weight[k]))
                                               | (std::uint32_t(std::uint16_t(weight[k + 1])) << 16)));
    }
};

// One output row of the pass along y from the rows of its taps.
template <typename In, typename Out>
void verticalRow(const In *const *rows, const VerticalTaps &taps, int y, Out *dst, int width, bool vector)
{
    const int f = taps.first[size_t(y)], n = taps.count[size_t(y)];
    int done = 0;
#ifdef PELMORA_RESAMPLE_AVX2
    if (vector)
        done = verticalRowAvx2(rows, taps.pairWeights.data() + f / 2, n / 2, dst, width);
#endif
    verticalRowPlain(rows, taps.weight.data() + f, n, dst, done, width);
}

} // namespace

bool useVectorUnits(bool on)
{
    return gVectorUnits.exchange(on);
}

bool vectorUnits()
{
    return gVectorUnits.load(std::memory_order_relaxed);
}

bool hasAvx2()
{
#ifdef PELMORA_RESAMPLE_AVX2
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

QImage resampled(const QImage &src, int width, int height)
{
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const int sw = src.width(), sh = src.height();
    const uchar *inBits = src.constBits();
    const qsizetype inStride = src.bytesPerLine();
    const PixelRows dstRows(out);
    auto srcRow = [inBits, inStride](int y) { return reinterpret_cast<const U8 *>(inBits + y * inStride); };
    auto dstRow = [&dstRows](int y) { return reinterpret_cast<U8 *>(dstRows[y]); };

    const bool scaleX = width != sw, scaleY = height != sh;
    const AxisTaps tx = scaleX ? axisTaps(sw, width) : AxisTaps{};
    const AxisTaps ty = scaleY ? axisTaps(sh, height) : AxisTaps{};
    const bool vector = vectorUnits() && hasAvx2();

    if (!scaleY) {
        const Window w = vector ? windowOf<U8>(tx, sw) : Window{};
        parallelRows(sh, qint64(width) * qint64(tx.averageTaps() + 1), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                horizontalRow(srcRow(y), dstRow(y), tx, w);
        });
        return out;
    }
    const VerticalTaps vy(ty);
    if (!scaleX) {
        parallelRows(height, qint64(sw) * qint64(ty.averageTaps() + 1), [&](int y0, int y1) {
            std::vector<const U8 *> rows(size_t(vy.most));
            for (int y = y0; y < y1; ++y) {
                for (int k = 0; k < vy.count[size_t(y)]; ++k)
                    rows[size_t(k)] = srcRow(vy.row[size_t(vy.first[size_t(y)] + k)]);
                verticalRow(rows.data(), vy, y, dstRow(y), sw, vector);
            }
        });
        return out;
    }
    // Narrowing first along the axis where that saves more.
    const double costXFirst = double(width) * sh * tx.averageTaps() + double(width) * height * ty.averageTaps();
    const double costYFirst = double(sw) * height * ty.averageTaps() + double(width) * height * tx.averageTaps();
    const double cost = std::min(costXFirst, costYFirst) / double(height);
    if (costXFirst <= costYFirst) {
        // Each output row reads the rows of its taps along x from a ring of as many rows as
        // one output row reads.
        const Window w = vector ? windowOf<U8>(tx, sw) : Window{};
        parallelRows(height, qint64(cost), [&](int y0, int y1) {
            auto make = [&](int r, U16 *p) { horizontalRow(srcRow(r), p, tx, w); };
            RowRing<U16, decltype(make)> mid(vy.span, size_t(width) * 4, make);
            std::vector<const U16 *> rows(size_t(vy.most));
            for (int y = y0; y < y1; ++y) {
                for (int k = 0; k < vy.count[size_t(y)]; ++k)
                    rows[size_t(k)] = mid.row(vy.row[size_t(vy.first[size_t(y)] + k)]);
                verticalRow(rows.data(), vy, y, dstRow(y), width, vector);
            }
        });
    } else {
        // Each output row is its row along y, then along x.
        const Window w = vector ? windowOf<U16>(tx, sw) : Window{};
        parallelRows(height, qint64(cost), [&](int y0, int y1) {
            std::vector<U16> mid(size_t(sw) * 4);
            std::vector<const U8 *> rows(size_t(vy.most));
            for (int y = y0; y < y1; ++y) {
                for (int k = 0; k < vy.count[size_t(y)]; ++k)
                    rows[size_t(k)] = srcRow(vy.row[size_t(vy.first[size_t(y)] + k)]);
                verticalRow(rows.data(), vy, y, mid.data(), sw, vector);
                horizontalRow(mid.data(), dstRow(y), tx, w);
            }
        });
    }
    return out;
}

} // namespace platform::imaging::detail
