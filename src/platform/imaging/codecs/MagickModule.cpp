#include "platform/imaging/codecs/MagickModule.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/ProgramModules.h"

#include <QLibrary>

#include <mutex>

namespace platform::codecs {

namespace {

using MagickWrite = CodecResult(const QImage &, const char *, QByteArray &);

struct Writer {
    MagickWrite *write = nullptr;
    QString error; // why write is null
};

const Writer &writer()
{
    static Writer loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        QLibrary module(programModulePath(QStringLiteral("pelmora-magick.so")));
        if (!module.load()) {
            loaded.error = module.errorString();
            return;
        }
        loaded.write = reinterpret_cast<MagickWrite *>(module.resolve("pelmoraMagickWrite"));
        if (!loaded.write)
            loaded.error = module.errorString();
        // The module stays loaded: QLibrary unloads only when asked.
    });
    return loaded;
}

} // namespace

CodecResult magickWriteThroughModule(const QImage &image, const char *format, QByteArray &out)
{
    const Writer &w = writer();
    if (!w.write)
        return failed(CodecError::CannotWrite, QStringLiteral("The picture could not be encoded: %1").arg(w.error));
    return w.write(image, format, out);
}

} // namespace platform::codecs
