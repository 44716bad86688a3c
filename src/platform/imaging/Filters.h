#pragma once
// Pixel operations of the imaging layer, as pure functions on QImage.
//
// Images are Format_ARGB32_Premultiplied in and out. Every operation gives the same pixels
// for the same arguments on every machine (no floating-point reductions whose order depends
// on the thread count). Work per pixel is spread over all cores.
#include <QColor>
#include <QImage>
#include <QPointF>
#include <vector>

namespace platform::imaging {

// Resize quality modes as the program passes them.
namespace ResizeMode {
enum : int { Fast = 2, Preview = 4, Quality = 13 };
}

// An exact new size. Fast: nearest neighbour. Preview: Qt's smooth scaling (area averaging
// when shrinking, bilinear when enlarging). Quality: area averaging when shrinking, as Preview
// does (the two lie within a grey level of each other), Catmull-Rom bicubic when enlarging,
// which keeps edges sharper than Preview's bilinear.
QImage resized(const QImage &src, int width, int height, int mode);

// Rotation by angle degrees, positive turns clockwise on screen, into the enclosing
// rectangle; uncovered corners are filled with fill (ARGB, unpremultiplied). Multiples of
// 90 degrees are exact pixel moves (four turns of 90 give the original back). fast selects
// nearest-neighbour sampling, otherwise bilinear with smooth edges.
QImage rotated(const QImage &src, double angle, QRgb fill, bool fast);
// The quarter turns (0 to 3) that rotated() makes of an angle that is a multiple of 90
// degrees; -1 for any other angle.
int quarterTurnsOf(double angle);
// The size of the picture rotated() makes of a picture of this size.
QSize rotatedSize(const QSize &size, double angle);

// 0 mirrors left-right, 1 top-bottom.
QImage flipped(const QImage &src, int direction);

// Soften: a blur blended with the original by percent (0 none .. 100 full blur).
void soften(QImage &img, int percent);
// Sharpen: an unsharp mask with a filterSize x filterSize neighbourhood, strength percent;
// with ignoreAlpha the alpha channel is left as it was.
void sharpen(QImage &img, int percent, int filterSize, bool ignoreAlpha);
// Inverts the colours, alpha kept.
void negative(QImage &img);
// Each pixel takes the hue and saturation of color and keeps its own lightness (a colour of
// saturation 0 gives grey levels); alpha kept.
void colorize(QImage &img, QRgb color);
// Stretches the histogram so that the darkest levels map to low and the brightest to high.
void autoBrightness(QImage &img, int low, int high);
// brightness and contrast -100..100; 0, 0 leaves the image unchanged.
void brightnessContrast(QImage &img, int brightness, int contrast);
// A shadow made from the image's alpha, offset by (dx, dy), in color with the given
// opacity (0..255) and blurred by blur (0 sharp; larger is softer, up to 255), composited
// under the image. The image keeps its size; shadow falling outside is cut off.
void dropShadow(QImage &img, int dx, int dy, QRgb color, int opacity, double blur);
// How many pixels a shadow of that blur reaches beyond the shape that casts it.
int shadowReach(double blur);

// The colours of a gradient: two colours, or the rainbow.
struct GradientColors {
    std::vector<QColor> stops; // evenly spaced from start to end
    static GradientColors twoColors(QColor first, QColor second) { return {{first, second}}; }
    static GradientColors rainbow();
};
// A width x height opaque image: the first colour at start, the last at end, constant
// along lines perpendicular to start-end (clamped beyond the ends).
QImage linearGradient(int width, int height, QPointF start, QPointF end, const GradientColors &colors);
// The first colour at centre, the last at radius and beyond.
QImage centredGradient(int width, int height, QPointF centre, double radius, const GradientColors &colors);

// HSL bytes (0..255 each) to RGB.
QRgb hslToRgb(int hue, int saturation, int lightness);

} // namespace platform::imaging
