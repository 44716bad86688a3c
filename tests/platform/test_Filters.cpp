#include "platform/imaging/Filters.h"
#include "platform/imaging/FiltersSupport.h"

#include <QThreadPool>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace img = platform::imaging;

namespace {

constexpr auto kPremul = QImage::Format_ARGB32_Premultiplied;

// Reproducible noise with opaque, half-transparent and fully transparent areas.
QImage noisyImage(int w, int h, std::uint32_t seed = 1)
{
    QImage out(w, h, kPremul);
    std::uint32_t s = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            const int a = x < w / 3 ? 255 : (x < 2 * w / 3 ? int(s >> 24) : (y % 2 ? 0 : 255));
            out.setPixel(x, y, qPremultiply(qRgba(int(s >> 8) & 255, int(s >> 16) & 255, int(s) & 255, a)));
        }
    return out;
}

QImage filled(int w, int h, QRgb c)
{
    QImage out(w, h, kPremul);
    out.fill(qPremultiply(c));
    return out;
}

// Premultiplied data never has a colour channel above alpha.
bool validPremultiplied(const QImage &i)
{
    for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x) {
            const QRgb p = i.pixel(x, y);
            if (std::max({qRed(p), qGreen(p), qBlue(p)}) > qAlpha(p))
                return false;
        }
    return true;
}

// The filters as in-place calls, for checks that apply to all of them.
const std::vector<std::pair<const char *, std::function<void(QImage &)>>> &inPlaceFilters()
{
    static const std::vector<std::pair<const char *, std::function<void(QImage &)>>> list = {
        {"negative", [](QImage &i) { img::negative(i); }},
        {"colorize", [](QImage &i) { img::colorize(i, qRgb(200, 40, 90)); }},
        {"autoBrightness", [](QImage &i) { img::autoBrightness(i, 8, 248); }},
        {"brightnessContrast", [](QImage &i) { img::brightnessContrast(i, 30, -40); }},
        {"soften", [](QImage &i) { img::soften(i, 70); }},
        {"sharpen", [](QImage &i) { img::sharpen(i, 80, 3, false); }},
        {"sharpenKeepAlpha", [](QImage &i) { img::sharpen(i, 80, 5, true); }},
        {"dropShadow", [](QImage &i) { img::dropShadow(i, -10, 4, qRgb(0, 0, 0), 170, 77); }},
    };
    return list;
}

} // namespace

TEST(FiltersResize, GivesTheExactSizeInEveryModeAndRejectsEmptySizes)
{
    const QImage src = noisyImage(37, 23);
    const QSize sizes[] = {{1, 1}, {5, 3}, {36, 23}, {37, 40}, {100, 7}, {211, 97}};
    for (int mode : {img::ResizeMode::Fast, img::ResizeMode::Preview, img::ResizeMode::Quality}) {
        for (QSize s : sizes) {
            const QImage out = img::resized(src, s.width(), s.height(), mode);
            EXPECT_EQ(out.size(), s) << "mode " << mode;
            EXPECT_EQ(out.format(), kPremul);
        }
        EXPECT_TRUE(img::resized(src, 0, 10, mode).isNull());
        EXPECT_TRUE(img::resized(src, 10, -1, mode).isNull());
        // A picture of one pixel, not premultiplied, gives that pixel everywhere, premultiplied.
        QImage dot(1, 1, QImage::Format_ARGB32);
        dot.fill(qRgba(10, 200, 90, 128));
        const QImage spread = img::resized(dot, 5, 3, mode);
        ASSERT_EQ(spread.format(), kPremul);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(spread.pixel(x, y), qPremultiply(qRgba(10, 200, 90, 128))) << "mode " << mode;
    }
}

