#pragma once
// The program's one rounding rule: a fractional value becomes the nearest integer value,
// halves going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
#include <cmath>

inline double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

// roundHalfEven as an int, for pixel geometry; values beyond the int range are clamped.
inline int roundToInt(double value)
{
    const double r = roundHalfEven(value);
    if (!(r == r))
        return 0;
    if (r > 2147483647.0)
        return 2147483647;
    if (r < -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(r);
}
