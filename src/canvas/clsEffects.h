#pragma once
// The image effects on one element of a cover: a picture object, the canvas background or a
// bare image. A rotated picture or background gets the effect on its unrotated backup too,
// so that rotating it again keeps the effect. Each effect shows the busy pointer while it runs.
#include "canvas/clsElement.h"

#include <cstdint>
#include <vector>

class clsEffects {
public:
    void soften(clsElement &element, long lngPercent);
    void sharpen(clsElement &element, long lngPercent, long lngFilterSize, bool boolIgnoreAlpha);
    // Rotates an image by the angle with transparent corners; records no undo step.
    void rotate(platform::ImgxImage &image, float singleAngle, long lngColor, bool boolFastMode);
    void negative(clsElement &element);
    void colorize(clsElement &element, std::uint8_t byteHue, std::uint8_t byteSat, std::uint8_t byteLum,
                  const QString &strUndoText);
    void grayscale(clsElement &element);
    void autoBrightness(clsElement &element);
    void flip(clsElement &element, std::uint8_t byteDirection);

    // The images an element-taking effect changes, the shown one first.
    static std::vector<platform::ImgxImagePtr> targets(clsElement &element);
};