TEST(FiltersResize, SmoothModesKeepFlatColourAndDoNotDarkenAgainstTransparency)
{
    // White opaque left half, transparent right half: every pixel that has any alpha after
    // resampling must still be white once unpremultiplied.
    QImage src(40, 30, kPremul);
    src.fill(0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            src.setPixel(x, y, 0xFFFFFFFFu);
    for (int mode : {img::ResizeMode::Preview, img::ResizeMode::Quality}) {
        for (QSize s : {QSize(13, 11), QSize(97, 71), QSize(97, 11)}) {
            const QImage out = img::resized(src, s.width(), s.height(), mode);
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x) {
                    const QRgb p = qUnpremultiply(out.pixel(x, y));
                    if (qAlpha(p) > 0) {
                        ASSERT_EQ(p & 0xFFFFFFu, 0xFFFFFFu) << x << "," << y << " mode " << mode;
                    }
                }
        }
        // Bicubic overshoot next to transparency must not leave colour above alpha.
        EXPECT_TRUE(validPremultiplied(img::resized(noisyImage(30, 20), 71, 53, mode)));
        const QImage flat = img::resized(filled(17, 9, qRgba(10, 200, 90, 255)), 63, 5, mode);
        for (int y = 0; y < flat.height(); ++y)
            for (int x = 0; x < flat.width(); ++x)
                ASSERT_EQ(flat.pixel(x, y), qRgba(10, 200, 90, 255));
    }
}

TEST(FiltersResize, FastRepeatsOrPicksSourcePixels)
{
    QImage src(2, 2, kPremul);
    src.setPixel(0, 0, 0xFFFF0000u);
    src.setPixel(1, 0, 0xFF00FF00u);
    src.setPixel(0, 1, 0xFF0000FFu);
    src.setPixel(1, 1, 0xFFFFFFFFu);
    const QImage up = img::resized(src, 4, 4, img::ResizeMode::Fast);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(up.pixel(x, y), src.pixel(x / 2, y / 2));
    EXPECT_EQ(img::resized(up, 2, 2, img::ResizeMode::Fast), src);
}

TEST(FiltersRotate, QuarterTurnsMovePixelsExactly)
{
    const QImage src = noisyImage(100, 50);
    const QImage cw = img::rotated(src, 90, 0, false);
    ASSERT_EQ(cw.size(), QSize(50, 100));
    EXPECT_EQ(cw.pixel(49, 0), src.pixel(0, 0)); // top-left goes to top-right when turning clockwise
    EXPECT_EQ(cw.pixel(0, 99), src.pixel(99, 49));

    QImage turned = src;
    for (int i = 0; i < 4; ++i)
        turned = img::rotated(turned, 90, 0, i % 2 == 0);
    EXPECT_EQ(turned, src);
    EXPECT_EQ(img::rotated(src, -90, 0, false), img::rotated(src, 270, 0, false));
    EXPECT_EQ(img::rotated(src, 450, 0, false), cw);
    EXPECT_EQ(img::rotated(src, -720, 0, false), src);
    EXPECT_EQ(img::rotated(src, 180, 0, true), img::flipped(img::flipped(src, 0), 1));
}

TEST(FiltersRotate, FreeAnglesFitTheEnclosingRectangleWithFilledCorners)
{
    const QImage src = filled(100, 50, qRgba(20, 120, 220, 255));
    for (bool fast : {true, false}) {
        const QImage r45 = img::rotated(src, 45, qRgba(0, 0, 0, 0), fast);
        EXPECT_NEAR(r45.width(), 106, 1);
        EXPECT_NEAR(r45.height(), 106, 1);
        EXPECT_EQ(qAlpha(r45.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(r45.pixel(r45.width() - 1, r45.height() - 1)), 0);
        EXPECT_EQ(r45.pixel(r45.width() / 2, r45.height() / 2), qRgba(20, 120, 220, 255));

        const QImage r30 = img::rotated(src, -30, qRgba(255, 255, 0, 255), fast);
        EXPECT_EQ(r30.size(), QSize(112, 93)); // 100 cos 30 + 50 sin 30 = 111.6, 50 + 43.3 = 93.3
        EXPECT_EQ(r30.pixel(0, 0), qRgba(255, 255, 0, 255));
    }
    const QImage smooth = img::rotated(src, 30, 0, false);
    EXPECT_EQ(qAlpha(smooth.pixel(smooth.width() / 2, smooth.height() / 2)), 255);
    // Smooth edges have intermediate alpha; fast ones only 0 or 255.
    auto hasPartialAlpha = [](const QImage &i) {
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x)
                if (qAlpha(i.pixel(x, y)) != 0 && qAlpha(i.pixel(x, y)) != 255)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasPartialAlpha(smooth));
    EXPECT_TRUE(validPremultiplied(img::rotated(noisyImage(40, 30), 17, qRgba(200, 100, 0, 128), false)));
    EXPECT_FALSE(hasPartialAlpha(img::rotated(src, 30, 0, true)));
}

