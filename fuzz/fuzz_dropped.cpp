// Any bytes as what a drag source drops: as text, as a list of addresses, or both, and as a
// typed address; droppedImageOf, isURL, isValidURL and the address ending check must cope.
#include "core/modURLDownload.h"
#include "mainwindow/DroppedImage.h"

#include <QMimeData>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t how = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = QString::fromUtf8(bytes);
    QMimeData mime;
    if (how & 1)
        mime.setText(text);
    if (how & 2)
        mime.setData(QStringLiteral("text/uri-list"), bytes);
    if (how & 4)
        mime.setData(QStringLiteral("text/plain;charset=utf-8"), bytes);
    const DroppedImage dropped = droppedImageOf(mime);
    if (!dropped.file.isEmpty() && !dropped.address.isEmpty())
        __builtin_trap();
    for (const QString &candidate : {text, dropped.address, dropped.file}) {
        const bool url = isURL(candidate);
        const bool valid = isValidURL(candidate, false);
        const bool strict = isValidURL(candidate, true);
        if (strict && !candidate.contains(QStringLiteral("://")))
            __builtin_trap();
        (void)url;
        (void)valid;
        (void)hasImageAddressEnding(candidate);
    }
    return 0;
}
