// Any bytes as a file of the image browser (a .jpg, .bmp or .gif, chosen by the first byte),
// through the preview decoder in this process (the program runs it in the picture reader's
// helper): the preview is decoded at the size the browser asks for or refused, its size never
// past the imaging limits, and a picture too large for them is refused from its header.
#include "FuzzSupport.h"
#include "coverformats/PreviewPicture.h"
#include "platform/imaging/ImageDecoding.h"

#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    fuzzsupport::home();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const extensions[] = {"jpg", "bmp", "gif"};
    const char *ext = extensions[size ? data[0] % 3 : 0];
    const QString path = fuzzsupport::writeInput(QStringLiteral("preview.") + QLatin1String(ext), data, size);
    QSize asked;
    QImage image;
    QSize original;
    const platform::CodecResult r = platform::decodePreviewFile(
        path,
        [&](QSize picture) {
            asked = picture;
            const QSizeF twips = previewSizeTwips(picture);
            return QSize(qMax(1, int(twips.width() / 15)), qMax(1, int(twips.height() / 15)));
        },
        image, original);
    if (r.ok == image.isNull())
        __builtin_trap();
    if (r.ok && (original.isEmpty() || original.width() > platform::kMaxImageSide ||
                 original.height() > platform::kMaxImageSide ||
                 qint64(original.width()) * original.height() > platform::kMaxImagePixels))
        __builtin_trap();
    if (r.ok && (image.width() > platform::kMaxImageSide || image.height() > platform::kMaxImageSide))
        __builtin_trap();
    return 0;
}
