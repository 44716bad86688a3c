#include "coverformats/PreviewPicture.h"

#include "platform/imaging/ImgxImage.h"
#include "platform/imaging/PictureReader.h"

#include <QDir>
#include <algorithm>

namespace {

constexpr double kPreviewMaxWidth = 4000, kPreviewHeight = 1815;

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

platform::CodecResult loadPreviewPicture(const QString &path, const std::function<QSize(QSize)> &targetFor,
                                         QImage &out, QSize &original)
{
    return platform::loadPreviewFile(path, targetFor, out, original);
}

platform::CodecResult loadWholePicture(const QString &path, platform::ImgxImage &image)
{
    return image.loadFile(path, QString());
}
