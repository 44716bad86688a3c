// Arbitrary bytes as a cover-format file, read as a predefined and as a user table.
#include "FuzzSupport.h"
#include "core/libCoverData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzsupport::writeInput(QStringLiteral("data/CD.dat"), data, size);
    for (bool predefined : {true, false}) {
        const CoverTable t = ReadUserData(QStringLiteral("CD.dat"), predefined);
        for (const CoverRecord &r : t.records())
            (void)r.toLine();
    }
    return 0;
}
