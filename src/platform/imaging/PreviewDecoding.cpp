// The small decode of the image browser's preview: a JPEG is scaled by its decoder while it
// decodes, which takes a fraction of the time and memory of the whole picture.
#include "platform/imaging/ImageDecoding.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/PictureLayout.h"

#include <QBuffer>
#include <QImageIOHandler>
#include <QImageReader>

namespace platform {

using codecs::failed;
using codecs::succeeded;

namespace {

bool isJpeg(const QByteArray &d) { return d.size() >= 3 && d.startsWith("\xFF\xD8\xFF"); }

QImage scaledTo(const QImage &image, QSize target)
{
    return target.isValid() && image.size() != target
               ? image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : image;
}

} // namespace

CodecResult decodePreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                              QSize &original)
{
    QByteArray data;
    if (CodecResult r = readPictureFile(path, data); !r.ok)
        return r;
    return decodePreviewBytes(data, path, targetFor, out, original);
}

CodecResult decodePreviewBytes(const QByteArray &data, const QString &path,
                               const std::function<QSize(QSize)> &targetFor, QImage &out, QSize &original)
{
    if (data.isEmpty())
        return failed(CodecError::CannotDecode, QStringLiteral("The file is empty."));

    if (!isJpeg(data)) {
        // Other formats: decoded whole, then scaled.
        QImage whole;
        if (CodecResult read = decodeFileBytes(data, path, whole); !read)
            return read;
        original = whole.size();
        out = codecs::toOutputFormat(scaledTo(whole, targetFor(original)));
        return succeeded();
    }

    const std::optional<codecs::PictureLayout> layout = codecs::jpegLayout(data);
    if (!layout)
        return failed(CodecError::CannotDecode, QStringLiteral("The picture has no readable header."));
    if (!withinPictureLimits(layout->size))
        return codecs::tooLarge(layout->size);
    if (!layout->complete)
        return codecs::damaged(QStringLiteral("the picture is cut short."));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false); // the format is known: no other reader is tried
    reader.setAllocationLimit(0); // the reader's process is bounded as a whole
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid())
        return codecs::unreadable();
    if (!withinPictureLimits(stored))
        return codecs::tooLarge(stored);
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    original = turned ? stored.transposed() : stored;
    const QSize target = targetFor(original);
    if (target.isValid() && target.width() < original.width() && target.height() < original.height())
        reader.setScaledSize(turned ? target.transposed() : target);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return codecs::unreadable();
    out = codecs::toOutputFormat(scaledTo(image, target));
    return succeeded();
}

} // namespace platform
