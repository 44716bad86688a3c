// Writing metafiles: libuemf builds a metafile that stretches the picture, as a 24-bit DIB,
// over the whole frame of the picture's size at 96 dpi.
#include "platform/imaging/codecs/MetafileCodec.h"

#include "platform/files/TemporaryFiles.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MetafileLibraries.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform::codecs {

namespace {

constexpr double kHundredthMmPerInch = 2540.0;
constexpr int32_t kPelsPerMeter = 3780; // 96 dpi
// WMF coordinates are signed 16-bit numbers.
constexpr int kWmfMaxSide = 32767;

// The picture as a bottom-up 24-bit DIB, the most widely played form of metafile bitmap.
struct Dib {
    CBuffer<char> pixels;
    uint32_t pixelBytes = 0;
    CBuffer<U_BITMAPINFO> info;
};

bool makeDib(const MetafileLibraries *lib, const QImage &image, Dib &dib)
{
    const QImage rgba = onWhite(image).convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull())
        return false;
    char *px = nullptr;
    PU_RGBQUAD colorTable = nullptr;
    int colorCount = 0;
    uint32_t bytes = 0;
    const int rc = lib->RGBA_to_DIB(&px, &bytes, &colorTable, &colorCount,
                                    reinterpret_cast<const char *>(rgba.constBits()), rgba.width(), rgba.height(),
                                    int(rgba.bytesPerLine()), U_BCBM_COLOR24, U_CT_NO, U_ROW_ORDER_INVERT);
    std::free(colorTable);
    dib.pixels.reset(px);
    if (rc != 0 || !px)
        return false;
    dib.pixelBytes = bytes;
    const U_BITMAPINFOHEADER header = lib->bitmapinfoheader_set(rgba.width(), rgba.height(), 1, U_BCBM_COLOR24,
                                                                U_BI_RGB, bytes, kPelsPerMeter, kPelsPerMeter, 0, 0);
    dib.info.reset(lib->bitmapinfo_set(header, nullptr));
    return dib.info != nullptr;
}

// libuemf writes its result into a named file. It gets one in a private folder and we take
// the bytes back, so that the caller puts them in place as with every other format. The
// library does not check that its file was closed whole (a full disk cuts it silently), so
// the bytes read back must be as many as it wrote.
class ScratchFile {
public:
    explicit ScratchFile(const char *name) : path_(QFile::encodeName(dir_.filePath(QString::fromLatin1(name)))) {}
    bool valid() const { return dir_.isValid(); }
    const char *path() const { return path_.constData(); }
    bool readInto(QByteArray &out, size_t expectedSize) const
    {
        QFile f(QFile::decodeName(path_));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        out = f.readAll();
        return !out.isEmpty() && size_t(out.size()) == expectedSize;
    }

private:
    QTemporaryDir dir_{scratchFolderTemplate(ScratchKind::Metafile)};
    QByteArray path_;
};

// A frame extent in hundredths of a millimetre; the frame is inclusive-inclusive.
int32_t frameExtent(int pixels) { return int32_t(std::lround(pixels * kHundredthMmPerInch / kDpi)) - 1; }

CodecResult cannotWrite(const char *what)
{
    return failed(CodecError::CannotWrite,
                  QStringLiteral("The metafile could not be written (%1).").arg(QLatin1String(what)));
}

} // namespace

