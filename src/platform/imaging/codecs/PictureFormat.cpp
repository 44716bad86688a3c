#include "platform/imaging/codecs/PictureFormat.h"

#include <QHash>

namespace platform::codecs {

Format formatForExtension(QString ext)
{
    if (ext.startsWith(u'.'))
        ext.remove(0, 1);
    ext = ext.toLower();
    static const QHash<QString, Format> known = {
        {QStringLiteral("jpg"), Format::Jpeg},  {QStringLiteral("jpeg"), Format::Jpeg},
        {QStringLiteral("gif"), Format::Gif},   {QStringLiteral("bmp"), Format::Bmp},
        {QStringLiteral("png"), Format::Png},   {QStringLiteral("psd"), Format::Psd},
        {QStringLiteral("tif"), Format::Tiff},  {QStringLiteral("tiff"), Format::Tiff},
        {QStringLiteral("pcx"), Format::Pcx},   {QStringLiteral("tga"), Format::Tga},
        {QStringLiteral("wbmp"), Format::Wbmp}, {QStringLiteral("wmf"), Format::Wmf},
        {QStringLiteral("emf"), Format::Emf},
    };
    return known.value(ext, Format::Unknown);
}

} // namespace platform::codecs
