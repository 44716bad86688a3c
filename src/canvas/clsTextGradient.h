#pragma once
// The gradient fill of a text object (and the default gradient of a new background): two
// colours or the rainbow, running from the start to the end point or out from the centre.
#include "canvas/clsPoint.h"

#include <cstdint>
#include <memory>

class clsTextGradient {
public:
    bool mBoolIsActive = false;
    std::int32_t mlngColor1 = 0;     // 0x00BBGGRR
    std::int32_t mlngColor2 = 0;
    bool mBoolRainbow = false;
    bool mBoolCenter = false;
    // The gradient's own points; assigning one stores the given instance.
    clsPointPtr mObjPointStart = std::make_shared<clsPoint>();
    clsPointPtr mObjPointEnd = std::make_shared<clsPoint>();

    // Takes every value of source; the points are copied into this record's own points.
    void copy(const clsTextGradient &source)
    {
        mBoolCenter = source.mBoolCenter;
        mBoolIsActive = source.mBoolIsActive;
        mBoolRainbow = source.mBoolRainbow;
        mlngColor1 = source.mlngColor1;
        mlngColor2 = source.mlngColor2;
        if (mObjPointStart != source.mObjPointStart)
            mObjPointStart->copy(*source.mObjPointStart);
        if (mObjPointEnd != source.mObjPointEnd)
            mObjPointEnd->copy(*source.mObjPointEnd);
    }
};

using clsTextGradientPtr = std::shared_ptr<clsTextGradient>;
