// Arbitrary bytes as a store's file, then every key and arbitrary text through the "%"
// expansion: it must end, whatever references and cycles the data holds.
#include "FuzzSupport.h"
#include "core/clsEnvAll.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = fuzzsupport::writeInput(QStringLiteral("fuzz.ini"), data, size);
    clsEnvAll store;
    store.setInitFileName(file);
    store.initializeAll(QStringLiteral("OPTIONS;A;B;ERRORS;frmPelmora"));
    for (const auto &e : store.envVars())
        store.getVar(e->Key, QStringLiteral("d"));
    store.chkSubstitution(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 4096))));
    return 0;
}
