#include "coverformats/PreviewPicture.h"

#include "platform/imaging/ImgxImage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>

namespace {

constexpr double kPreviewMaxWidth = 4000, kPreviewHeight = 1815;

platform::CodecResult result(int error, const QString &message)
{
    platform::CodecResult r;
    r.ok = error == platform::CodecError::None;
    r.error = error;
    r.message = message;
    return r;
}

bool isJpeg(const QByteArray &d) { return d.size() >= 3 && d.startsWith("\xFF\xD8\xFF"); }

} // namespace

QStringList imageFilesOf(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    if (!dir.exists())
        return {};
    // Name filters match in any letter case unless told otherwise.
    QStringList files = dir.entryList(pattern.split(u';', Qt::SkipEmptyParts), QDir::Files, QDir::NoSort);
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

QSizeF previewSizeTwips(QSize picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return QSizeF();
    const double r = double(picture.height()) / double(picture.width());
    double w = kPreviewHeight / r, h = kPreviewHeight;
    if (picture.width() > picture.height() && w > kPreviewMaxWidth) {
        w = kPreviewMaxWidth;
        h = kPreviewMaxWidth * r;
    }
    return QSizeF(w, h);
}

bool jpegIsComplete(const QByteArray &bytes)
{
    if (!isJpeg(bytes))
        return true;
    // Inside the coded data 0xFF is followed by 0x00 or a restart marker, so the end marker
    // cannot appear by chance after the start of the last scan.
    const qsizetype scan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return scan >= 0 && bytes.indexOf(QByteArrayView("\xFF\xD9", 2), scan) >= 0;
}

platform::CodecResult loadPreviewPicture(const QString &path, const std::function<QSize(QSize)> &targetFor,
                                         QImage &out, QSize &original)
{
    using namespace platform;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result(CodecError::CannotDecode, QStringLiteral("The file cannot be opened: %1").arg(file.errorString()));
    if (file.size() > kMaxImagePixels * 4)
        return result(CodecError::TooLarge, QStringLiteral("The file is too large."));
    QByteArray data = file.readAll();
    if (data.isEmpty())
        return result(CodecError::CannotDecode, QStringLiteral("The file is empty."));

    if (!isJpeg(data)) {
        // Other formats: the imaging layer's own checks and decode, then the scale.
        QImage whole;
        const CodecResult read = loadImageFile(path, whole);
        if (!read)
            return read;
        original = whole.size();
        const QSize target = targetFor(original);
        out = target.isValid() && target != whole.size()
                  ? whole.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : whole;
        return result(CodecError::None, QString());
    }

    if (!jpegIsComplete(data))
        return result(CodecError::CannotDecode, QStringLiteral("The picture is cut short."));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid())
        return result(CodecError::CannotDecode, QStringLiteral("The picture could not be decoded: %1").arg(reader.errorString()));
    if (qint64(stored.width()) * stored.height() > kMaxImagePixels)
        return result(CodecError::TooLarge,
                      QStringLiteral("The picture is too large (%1 x %2).").arg(stored.width()).arg(stored.height()));
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    original = turned ? stored.transposed() : stored;
    const QSize target = targetFor(original);
    if (target.isValid() && target.width() < original.width() && target.height() < original.height())
        reader.setScaledSize(turned ? target.transposed() : target);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return result(CodecError::CannotDecode, QStringLiteral("The picture could not be decoded: %1").arg(reader.errorString()));
    out = target.isValid() && image.size() != target
              ? image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : image;
    return result(CodecError::None, QString());
}

platform::CodecResult loadWholePicture(const QString &path, platform::ImgxImage &image)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= platform::kMaxImagePixels * 4) {
        const QByteArray data = file.readAll();
        if (!jpegIsComplete(data))
            return result(platform::CodecError::CannotDecode, QStringLiteral("The picture is cut short."));
    }
    file.close();
    return image.loadFile(path, QString());
}