CodecResult writeEmf(const QImage &image, QByteArray &out)
{
    QString why;
    const MetafileLibraries *lib = metafileLibraries(&why);
    if (!lib)
        return failed(CodecError::CannotWrite, QStringLiteral("Metafiles cannot be written here: %1").arg(why));
    const int w = image.width(), h = image.height();
    Dib dib;
    if (!makeDib(lib, image, dib))
        return cannotWrite("bitmap");

    std::lock_guard lock(metafileMutex());
    ScratchFile file("picture.emf");
    if (!file.valid())
        return cannotWrite("scratch folder");
    EMFTRACK *track = nullptr;
    EMFHANDLES *handles = nullptr;
    const uint32_t initial = dib.pixelBytes + 4096;
    if (lib->emf_start(file.path(), initial, initial, &track) != 0)
        return cannotWrite("start");
    const auto release = qScopeGuard([&] {
        if (track) {
            if (track->fp)
                std::fclose(track->fp); // left open when we stop before emf_finish
            lib->emf_free(&track);
        }
        if (handles)
            lib->emf_htable_free(&handles);
    });
    if (lib->emf_htable_create(16, 16, &handles) != 0)
        return cannotWrite("handles");

    const auto append = [&](char *record) {
        const bool ok = record && lib->emf_append(reinterpret_cast<PU_ENHMETARECORD>(record), track, U_REC_KEEP) == 0;
        std::free(record);
        return ok;
    };
    const U_RECTL bounds{0, 0, w - 1, h - 1};
    const U_RECTL frame{0, 0, frameExtent(w), frameExtent(h)};
    const bool written =
        append(lib->U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, U_SIZEL{kRefDevicePixels, kRefDevicePixels},
                                    U_SIZEL{kRefDeviceMm, kRefDeviceMm}, 0)) &&
        append(lib->U_EMRSETSTRETCHBLTMODE_set(U_COLORONCOLOR)) &&
        append(lib->U_EMRSTRETCHDIBITS_set(bounds, U_POINTL{0, 0}, U_POINTL{w, h}, U_POINTL{0, 0}, U_POINTL{w, h},
                                           U_DIB_RGB_COLORS, U_SRCCOPY, dib.info.get(), dib.pixelBytes,
                                           dib.pixels.get())) &&
        append(lib->U_EMREOF_set(0, nullptr, track)) && lib->emf_finish(track, handles) == 0;
    if (!written)
        return cannotWrite("records");
    if (!file.readInto(out, track->used))
        return cannotWrite("scratch file");
    return succeeded();
}

CodecResult writeWmf(const QImage &image, QByteArray &out)
{
    QString why;
    const MetafileLibraries *lib = metafileLibraries(&why);
    if (!lib)
        return failed(CodecError::CannotWrite, QStringLiteral("Metafiles cannot be written here: %1").arg(why));
    const int w = image.width(), h = image.height();
    if (w > kWmfMaxSide || h > kWmfMaxSide)
        return failed(CodecError::TooLarge,
                      QStringLiteral("A WMF picture holds at most %1 pixels a side.").arg(kWmfMaxSide));
    Dib dib;
    if (!makeDib(lib, image, dib))
        return cannotWrite("bitmap");

    std::lock_guard lock(metafileMutex());
    ScratchFile file("picture.wmf");
    if (!file.valid())
        return cannotWrite("scratch folder");
    WMFTRACK *track = nullptr;
    const uint32_t initial = dib.pixelBytes + 4096;
    if (lib->wmf_start(file.path(), initial, initial, &track) != 0)
        return cannotWrite("start");
    const auto release = qScopeGuard([&] {
        if (track) {
            if (track->fp)
                std::fclose(track->fp); // left open when we stop before wmf_finish
            lib->wmf_free(&track);
        }
    });

    const auto append = [&](char *record) {
        const bool ok = record && lib->wmf_append(reinterpret_cast<U_METARECORD *>(record), track, U_REC_KEEP) == 0;
        std::free(record);
        return ok;
    };
    // A placeable header: the frame of w x h units at 96 units per inch.
    bool written = false;
    if (U_PAIRF *size = lib->U_PAIRF_set(float(w / kDpi), float(h / kDpi))) {
        char *header = lib->U_WMRHEADER_set(size, unsigned(kDpi));
        std::free(size);
        written = header && lib->wmf_header_append(reinterpret_cast<U_METARECORD *>(header), track, U_REC_KEEP) == 0;
        std::free(header);
    }
    written = written && append(lib->U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC)) &&
              append(lib->U_WMRSETWINDOWORG_set(U_POINT16{int16_t(0), int16_t(0)})) &&
              append(lib->U_WMRSETWINDOWEXT_set(U_POINT16{int16_t(w), int16_t(h)})) &&
              append(lib->U_WMRSETSTRETCHBLTMODE_set(U_COLORONCOLOR)) &&
              append(lib->U_WMRSTRETCHDIB_set(U_POINT16{int16_t(0), int16_t(0)}, U_POINT16{int16_t(w), int16_t(h)},
                                              U_POINT16{int16_t(0), int16_t(0)}, U_POINT16{int16_t(w), int16_t(h)},
                                              U_DIB_RGB_COLORS, U_SRCCOPY, dib.info.get(), dib.pixelBytes,
                                              dib.pixels.get())) &&
              append(lib->U_WMREOF_set()) && lib->wmf_finish(track) == 0;
    if (!written)
        return cannotWrite("records");
    if (!file.readInto(out, track->used))
        return cannotWrite("scratch file");
    return succeeded();
}

} // namespace platform::codecs
