// Any bytes through the decoders, in this process: from memory with no name (the content
// decides) and as a file under one of the readable extensions (chosen by the last byte), so
// that every format is reached by content and by extension. The program runs these decoders
// in the picture reader's helper, whose limits bound their time and memory; here they are
// looked at for crashes and for results that break the loader's promises.
#include "FuzzSupport.h"
#include "platform/imaging/ImageDecoding.h"

#include <QFile>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A short quarantine, so that freed pictures do not pile up between inputs.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=16"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts for the text of metafiles
    fuzzsupport::home();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const extensions[] = {"jpg", "jpeg", "gif", "bmp", "png", "psd", "tif",
                                             "tiff", "pcx", "tga", "wbmp", "wmf", "emf"};
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto check = [](const platform::CodecResult &result, const QImage &image) {
        if (result.ok != !image.isNull())
            __builtin_trap(); // success means a picture, failure none
        if (result.ok && (image.width() > platform::kMaxImageSide || image.height() > platform::kMaxImageSide ||
                          qint64(image.width()) * image.height() > platform::kMaxImagePixels ||
                          image.format() != QImage::Format_ARGB32_Premultiplied))
            __builtin_trap();
    };
    {
        QImage fromMemory;
        check(platform::decodeImageData(bytes, QString(), fromMemory), fromMemory);
    }
    const char *ext = extensions[size ? data[size - 1] % std::size(extensions) : 0];
    const QString path = fuzzsupport::writeInput(QStringLiteral("input.") + QLatin1String(ext), data, size);
    {
        QImage fromFile;
        check(platform::decodeImageFile(path, fromFile), fromFile);
    }
    QFile::remove(path);
    return 0;
}
