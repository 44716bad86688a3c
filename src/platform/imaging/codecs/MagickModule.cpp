#include "platform/imaging/codecs/MagickModule.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/ProgramModules.h"


namespace platform::codecs {

namespace {

using MagickWrite = CodecResult(const QImage &, const char *, QByteArray &);

struct Writer {
    MagickWrite *write = nullptr;
    QString error; // why write is null
};

const Writer &writer()
{
    static const Writer loaded = [] {
        Writer w;
        w.write = programModuleFunction<MagickWrite>(QStringLiteral("pelmora-magick.so"), "pelmoraMagickWrite", &w.error);
        return w;
    }();
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
