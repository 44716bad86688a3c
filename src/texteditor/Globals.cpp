#include "texteditor/Globals.h"

#include "canvas/Globals.h"

namespace {

clsTextShadowPtr sShadow;
clsTextShadowPtr sDefaultShadow;
clsTextGradientPtr sGradient;
QStringList sEffectNames;

template <class T>
std::shared_ptr<T> &created(std::shared_ptr<T> &slot)
{
    if (!slot)
        slot = std::make_shared<T>();
    return slot;
}

} // namespace

clsTextShadowPtr &gObjTextShadow() { return created(sShadow); }
clsTextShadowPtr &gObjDefaultTextShadow() { return created(sDefaultShadow); }
clsTextGradientPtr &gObjTextGradient() { return created(sGradient); }
QStringList &gStrEffectNames() { return sEffectNames; }

void writeDefaultTextEffects()
{
    clsTextShadow &s = *gObjDefaultTextShadow();
    s.mLngX = 10;
    s.mLngY = 10;
    s.mlngColor = 0;
    s.mDblBlurLevel = 100.0;
    s.mByteOpacitiy = 170;
    s.mBoolIsActive = false;
    gObjTextShadow()->copy(s);
    if (!gObjDefaultTextGradient)
        gObjDefaultTextGradient = std::make_shared<clsTextGradient>();
    clsTextGradient &g = *gObjDefaultTextGradient;
    g.mlngColor1 = 0xFFFFFF;
    g.mlngColor2 = 0;
    g.mObjPointStart->mLngX = 0;
    g.mObjPointStart->mLngY = 0;
    g.mObjPointEnd->mLngX = 255;
    g.mObjPointEnd->mLngY = 0;
    g.mBoolRainbow = false;
    g.mBoolCenter = false;
    g.mBoolIsActive = false;
    gObjTextGradient()->copy(g);
}

namespace texteditor {

void resetForTests()
{
    sShadow.reset();
    sDefaultShadow.reset();
    sGradient.reset();
    sEffectNames.clear();
}

} // namespace texteditor