TEST(FiltersRotate, ClockwiseMeansTheTopRightCornerMovesDown)
{
    // A marker in the top-right corner of a wide image lands right of centre, below it.
    QImage src = filled(60, 20, qRgba(0, 0, 0, 255));
    for (int y = 0; y < 3; ++y)
        for (int x = 57; x < 60; ++x)
            src.setPixel(x, y, 0xFFFFFFFFu);
    const QImage r = img::rotated(src, 20, 0, true);
    int sx = 0, sy = 0, n = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (qRed(r.pixel(x, y)) == 255)
                sx += x, sy += y, ++n;
    ASSERT_GT(n, 0);
    EXPECT_GT(sx / n, r.width() / 2);
    EXPECT_GT(sy / n, r.height() / 2); // turned the other way it would end near the top
}

TEST(FiltersFlip, MirrorsAndTwiceIsTheOriginal)
{
    const QImage src = noisyImage(9, 5);
    const QImage lr = img::flipped(src, 0), tb = img::flipped(src, 1);
    EXPECT_EQ(lr.pixel(0, 1), src.pixel(8, 1));
    EXPECT_EQ(tb.pixel(2, 0), src.pixel(2, 4));
    EXPECT_EQ(img::flipped(lr, 0), src);
    EXPECT_EQ(img::flipped(tb, 1), src);
}

TEST(FiltersColour, NegativeInvertsColourKeepsAlphaAndIsItsOwnInverse)
{
    QImage i = filled(3, 1, qRgba(10, 100, 250, 255));
    img::negative(i);
    EXPECT_EQ(i.pixel(0, 0), qRgba(245, 155, 5, 255));
    const QImage src = noisyImage(31, 17);
    QImage twice = src;
    img::negative(twice);
    img::negative(twice);
    EXPECT_EQ(twice, src);
}

TEST(FiltersColour, ColorizeKeepsLightnessAndTakesHue)
{
    const QImage src = noisyImage(30, 10);
    QImage grey = src;
    img::colorize(grey, qRgb(90, 90, 90));
    QImage red = src;
    img::colorize(red, qRgb(255, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) { // opaque part
            const QRgb g = grey.pixel(x, y), s = src.pixel(x, y), r = red.pixel(x, y);
            EXPECT_TRUE(qRed(g) == qGreen(g) && qGreen(g) == qBlue(g));
            EXPECT_NEAR(qRed(g), 0.299 * qRed(s) + 0.587 * qGreen(s) + 0.114 * qBlue(s), 1);
            const int l2 = std::max({qRed(s), qGreen(s), qBlue(s)}) + std::min({qRed(s), qGreen(s), qBlue(s)});
            EXPECT_EQ(qGreen(r), qBlue(r)); // pure red hue
            EXPECT_NEAR(qRed(r) + qGreen(r), l2, 1);
        }

    // Grey keeps light and dark apart: yellow text on blue, of one HSL lightness, becomes
    // light grey on dark grey.
    QImage sign(2, 1, kPremul);
    sign.setPixel(0, 0, qRgb(255, 255, 0));
    sign.setPixel(1, 0, qRgb(0, 0, 255));
    img::colorize(sign, qRgb(127, 127, 127));
    EXPECT_EQ(sign.pixel(0, 0), qRgb(226, 226, 226));
    EXPECT_EQ(sign.pixel(1, 0), qRgb(29, 29, 29));
}

TEST(FiltersColour, BrightnessContrastZeroIsIdentityAndExtremesSaturate)
{
    const QImage src = noisyImage(40, 20);
    QImage same = src;
    img::brightnessContrast(same, 0, 0);
    EXPECT_EQ(same, src);

    QImage white = filled(2, 2, qRgba(30, 60, 90, 255));
    img::brightnessContrast(white, 100, 0);
    EXPECT_EQ(white.pixel(0, 0), qRgba(255, 255, 255, 255));
    QImage flat = filled(2, 2, qRgba(30, 60, 250, 255));
    img::brightnessContrast(flat, 0, -100);
    EXPECT_EQ(flat.pixel(0, 0), qRgba(128, 128, 128, 255));
    QImage steeper = filled(2, 2, qRgba(100, 128, 160, 255));
    img::brightnessContrast(steeper, 0, 50);
    EXPECT_LT(qRed(steeper.pixel(0, 0)), 100);
    EXPECT_GT(qBlue(steeper.pixel(0, 0)), 160);
}

TEST(FiltersColour, AutoBrightnessStretchesDarkestAndBrightestToTheLimits)
{
    // Grey levels 60..180 across the image, one column each; one black and one white pixel
    // and one transparent pixel take no part in the levels.
    QImage i(100, 100, kPremul);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const int v = 60 + x * 120 / 99;
            i.setPixel(x, y, qRgba(v, v, v, 255));
        }
    i.setPixel(50, 10, qRgba(0, 0, 0, 255));
    i.setPixel(50, 20, qRgba(255, 255, 255, 255));
    i.setPixel(50, 30, 0);
    img::autoBrightness(i, 8, 248);
    EXPECT_EQ(i.pixel(0, 0), qRgba(8, 8, 8, 255));
    EXPECT_EQ(i.pixel(99, 0), qRgba(248, 248, 248, 255));
    EXPECT_EQ(i.pixel(50, 10), qRgba(0, 0, 0, 255));
    EXPECT_EQ(i.pixel(50, 20), qRgba(255, 255, 255, 255));
    EXPECT_EQ(i.pixel(50, 30), 0u);

    // A small picture has no outliers to leave out: its extremes are the levels.
    QImage row(4, 1, kPremul);
    for (int x = 0; x < 4; ++x)
        row.setPixel(x, 0, qRgba(100 + 20 * x, 100 + 20 * x, 100 + 20 * x, 255));
    img::autoBrightness(row, 8, 248);
    EXPECT_EQ(row.pixel(0, 0), qRgba(8, 8, 8, 255));
    EXPECT_EQ(row.pixel(3, 0), qRgba(248, 248, 248, 255));

    QImage flatGrey = filled(4, 4, qRgba(90, 90, 90, 255));
    const QImage before = flatGrey;
    img::autoBrightness(flatGrey, 8, 248);
    EXPECT_EQ(flatGrey, before);
}

