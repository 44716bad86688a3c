#include "core/Globals.h"

#include <memory>

namespace {
std::unique_ptr<clsEnvAll> &optionsStore()
{
    static std::unique_ptr<clsEnvAll> s;
    return s;
}
std::unique_ptr<clsEnvAll> &languageStore()
{
    static std::unique_ptr<clsEnvAll> s;
    return s;
}
clsEnvAll &createdOnFirstUse(std::unique_ptr<clsEnvAll> &slot)
{
    if (!slot)
        slot = std::make_unique<clsEnvAll>();
    return *slot;
}
} // namespace

clsEnvAll &gObjOptionsStore() { return createdOnFirstUse(optionsStore()); }
clsEnvAll &gObjLanguageStore() { return createdOnFirstUse(languageStore()); }

namespace core {
void resetForTests()
{
    optionsStore().reset();
    languageStore().reset();
}
} // namespace core
