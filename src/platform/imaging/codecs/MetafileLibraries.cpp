#include "platform/imaging/codecs/MetafileLibraries.h"

#include <QLibrary>

#include <cstring>

namespace platform::codecs {

std::mutex &metafileMutex()
{
    static std::mutex m;
    return m;
}

const MetafileLibraries *metafileLibraries(QString *why)
{
    static QString failure;
    static const std::unique_ptr<MetafileLibraries> table = [] {
        auto t = std::make_unique<MetafileLibraries>();
        static QLibrary emf2svgLib(QStringLiteral("emf2svg"), 1);
        static QLibrary uemfLib(QStringLiteral("uemf"), 0);
        if (!emf2svgLib.load() || !uemfLib.load()) {
            failure = emf2svgLib.isLoaded() ? uemfLib.errorString() : emf2svgLib.errorString();
            return std::unique_ptr<MetafileLibraries>();
        }
        bool complete = true;
#define PELMORA_RESOLVE(name)                                                                                          \
    t->name = reinterpret_cast<decltype(&::name)>(std::strcmp(#name, "emf2svg") == 0 ? emf2svgLib.resolve(#name)       \
                                                                                     : uemfLib.resolve(#name));        \
    if (!t->name) {                                                                                                    \
        failure = QStringLiteral("%1 is missing").arg(QLatin1String(#name));                                           \
        complete = false;                                                                                              \
    }
        PELMORA_METAFILE_FUNCTIONS(PELMORA_RESOLVE)
#undef PELMORA_RESOLVE
        return complete ? std::move(t) : std::unique_ptr<MetafileLibraries>();
    }();
    if (!table && why)
        *why = failure;
    return table.get();
}

} // namespace platform::codecs
