#pragma once
// The pictures of the image folder browser: the files of a folder it lists, the size of the
// preview and the decode at that size.
#include "platform/imaging/ImageCodecs.h"

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform { class ImgxImage; }

// The pattern of the browser's file list.
inline const QString kBrowsePattern = QStringLiteral("*.bmp;*.gif;*.jpg");

// The files of a folder that match the pattern in any letter case, sorted by name as the
// user reads it; none for a folder that does not exist (or "").
QStringList imageFilesOf(const QString &folder, const QString &pattern = kBrowsePattern);

// The preview's size in twips for a picture of the given size: the largest of its
// proportions that fits 4000 x 1815 twips.
QSizeF previewSizeTwips(QSize picture);

// Decodes a picture file small, through the picture reader: reads the picture's size
// (refusing a picture above the imaging layer's limits), asks targetFor for the size to show
// it at and decodes a JPEG at about that size (the decoder scales while it decodes); other
// formats are decoded whole and scaled. original receives the picture's own size, upright.
platform::CodecResult loadPreviewPicture(const QString &path, const std::function<QSize(QSize)> &targetFor,
                                         QImage &out, QSize &original);

// Loads a picture file at full size into an image object, as the imaging layer does (a
// picture cut short is refused, not filled with grey).
platform::CodecResult loadWholePicture(const QString &path, platform::ImgxImage &image);
