// Arbitrary bytes as a language file: loading it and everything start-up reads from it.
#include "FuzzSupport.h"
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = fuzzsupport::writeInput(QStringLiteral("language/Fuzz.dll"), data, size);
    setLanguage(file);
    buildImageFilters();
    loadSeparatorNames();
    for (const auto &e : gObjLanguageStore().envVars())
        gObjLanguageStore().getVar(e->Key);
    platform::FileDialogRequest r;
    localiseImgxDialog(r);
    return 0;
}
