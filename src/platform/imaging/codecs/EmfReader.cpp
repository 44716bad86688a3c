// Reading EMF metafiles: libemf2svg turns the records into SVG, which QtSvg paints into a
// picture of the metafile's frame size at 96 dpi, on white (smaller where that would pass the
// metafile size or the loading limits).
#include "platform/imaging/codecs/MetafileCodec.h"

#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/imaging/codecs/MetafileLibraries.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <iconv.h>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>
#include <utility>
#include <vector>

namespace platform::codecs {

namespace {

// A shape of more elements than this QtSvg cuts short: such a metafile could be drawn only in part.
constexpr qint64 kMaxPathElements = 0x7fff;

// Offsets into the EMF header record.
constexpr int kEmfBounds = 8, kEmfFrame = 24, kEmfSignature = 40, kEmfDevice = 72, kEmfMillimeters = 80;
constexpr int kEmfMinHeader = 88;
constexpr quint32 kEmfSignatureValue = 0x464D4520; // " EMF"

qint32 readI32(const QByteArray &d, int offset) { return qFromLittleEndian<qint32>(d.constData() + offset); }
void writeI32(QByteArray &d, int offset, qint32 v) { qToLittleEndian<qint32>(v, d.data() + offset); }

CodecResult notAnEmf(const QString &why)
{
    return failed(CodecError::CannotDecode, QStringLiteral("The file is not a readable EMF picture (%1).").arg(why));
}

// A 32-bit field of a record, stored little-endian.
quint32 recordU32(const char *record, size_t offset) { return qFromLittleEndian<quint32>(record + offset); }

// Walks the records: each must lie inside the data, be consistent in itself, and the last one
// must end the metafile. libemf2svg gets only metafiles that pass. longestPath receives the
// elements of the longest path QtSvg would be given.
CodecResult checkRecords(const MetafileLibraries *lib, const QByteArray &data, qint64 &longestPath)
{
    const qsizetype size = data.size();
    qsizetype offset = 0;
    bool inPath = false;
    qint64 pathElements = 0;
    while (offset + 8 <= size) {
        const char *record = data.constData() + offset;
        const quint32 type = qFromLittleEndian<quint32>(record);
        const quint32 length = qFromLittleEndian<quint32>(record + 4);
        if (length < 8 || length % 4 != 0 || qsizetype(length) > size - offset)
            return notAnEmf(QStringLiteral("record outside the file"));
        if (!lib->U_emf_record_safe(record))
            return notAnEmf(QStringLiteral("damaged record"));
        qint64 elements = 0; // of the path this record draws or adds to
        switch (type) {
        case U_EMR_POLYBEZIER: case U_EMR_POLYGON: case U_EMR_POLYLINE: case U_EMR_POLYBEZIERTO:
        case U_EMR_POLYLINETO: case U_EMR_POLYBEZIER16: case U_EMR_POLYGON16: case U_EMR_POLYLINE16:
        case U_EMR_POLYBEZIERTO16: case U_EMR_POLYLINETO16: case U_EMR_POLYDRAW: case U_EMR_POLYDRAW16:
            elements = qint64(recordU32(record, offsetof(U_EMRPOLYLINE, cptl))) + 2;
            break;
        case U_EMR_POLYPOLYLINE: case U_EMR_POLYPOLYGON: case U_EMR_POLYPOLYLINE16: case U_EMR_POLYPOLYGON16:
            elements = qint64(recordU32(record, offsetof(U_EMRPOLYPOLYLINE, cptl))) +
                       2 * qint64(recordU32(record, offsetof(U_EMRPOLYPOLYLINE, nPolys)));
            break;
        case U_EMR_RECTANGLE: case U_EMR_ROUNDRECT: case U_EMR_ELLIPSE: case U_EMR_ARC: case U_EMR_ARCTO:
        case U_EMR_CHORD: case U_EMR_PIE: case U_EMR_ANGLEARC: case U_EMR_LINETO:
            elements = 32; // a rounded or curved outline is some curves
            break;
        case U_EMR_BEGINPATH:
            inPath = true;
            pathElements = 0;
            break;
        case U_EMR_ENDPATH: case U_EMR_ABORTPATH:
            inPath = false;
            break;
        default:
            break;
        }
        if (elements > 0) {
            // Within a path bracket the outlines make one path, drawn when the path is filled
            // or stroked.
            pathElements = inPath ? pathElements + elements : elements;
            longestPath = std::max(longestPath, pathElements);
        }
        offset += length;
        if (type == U_EMR_EOF)
            return succeeded();
    }
    return notAnEmf(QStringLiteral("no end record"));
}

// A device coordinate as the header's 32-bit fields hold it: brought into their range before
// it is converted, however far outside it the header's values put it, and kept one unit inside
// that range, so that the picture's corner can be negated and a far edge lie one past a near one.
qint32 deviceCoordinate(double v)
{
    constexpr double low = std::numeric_limits<qint32>::min() + 1; // room for the negation of a corner
    constexpr double high = std::numeric_limits<qint32>::max() - 1; // room for the "+ 1" of a far edge
    return qint32(std::clamp(v, low, high));
}

// Rounds a coordinate to the whole device unit it stands for when it is within the precision
// of the frame's hundredths of a millimetre, so that a frame of whole pixels maps 1:1.
double snapped(double v, double tolerance)
{
    const double r = std::round(v);
    return std::abs(v - r) <= tolerance ? r : v;
}

// QtSvg cuts short a path it cannot read whole (past kMaxPathElements elements, or with
// numbers it cannot read) and says so only as a warning of its logging category "qt.svg". While
// one exists (under the metafile mutex), such a warning of the thread that made it is noted;
// every message still goes where it went before.
class TruncationWatch {
public:
    TruncationWatch() : thread_(std::this_thread::get_id())
    {
        active_.store(this);
        previous_ = qInstallMessageHandler(&TruncationWatch::handle);
    }
    ~TruncationWatch()
    {
        qInstallMessageHandler(previous_);
        active_.store(nullptr);
    }
    TruncationWatch(const TruncationWatch &) = delete;
    TruncationWatch &operator=(const TruncationWatch &) = delete;
    bool truncated() const { return truncated_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        TruncationWatch *watch = active_.load();
        if (!watch) {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
            return;
        }
        if (type == QtWarningMsg && context.category && std::strcmp(context.category, "qt.svg") == 0 &&
            std::this_thread::get_id() == watch->thread_ && message.contains(QLatin1String("truncated")))
            watch->truncated_ = true;
        if (watch->previous_)
            watch->previous_(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }

    static inline std::atomic<TruncationWatch *> active_{nullptr};
    QtMessageHandler previous_ = nullptr;
    std::thread::id thread_;
    bool truncated_ = false;
};

} // namespace

CodecResult readEmf(const QByteArray &data, QImage &out)
{
    QString why;
    const MetafileLibraries *lib = metafileLibraries(&why);
    if (!lib)
        return failed(CodecError::CannotDecode, QStringLiteral("EMF pictures cannot be read here: %1").arg(why));
    if (data.size() < kEmfMinHeader)
        return notAnEmf(QStringLiteral("too short"));
    if (readI32(data, 0) != U_EMR_HEADER || quint32(readI32(data, kEmfSignature)) != kEmfSignatureValue)
        return notAnEmf(QStringLiteral("no header"));
    const qint32 headerSize = readI32(data, 4);
    if (headerSize < kEmfMinHeader)
        return notAnEmf(QStringLiteral("short header"));
    qint64 longestPath = 0;
    if (CodecResult r = checkRecords(lib, data, longestPath); !r.ok)
        return r;
    if (longestPath > kMaxPathElements)
        return failed(CodecError::CannotDecode,
                      QStringLiteral("The picture cannot be drawn whole (a shape of more than %1 points).")
                          .arg(kMaxPathElements));

    // The reference device: pixels per millimetre.
    const qint32 devX = readI32(data, kEmfDevice), devY = readI32(data, kEmfDevice + 4);
    const qint32 mmX = readI32(data, kEmfMillimeters), mmY = readI32(data, kEmfMillimeters + 4);
    const bool deviceKnown = devX > 0 && devY > 0 && mmX > 0 && mmY > 0;
    const double perMmX = deviceKnown ? double(devX) / mmX : double(kRefDevicePixels) / kRefDeviceMm;
    const double perMmY = deviceKnown ? double(devY) / mmY : double(kRefDevicePixels) / kRefDeviceMm;

    // The bounds as device coordinates: an edge at the very end of the 32-bit range (-2^31 has
    // no positive counterpart) is moved one unit in, here and in the copy libemf2svg plays.
    const qint32 bl = deviceCoordinate(readI32(data, kEmfBounds)), bt = deviceCoordinate(readI32(data, kEmfBounds + 4));
    const qint32 br = deviceCoordinate(readI32(data, kEmfBounds + 8)),
                 bb = deviceCoordinate(readI32(data, kEmfBounds + 12));
    const qint32 fl = readI32(data, kEmfFrame), ft = readI32(data, kEmfFrame + 4);
    const qint32 fr = readI32(data, kEmfFrame + 8), fb = readI32(data, kEmfFrame + 12);

    // The picture's rectangle in device units: the frame, or the bounds when it has none.
    QRectF picture;
    if (fr > fl && fb > ft) {
        const double tolX = std::min(0.5, 2 * perMmX / 100), tolY = std::min(0.5, 2 * perMmY / 100);
        const double left = snapped(fl / 100.0 * perMmX, tolX), top = snapped(ft / 100.0 * perMmY, tolY);
        const double right = snapped(fr / 100.0 * perMmX, tolX), bottom = snapped(fb / 100.0 * perMmY, tolY);
        picture = QRectF(QPointF(left, top), QPointF(right, bottom));
    } else if (br >= bl && bb >= bt) {
        picture = QRectF(QPointF(bl, bt), QPointF(double(br) + 1, double(bb) + 1));
    } else {
        return notAnEmf(QStringLiteral("no frame"));
    }
    double pixelW = std::round(picture.width() / perMmX / 25.4 * kDpi);
    double pixelH = std::round(picture.height() / perMmY / 25.4 * kDpi);
    if (!std::isfinite(pixelW) || !std::isfinite(pixelH))
        return notAnEmf(QStringLiteral("no frame"));
    // A frame too large for the limits or for a metafile's size is rendered smaller, to fit them.
    const double fit = fitFactor(pixelW, pixelH, kMaxMetafilePixels);
    if (const double f = fit; f < 1) {
        pixelW = std::floor(pixelW * f);
        pixelH = std::floor(pixelH * f);
    }
    // Past the side limit (refused just below) the size is not converted as it stands.
    const int w = std::max(1, int(std::min(pixelW, kMaxImageSide + 1.0))),
              h = std::max(1, int(std::min(pixelH, kMaxImageSide + 1.0)));
    if (!withinPictureLimits(QSize(w, h)))
        return tooLarge(QSize(w, h));

    // libemf2svg scales by the bounds and per millimetre of the device; a header that gives
    // no usable values gets ours (in a copy) rather than a division by zero.
    QByteArray emf = data;
    qint32 useL = bl, useT = bt, useR = br, useB = bb;
    if (br <= bl || bb <= bt) {
        useL = deviceCoordinate(std::floor(picture.left()));
        useT = deviceCoordinate(std::floor(picture.top()));
        useR = std::max(useL + 1, deviceCoordinate(std::ceil(picture.right())));
        useB = std::max(useT + 1, deviceCoordinate(std::ceil(picture.bottom())));
    }
    writeI32(emf, kEmfBounds, useL);
    writeI32(emf, kEmfBounds + 4, useT);
    writeI32(emf, kEmfBounds + 8, useR);
    writeI32(emf, kEmfBounds + 12, useB);
    if (!deviceKnown) {
        writeI32(emf, kEmfDevice, kRefDevicePixels);
        writeI32(emf, kEmfDevice + 4, kRefDevicePixels);
        writeI32(emf, kEmfMillimeters, kRefDeviceMm);
        writeI32(emf, kEmfMillimeters + 4, kRefDeviceMm);
    }

    QSvgRenderer renderer;
    {
        std::lock_guard lock(metafileMutex());
        char emptyNamespace[] = "";
        generatorOptions options{};
        options.nameSpace = emptyNamespace;
        options.verbose = false;
        options.emfplus = false; // the classic records, which every dual EMF+ file carries too
        options.svgDelimiter = true;
        options.imgWidth = 0; // keep the device units: scale 1
        options.imgHeight = 0;
        char *text = nullptr;
        size_t length = 0;
        const int rc = lib->emf2svg(emf.data(), size_t(emf.size()), &text, &length, &options);
        const CBuffer<char> hold(text);
        if (rc != 1 || !text || length == 0)
            return notAnEmf(QStringLiteral("records cannot be played"));
        const TruncationWatch watch;
        if (!renderer.load(QByteArray::fromRawData(text, qsizetype(length))))
            return notAnEmf(QStringLiteral("records cannot be played"));
        if (watch.truncated())
            return failed(CodecError::CannotDecode, QStringLiteral("The picture cannot be drawn whole."));
    }
    // The SVG's user space is device units shifted by the bounds' corner.
    renderer.setViewBox(picture.translated(-useL, -useT));
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);

    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, w, h));
    }
    out = image;
    return succeeded();
}

bool prepareEmf(QString &why)
{
    if (!metafileLibraries(&why))
        return false;
    // The libraries turn the records' texts from one encoding into another through iconv, whose
    // converters the C library loads when first asked for; they stay open, and so loaded.
    static std::vector<iconv_t> converters;
    for (const auto &[to, from] : {std::pair{"UTF-8", "UTF-16LE"}, {"UTF-32LE", "UTF-16LE"}, {"UTF-8", "UTF-32LE"},
                                   {"UTF-32LE", "UTF-8"}, {"LATIN1", "UTF-32LE"}, {"UTF-32LE", "LATIN1"},
                                   {"UTF-8", "LATIN1"}, {"LATIN1", "UTF-8"}, {"LATIN1", "UTF-16LE"}})
        if (const iconv_t c = iconv_open(to, from); c != iconv_t(-1))
            converters.push_back(c);
    // The font configuration is read, and a text drawn once through QtSvg, so that drawing a
    // metafile's texts opens nothing but the files of the fonts they are drawn with.
    QFontDatabase::families();
    QSvgRenderer renderer(QByteArrayLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
                                            "<text x='0' y='7' font-size='7'>a</text></svg>"));
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return true;
}

} // namespace platform::codecs
