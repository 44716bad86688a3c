#pragma once
// The drop-shadow settings of a text object.
#include <cstdint>
#include <memory>

class clsTextShadow {
public:
    bool mBoolIsActive = false;
    std::uint8_t mByteOpacitiy = 0;  // alpha of the shadow colour, 0 transparent .. 255 opaque
    double mDblBlurLevel = 0;
    std::int32_t mlngColor = 0;      // 0x00BBGGRR
    std::int32_t mLngX = 0;          // offset from the text in pixels, signed
    std::int32_t mLngY = 0;

    void copy(const clsTextShadow &source)
    {
        mBoolIsActive = source.mBoolIsActive;
        mByteOpacitiy = source.mByteOpacitiy;
        mDblBlurLevel = source.mDblBlurLevel;
        mlngColor = source.mlngColor;
        mLngX = source.mLngX;
        mLngY = source.mLngY;
    }
};

using clsTextShadowPtr = std::shared_ptr<clsTextShadow>;