TEST(FiltersColour, TransparentPixelsStayTransparentAndOtherFormatsAreConverted)
{
    for (const auto &[name, filter] : inPlaceFilters()) {
        if (std::string(name) == "dropShadow" || std::string(name) == "soften")
            continue; // these spread over transparent pixels by design
        QImage i = noisyImage(30, 12);
        const QImage src = i;
        filter(i);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 30; ++x) {
                if (qAlpha(src.pixel(x, y)) == 0) {
                    ASSERT_EQ(i.pixel(x, y), 0u) << name << " at " << x << "," << y;
                }
            }
        QImage rgb = noisyImage(8, 8).convertToFormat(QImage::Format_RGB888);
        filter(rgb);
        EXPECT_EQ(rgb.format(), kPremul) << name;
    }
}

TEST(FiltersSpatial, ZeroStrengthIsIdentityAndFlatAreasStayFlat)
{
    const QImage src = noisyImage(33, 21);
    QImage a = src, b = src, c = src;
    img::soften(a, 0);
    img::sharpen(b, 0, 3, false);
    img::sharpen(c, -5, 3, true);
    EXPECT_EQ(a, src);
    EXPECT_EQ(b, src);
    EXPECT_EQ(c, src);
    const QImage flat = filled(20, 20, qRgba(77, 140, 3, 255));
    QImage s = flat, t = flat;
    img::soften(s, 100);
    img::sharpen(t, 100, 7, false);
    EXPECT_EQ(s, flat);
    EXPECT_EQ(t, flat);
}

TEST(FiltersSpatial, SoftenBlursAndSharpenSteepensAnEdge)
{
    QImage edge = filled(10, 4, qRgba(50, 50, 50, 255));
    for (int y = 0; y < 4; ++y)
        for (int x = 5; x < 10; ++x)
            edge.setPixel(x, y, qRgba(200, 200, 200, 255));
    QImage soft = edge, sharp = edge, keepAlpha = edge;
    img::soften(soft, 100);
    EXPECT_GT(qRed(soft.pixel(4, 1)), 50);
    EXPECT_LT(qRed(soft.pixel(5, 1)), 200);
    EXPECT_EQ(qRed(soft.pixel(0, 1)), 50);
    img::sharpen(sharp, 100, 3, false);
    EXPECT_LT(qRed(sharp.pixel(4, 1)), 50);
    EXPECT_GT(qRed(sharp.pixel(5, 1)), 200);
    EXPECT_EQ(qRed(sharp.pixel(0, 1)), 50);

    // Alpha edge: without ignoreAlpha the alpha steepens too, with it alpha stays as it was.
    QImage alphaEdge = noisyImage(30, 6);
    QImage kept = alphaEdge;
    img::sharpen(kept, 100, 3, true);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(qAlpha(kept.pixel(x, y)), qAlpha(alphaEdge.pixel(x, y)));
    img::sharpen(alphaEdge, 100, 3, false);
    EXPECT_NE(alphaEdge, kept);
}

