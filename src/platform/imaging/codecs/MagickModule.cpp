#include "platform/imaging/codecs/MagickModule.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/ProgramModules.h"

namespace platform::codecs {

namespace {

using MagickWrite = CodecResult(const QImage &, const char *, QByteArray &);
using MagickPrepare = bool(const char *, QString &);
using MagickRead = CodecResult(const QByteArray &, const char *, QImage &, const PixelAllocator &);

struct Module {
    MagickWrite *write = nullptr;
    MagickPrepare *prepare = nullptr;
    MagickRead *read = nullptr;
    QString error; // why a function is null
};

const Module &module()
{
    static const Module loaded = [] {
        Module m;
        const QString file = QStringLiteral("pelmora-magick.so");
        m.write = programModuleFunction<MagickWrite>(file, "pelmoraMagickWrite", &m.error);
        m.prepare = programModuleFunction<MagickPrepare>(file, "pelmoraMagickPrepare", &m.error);
        m.read = programModuleFunction<MagickRead>(file, "pelmoraMagickRead", &m.error);
        return m;
    }();
    return loaded;
}

} // namespace

CodecResult magickWriteThroughModule(const QImage &image, const char *format, QByteArray &out)
{
    const Module &m = module();
    if (!m.write)
        return failed(CodecError::CannotWrite, QStringLiteral("The picture could not be encoded: %1").arg(m.error));
    return m.write(image, format, out);
}

bool prepareMagickThroughModule(const char *format, QString &why)
{
    const Module &m = module();
    if (!m.prepare || !m.read) {
        why = m.error;
        return false;
    }
    return m.prepare(format, why);
}

CodecResult magickReadThroughModule(const QByteArray &data, const char *format, QImage &out,
                                    const PixelAllocator &allocate)
{
    const Module &m = module();
    if (!m.read)
        return failed(CodecError::CannotDecode, QStringLiteral("The picture could not be read: %1").arg(m.error));
    return m.read(data, format, out, allocate);
}

} // namespace platform::codecs
