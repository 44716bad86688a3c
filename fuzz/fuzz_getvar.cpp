// Arbitrary bytes as a store's file, then every key and arbitrary text through the "%"
// expansion: it must end, whatever references and cycles the data holds.
#include "core/AppPath.h"
#include "core/clsEnvAll.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString dir = QDir::tempPath() + QStringLiteral("/pelmora-fuzz-") + QString::number(getpid());
    static const bool ready = [] {
        QDir().mkpath(dir);
        setAppPathForTests(dir);
        return true;
    }();
    (void)ready;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString file = dir + QStringLiteral("/fuzz.ini");
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    clsEnvAll store;
    store.setInitFileName(file);
    store.initializeAll(QStringLiteral("OPTIONS;A;B;ERRORS"));
    for (const auto &e : store.envVars())
        store.getVar(e->Key, QStringLiteral("d"));
    store.chkSubstitution(QString::fromUtf8(bytes.left(4096)));
    return 0;
}