TEST(FiltersShadow, LiesAtItsOffsetUnderTheImageAndKeepsTheSize)
{
    QImage i(40, 30, kPremul);
    i.fill(0);
    i.setPixel(10, 10, 0xFFFFFFFFu);
    img::dropShadow(i, 5, 3, qRgb(255, 0, 0), 170, 0);
    EXPECT_EQ(i.size(), QSize(40, 30));
    EXPECT_EQ(i.pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(i.pixel(15, 13), qPremultiply(qRgba(255, 0, 0, 170)));
    int shaded = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            shaded += qAlpha(i.pixel(x, y)) > 0;
    EXPECT_EQ(shaded, 2);

    QImage moved(40, 30, kPremul);
    moved.fill(0);
    moved.setPixel(20, 10, 0xFFFFFFFFu);
    img::dropShadow(moved, -10, 4, qRgb(0, 0, 0), 255, 50); // reach 5 px
    EXPECT_GT(qAlpha(moved.pixel(10, 14)), qAlpha(moved.pixel(13, 14)));
    EXPECT_EQ(qAlpha(moved.pixel(10, 20)), 0); // beyond the reach
    EXPECT_GT(qAlpha(moved.pixel(10, 19)), 0);
}

TEST(FiltersShadow, OpaquePixelsHideItAndOutsideIsCutOff)
{
    const QImage opaque = filled(20, 20, qRgba(1, 2, 3, 255));
    QImage i = opaque;
    img::dropShadow(i, 4, 4, qRgb(0, 0, 0), 200, 40);
    EXPECT_EQ(i, opaque);
    QImage edge(20, 20, kPremul);
    edge.fill(0);
    edge.setPixel(19, 19, 0xFFFFFFFFu);
    img::dropShadow(edge, 5, 5, qRgb(0, 0, 0), 200, 0);
    edge.setPixel(19, 19, 0);
    QImage empty(20, 20, kPremul);
    empty.fill(0);
    EXPECT_EQ(edge, empty);
}

TEST(FiltersGradient, EndsHaveTheExactColoursAndAreClampedBeyond)
{
    const QColor a(255, 0, 0), b(0, 0, 255);
    const QImage h = img::linearGradient(50, 7, {0, 0}, {49, 0}, img::GradientColors::twoColors(a, b));
    ASSERT_EQ(h.size(), QSize(50, 7));
    for (int y : {0, 6}) {
        EXPECT_EQ(h.pixel(0, y), a.rgb());
        EXPECT_EQ(h.pixel(49, y), b.rgb());
    }
    EXPECT_NEAR(qRed(h.pixel(25, 3)), 255 * 24 / 49, 1);
    const QImage v = img::linearGradient(3, 30, {0, 0}, {0, 29}, img::GradientColors::rainbow());
    EXPECT_EQ(v.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(v.pixel(1, 29), qRgb(255, 0, 255));
    const QImage clamp = img::linearGradient(40, 40, {10, 10}, {29, 29}, img::GradientColors::twoColors(a, b));
    EXPECT_EQ(clamp.pixel(0, 0), a.rgb());
    EXPECT_EQ(clamp.pixel(39, 39), b.rgb());
    EXPECT_EQ(clamp.pixel(39, 0), clamp.pixel(0, 39)); // constant across the diagonal
    EXPECT_TRUE(img::linearGradient(0, 5, {}, {}, img::GradientColors::rainbow()).isNull());

    const QImage rainbow = img::linearGradient(6, 1, {0, 0}, {5, 0}, img::GradientColors::rainbow());
    const QRgb stops[] = {qRgb(255, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 0), qRgb(0, 255, 255), qRgb(0, 0, 255),
                          qRgb(255, 0, 255)};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(rainbow.pixel(x, 0), stops[x]) << x;

    const QImage c = img::centredGradient(21, 21, {10, 10}, 10, img::GradientColors::twoColors(a, b));
    EXPECT_EQ(c.pixel(10, 10), a.rgb());
    EXPECT_EQ(c.pixel(0, 10), b.rgb());
    EXPECT_EQ(c.pixel(0, 0), b.rgb());
    EXPECT_EQ(qAlpha(c.pixel(3, 4)), 255);
}

TEST(FiltersHsl, BytesCoverTheCircle)
{
    EXPECT_EQ(img::hslToRgb(0, 0, 127), qRgb(127, 127, 127));
    EXPECT_EQ(img::hslToRgb(0, 255, 255), qRgb(255, 255, 255));
    EXPECT_EQ(img::hslToRgb(0, 255, 0), qRgb(0, 0, 0));
    const QRgb red = img::hslToRgb(0, 255, 128), green = img::hslToRgb(85, 255, 128),
               blue = img::hslToRgb(171, 255, 128);
    EXPECT_TRUE(qRed(red) > 250 && qGreen(red) < 5 && qBlue(red) < 5);
    EXPECT_TRUE(qGreen(green) > 250 && qRed(green) < 5 && qBlue(green) < 5);
    EXPECT_TRUE(qBlue(blue) > 250 && qRed(blue) < 5 && qGreen(blue) < 5);
    EXPECT_EQ(img::hslToRgb(256 + 85, 255, 128), green);
}

TEST(FiltersDeterminism, SameResultTwiceAndOnOneThreadOrMany)
{
    // Large enough that every filter splits its rows into bands on several threads.
    const QImage src = noisyImage(701, 409, 7);
    auto runAll = [&] {
        std::vector<QImage> out;
        for (const auto &f : inPlaceFilters()) {
            QImage i = src;
            f.second(i);
            out.push_back(i);
        }
        out.push_back(img::rotated(src, 33.3, qRgba(0, 0, 0, 0), false));
        out.push_back(img::rotated(src, -71, qRgba(9, 9, 9, 255), true));
        out.push_back(img::resized(src, 97, 61, img::ResizeMode::Quality));
        out.push_back(img::resized(src, 1201, 409, img::ResizeMode::Quality));
        out.push_back(img::resized(src, 50, 700, img::ResizeMode::Preview));
        out.push_back(img::linearGradient(700, 400, {3, 7}, {650, 340}, img::GradientColors::rainbow()));
        out.push_back(img::centredGradient(700, 400, {300, 150}, 220, img::GradientColors::rainbow()));
        return out;
    };
    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(4);
    const auto first = runAll();
    const auto second = runAll();
    pool->setMaxThreadCount(1);
    const auto single = runAll();
    pool->setMaxThreadCount(threads);
    ASSERT_EQ(first.size(), single.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i], second[i]) << i;
        EXPECT_EQ(first[i], single[i]) << i;
    }
}

