#pragma once
// A point in image pixels. Held by reference: whoever reads a point out of an object may
// move it, and so moves the object's point.
#include <cstdint>
#include <memory>

class clsPoint {
public:
    std::int32_t mLngX = 1;
    std::int32_t mLngY = 1;

    void copy(const clsPoint &source)
    {
        mLngX = source.mLngX;
        mLngY = source.mLngY;
    }
};

using clsPointPtr = std::shared_ptr<clsPoint>;
