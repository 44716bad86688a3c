// Arbitrary bytes as the options file: load the options store and fill every option variable
// from it, as start-up does, with either decimal sign of the user's locale.
#include "FuzzSupport.h"
#include "core/Globals.h"
#include "core/libInitialize.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = fuzzsupport::writeInput(QStringLiteral("data/pelmora.dat"), data, size);
    gStrDecimalSeparator = size % 2 ? QStringLiteral(",") : QStringLiteral(".");
    gObjOptionsStore().setInitFileName(file);
    gObjOptionsStore().initializeAll(QStringLiteral("OPTIONS"));
    readOptions();
    // A stored border width reaches the painting code as it is: it must be a number.
    if (gDblBorderWidth != gDblBorderWidth)
        __builtin_trap();
    return 0;
}