TEST(FiltersDeterminism, SamePixelsWithAndWithoutTheVectorUnits)
{
    // Shrinking and enlarging along either axis or both, narrowing first along x or along y,
    // sizes that do not fill the vector unit's groups, pictures narrower than its windows.
    const QImage src = noisyImage(301, 203, 11);
    const QSize sizes[] = {{97, 61},  {301, 61}, {97, 203}, {1201, 409}, {50, 700}, {700, 50},
                           {3, 2},    {5, 999},  {1, 1},    {302, 204},  {20, 203}, {301, 1000}};
    auto resizedAll = [&] {
        std::vector<QImage> out;
        for (const QSize &s : sizes) {
            out.push_back(img::resized(src, s.width(), s.height(), img::ResizeMode::Quality));
            out.push_back(img::resized(noisyImage(3, 5, 2), s.width(), s.height(), img::ResizeMode::Quality));
        }
        QImage inverted = src;
        img::negative(inverted);
        out.push_back(inverted);
        return out;
    };
    const auto vector = resizedAll();
    const bool was = img::detail::useVectorUnits(false);
    const auto plain = resizedAll();
    img::detail::useVectorUnits(was);
    ASSERT_EQ(vector.size(), plain.size());
    for (size_t i = 0; i < vector.size(); ++i)
        EXPECT_EQ(vector[i], plain[i]) << i;
}
