// Any bytes through the picture loader: from memory with no name (the content decides) and
// as a file under one of the readable extensions (chosen by the last byte), so that every
// format is reached by content and by extension. A load must stay within the loading budget:
// the growth of the resident high-water mark is checked after every input.
#include "platform/ProcessMemory.h"
#include "FuzzSupport.h"
#include "platform/imaging/ImageCodecs.h"

#include <QFile>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A short quarantine, so that freed pictures do not count as memory of the next input.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=16"; }

namespace {

// The loading budget, with room for the sanitizer's shadow memory (an eighth of what is
// allocated) and its allocator.
constexpr qint64 kBoundKb = (4 * platform::kMaxImagePixels + 64LL * 1024 * 1024) / 1024 * 9 / 8 + 128 * 1024;

} // namespace

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
    // Each load is one picture's budget: the first picture is gone before the second load.
    const bool measured = platform::resetPeakResident();
    const qint64 before = platform::processStatusKb("VmRSS:");
    {
        QImage fromMemory;
        check(platform::loadImageData(bytes, QString(), fromMemory), fromMemory);
    }
    const char *ext = extensions[size ? data[size - 1] % std::size(extensions) : 0];
    const QString path = fuzzsupport::writeInput(QStringLiteral("input.") + QLatin1String(ext), data, size);
    {
        QImage fromFile;
        check(platform::loadImageFile(path, fromFile), fromFile);
    }
    if (measured && platform::processStatusKb("VmHWM:") - before > kBoundKb)
        __builtin_trap(); // more memory than the budget allows
    QFile::remove(path);
    return 0;
}
