#include "texteditor/Globals.h"

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

namespace texteditor {

void resetForTests()
{
    sShadow.reset();
    sDefaultShadow.reset();
    sGradient.reset();
    sEffectNames.clear();
}

} // namespace texteditor
