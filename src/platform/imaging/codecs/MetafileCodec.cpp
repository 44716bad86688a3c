#include "platform/imaging/codecs/MetafileCodec.h"

#include "platform/files/TemporaryFiles.h"
#include "platform/imaging/codecs/CodecSupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLibrary>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QScopeGuard>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

#include <emf2svg.h>
#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

namespace platform::codecs {

namespace {

constexpr double kDpi = 96.0;
constexpr double kHundredthMmPerInch = 2540.0;
// The reference device our EMF headers name: 960 pixels on 254 mm, that is 96 dpi.
constexpr int kRefDevicePixels = 960;
constexpr int kRefDeviceMm = 254;
constexpr int32_t kPelsPerMeter = 3780; // 96 dpi
// WMF coordinates are signed 16-bit numbers.
constexpr int kWmfMaxSide = 32767;

// What playing the records costs, measured in a release build with libemf2svg 1.1 and QtSvg
// 6.4: a shape becomes an SVG element of about 170 bytes and a document node of about a
// kilobyte, and takes some 14 microseconds to convert, parse and draw small; a point of a
// shape some 120 bytes and half a microsecond; a saved drawing state (libemf2svg keeps every
// copy to the end) some 200 bytes; a bitmap pixel, which is unpacked, compressed as PNG and
// unpacked again, up to some 45 bytes and a third of a microsecond. Other records cost little.
constexpr double kBytesPerShape = 1200, kBytesPerPoint = 128, kBytesPerSave = 256, kBytesPerBitmapPixel = 48;
constexpr double kMicrosecondsPerShape = 14, kMicrosecondsPerPoint = 0.6, kMicrosecondsPerSave = 0.25,
                 kMicrosecondsPerBitmapPixel = 0.35, kMicrosecondsPerRecord = 0.25;
// A metafile whose records cost more than this is refused before they are played...
constexpr double kMaxPlayBytes = 256.0 * 1024 * 1024;
constexpr double kMaxPlayMicroseconds = 1.5e6;
// ...and so is one with a shape of more elements than QtSvg draws: it cuts such a path short.
constexpr qint64 kMaxPathElements = 0x7fff;

// Offsets into the EMF header record.
constexpr int kEmfBounds = 8, kEmfFrame = 24, kEmfSignature = 40, kEmfDevice = 72, kEmfMillimeters = 80;
constexpr int kEmfMinHeader = 88;
constexpr quint32 kEmfSignatureValue = 0x464D4520; // " EMF"

// libuemf keeps part of its state in globals (the WMF object high-water mark, a record
// property table), so one metafile is built or converted at a time.
std::mutex &metafileMutex()
{
    static std::mutex m;
    return m;
}

// libemf2svg and libuemf are opened privately (RTLD_LOCAL) instead of being linked: libuemf
// exports a function wmf_free, and so does libwmf, which ImageMagick loads to read WMF. With
// libuemf in the process-wide symbol scope, libwmf's own calls of wmf_free land in libuemf
// and crash. Opened privately, each library keeps its own.
struct MetafileLibraries {
// clang-format off
#define PELMORA_METAFILE_FUNCTIONS(X) \
    X(emf2svg) X(RGBA_to_DIB) X(bitmapinfoheader_set) X(bitmapinfo_set) \
    X(U_emf_record_safe) X(emf_start) X(emf_finish) X(emf_free) \
    X(emf_append) X(emf_htable_create) X(emf_htable_free) X(U_EMRHEADER_set) \
    X(U_EMRSETSTRETCHBLTMODE_set) X(U_EMRSTRETCHDIBITS_set) X(U_EMREOF_set) X(wmf_start) \
    X(wmf_finish) X(wmf_free) X(wmf_append) X(wmf_header_append) \
    X(U_PAIRF_set) X(U_WMRHEADER_set) X(U_WMRSETMAPMODE_set) X(U_WMRSETWINDOWORG_set) \
    X(U_WMRSETWINDOWEXT_set) X(U_WMRSETSTRETCHBLTMODE_set) X(U_WMRSTRETCHDIB_set) X(U_WMREOF_set)
// clang-format on
#define PELMORA_DECLARE(name) decltype(&::name) name = nullptr;
    PELMORA_METAFILE_FUNCTIONS(PELMORA_DECLARE)
#undef PELMORA_DECLARE
};

// The function table, or null when a library or function is missing (the reason in *why).
const MetafileLibraries *metafileLibraries(QString *why)
{
    static QString failure;
    static const std::unique_ptr<MetafileLibraries> table = [] {
        auto t = std::make_unique<MetafileLibraries>();
        static QLibrary emf2svgLib(QStringLiteral("emf2svg"), 1);
        static QLibrary uemfLib(QStringLiteral("uemf"), 0);
        if (!emf2svgLib.load() || !uemfLib.load()) {
            failure = emf2svgLib.isLoaded() ? uemfLib.errorString() : emf2svgLib.errorString();
            return std::unique_ptr<MetafileLibraries>();
        }
        bool complete = true;
#define PELMORA_RESOLVE(name)                                                                                          \
    t->name = reinterpret_cast<decltype(&::name)>(std::strcmp(#name, "emf2svg") == 0 ? emf2svgLib.resolve(#name)       \
                                                                                     : uemfLib.resolve(#name));        \
    if (!t->name) {                                                                                                    \
        failure = QStringLiteral("%1 is missing").arg(QLatin1String(#name));                                           \
        complete = false;                                                                                              \
    }
        PELMORA_METAFILE_FUNCTIONS(PELMORA_RESOLVE)
#undef PELMORA_RESOLVE
        return complete ? std::move(t) : std::unique_ptr<MetafileLibraries>();
    }();
    if (!table && why)
        *why = failure;
    return table.get();
}
#undef PELMORA_METAFILE_FUNCTIONS

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using CBuffer = std::unique_ptr<T, FreeDeleter>;

// ---------------------------------------------------------------- writing

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

// ---------------------------------------------------------------- reading

qint32 readI32(const QByteArray &d, int offset) { return qFromLittleEndian<qint32>(d.constData() + offset); }
void writeI32(QByteArray &d, int offset, qint32 v) { qToLittleEndian<qint32>(v, d.data() + offset); }

CodecResult notAnEmf(const QString &why)
{
    return failed(CodecError::CannotDecode, QStringLiteral("The file is not a readable EMF picture (%1).").arg(why));
}

// What the records hold that makes playing them costly.
struct PlayCost {
    qint64 records = 0, shapes = 0, saves = 0, points = 0, bitmapPixels = 0;
    qint64 longestPath = 0; // elements of the longest path QtSvg is given
    double bytes() const
    {
        return shapes * kBytesPerShape + points * kBytesPerPoint + saves * kBytesPerSave +
               bitmapPixels * kBytesPerBitmapPixel;
    }
    double microseconds() const
    {
        return records * kMicrosecondsPerRecord + shapes * kMicrosecondsPerShape + points * kMicrosecondsPerPoint +
               saves * kMicrosecondsPerSave + bitmapPixels * kMicrosecondsPerBitmapPixel;
    }
};

quint32 recordU32(const char *record, size_t offset) { return qFromLittleEndian<quint32>(record + offset); }

// The pixels of the bitmap a record carries at offBmi (bitmap info) and offBits (its bits):
// the header's size, or the size of the JPEG or PNG picture the bits hold. U_emf_record_safe
// has checked that both lie inside the record.
qint64 bitmapPixels(const char *record, size_t offBmiField, size_t offBitsField, size_t cbBitsField)
{
    const quint32 length = recordU32(record, 4);
    if (length < cbBitsField + 4)
        return 0;
    const quint32 offBmi = recordU32(record, offBmiField);
    if (offBmi == 0 || qint64(offBmi) + qint64(sizeof(U_BITMAPINFOHEADER)) > length)
        return 0;
    const char *header = record + offBmi;
    const qint64 w = std::abs(qint64(qFromLittleEndian<qint32>(header + offsetof(U_BITMAPINFOHEADER, biWidth))));
    const qint64 h = std::abs(qint64(qFromLittleEndian<qint32>(header + offsetof(U_BITMAPINFOHEADER, biHeight))));
    qint64 pixels = w * h;
    const quint32 compression = qFromLittleEndian<quint32>(header + offsetof(U_BITMAPINFOHEADER, biCompression));
    if (compression == U_BI_JPEG || compression == U_BI_PNG) {
        const quint32 offBits = recordU32(record, offBitsField), cbBits = recordU32(record, cbBitsField);
        if (offBits < length && cbBits <= length - offBits) {
            QByteArray bits = QByteArray::fromRawData(record + offBits, qsizetype(cbBits));
            QBuffer buffer(&bits);
            const QSize size = QImageReader(&buffer).size();
            pixels = std::max(pixels, qint64(std::max(size.width(), 0)) * std::max(size.height(), 0));
        }
    }
    return pixels;
}

// Walks the records: each must lie inside the data, be consistent in itself, and the last one
// must end the metafile. libemf2svg gets only metafiles that pass. What they cost to play is
// added up on the way.
CodecResult checkRecords(const MetafileLibraries *lib, const QByteArray &data, PlayCost &cost)
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
        ++cost.records;
        qint64 elements = 0; // of the path this record draws or adds to
        switch (type) {
        case U_EMR_POLYBEZIER: case U_EMR_POLYGON: case U_EMR_POLYLINE: case U_EMR_POLYBEZIERTO:
        case U_EMR_POLYLINETO: case U_EMR_POLYBEZIER16: case U_EMR_POLYGON16: case U_EMR_POLYLINE16:
        case U_EMR_POLYBEZIERTO16: case U_EMR_POLYLINETO16: case U_EMR_POLYDRAW: case U_EMR_POLYDRAW16:
            elements = qint64(recordU32(record, offsetof(U_EMRPOLYLINE, cptl))) + 2;
            cost.points += elements - 2;
            break;
        case U_EMR_POLYPOLYLINE: case U_EMR_POLYPOLYGON: case U_EMR_POLYPOLYLINE16: case U_EMR_POLYPOLYGON16: {
            const qint64 points = recordU32(record, offsetof(U_EMRPOLYPOLYLINE, cptl));
            cost.points += points;
            elements = points + 2 * qint64(recordU32(record, offsetof(U_EMRPOLYPOLYLINE, nPolys)));
            break;
        }
        case U_EMR_RECTANGLE: case U_EMR_ROUNDRECT: case U_EMR_ELLIPSE: case U_EMR_ARC: case U_EMR_ARCTO:
        case U_EMR_CHORD: case U_EMR_PIE: case U_EMR_ANGLEARC: case U_EMR_LINETO: case U_EMR_SETPIXELV:
        case U_EMR_EXTTEXTOUTA: case U_EMR_EXTTEXTOUTW: case U_EMR_SMALLTEXTOUT: case U_EMR_POLYTEXTOUTA:
        case U_EMR_POLYTEXTOUTW: case U_EMR_FILLRGN: case U_EMR_FRAMERGN: case U_EMR_PAINTRGN:
        case U_EMR_INVERTRGN: case U_EMR_GRADIENTFILL: case U_EMR_FILLPATH: case U_EMR_STROKEPATH:
        case U_EMR_STROKEANDFILLPATH:
            elements = 32; // a rounded or curved outline is some curves
            break;
        case U_EMR_SAVEDC:
            ++cost.saves;
            break;
        case U_EMR_BEGINPATH:
            inPath = true;
            pathElements = 0;
            break;
        case U_EMR_ENDPATH: case U_EMR_ABORTPATH:
            inPath = false;
            break;
#define PELMORA_BITMAP(record_type, name, bmi, bits, cbBits)                                                          \
    case record_type:                                                                                                  \
        cost.bitmapPixels += bitmapPixels(record, offsetof(name, bmi), offsetof(name, bits), offsetof(name, cbBits));  \
        elements = 8;                                                                                                  \
        break;
            PELMORA_BITMAP(U_EMR_BITBLT, U_EMRBITBLT, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_STRETCHBLT, U_EMRSTRETCHBLT, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_SETDIBITSTODEVICE, U_EMRSETDIBITSTODEVICE, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_STRETCHDIBITS, U_EMRSTRETCHDIBITS, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_ALPHABLEND, U_EMRALPHABLEND, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_TRANSPARENTBLT, U_EMRTRANSPARENTBLT, offBmiSrc, offBitsSrc, cbBitsSrc)
            PELMORA_BITMAP(U_EMR_CREATEMONOBRUSH, U_EMRCREATEMONOBRUSH, offBmi, offBits, cbBits)
            PELMORA_BITMAP(U_EMR_CREATEDIBPATTERNBRUSHPT, U_EMRCREATEDIBPATTERNBRUSHPT, offBmi, offBits, cbBits)
            PELMORA_BITMAP(U_EMR_EXTCREATEPEN, U_EMREXTCREATEPEN, offBmi, offBits, cbBits)
#undef PELMORA_BITMAP
// Records that carry a source bitmap and a mask.
#define PELMORA_BITMAP_AND_MASK(record_type, name)                                                                     \
    case record_type:                                                                                                  \
        cost.bitmapPixels +=                                                                                           \
            bitmapPixels(record, offsetof(name, offBmiSrc), offsetof(name, offBitsSrc), offsetof(name, cbBitsSrc)) +   \
            bitmapPixels(record, offsetof(name, offBmiMask), offsetof(name, offBitsMask), offsetof(name, cbBitsMask)); \
        elements = 8;                                                                                                  \
        break;
            PELMORA_BITMAP_AND_MASK(U_EMR_MASKBLT, U_EMRMASKBLT)
            PELMORA_BITMAP_AND_MASK(U_EMR_PLGBLT, U_EMRPLGBLT)
#undef PELMORA_BITMAP_AND_MASK
        default:
            break;
        }
        if (elements > 0) {
            ++cost.shapes;
            // Within a path bracket the outlines make one path, drawn when the path is filled
            // or stroked.
            pathElements = inPath ? pathElements + elements : elements;
            cost.longestPath = std::max(cost.longestPath, pathElements);
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

// Long outlines are drawn in pieces of at most this many elements (see DeadlineEngine::drawPath).
constexpr int kStrokePieceElements = 1024;

// QSvgRenderer draws a document whole and cannot be stopped: it draws through this engine,
// which hands every drawing on to a painter of the picture until a deadline and skips the
// rest once it has passed.
class DeadlineEngine final : public QPaintEngine {
public:
    DeadlineEngine(QImage &target, qint64 milliseconds) : QPaintEngine(AllFeatures), target_(target), limit_(milliseconds)
    {
    }
    bool expired() const { return expired_; }

    bool begin(QPaintDevice *) override
    {
        timer_.start();
        return painter_.begin(&target_);
    }
    bool end() override { return painter_.end(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyTransform)
            painter_.setTransform(state.transform());
        if (dirty & DirtyPen)
            painter_.setPen(state.pen());
        if (dirty & DirtyBrush)
            painter_.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            painter_.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont)
            painter_.setFont(state.font());
        if (dirty & DirtyBackground)
            painter_.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            painter_.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyHints) {
            painter_.setRenderHints(~state.renderHints(), false);
            painter_.setRenderHints(state.renderHints(), true);
        }
        if (dirty & DirtyCompositionMode)
            painter_.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            painter_.setOpacity(state.opacity());
        if (dirty & DirtyClipPath) {
            if (state.clipOperation() == Qt::NoClip)
                painter_.setClipping(false);
            else
                painter_.setClipPath(state.clipPath(), state.clipOperation());
        }
        if (dirty & DirtyClipRegion) {
            if (state.clipOperation() == Qt::NoClip)
                painter_.setClipping(false);
            else
                painter_.setClipRegion(state.clipRegion(), state.clipOperation());
        }
        if (dirty & DirtyClipEnabled)
            painter_.setClipping(state.isClipEnabled());
    }

    void drawRects(const QRectF *rects, int count) override
    {
        if (inTime())
            painter_.drawRects(rects, count);
    }
    void drawLines(const QLineF *lines, int count) override
    {
        if (inTime())
            painter_.drawLines(lines, count);
    }
    void drawEllipse(const QRectF &rect) override
    {
        if (inTime())
            painter_.drawEllipse(rect);
    }
    void drawPath(const QPainterPath &path) override
    {
        if (!inTime())
            return;
        const QPen pen = painter_.pen();
        // Qt outlines a path under a pen that is not a hairline in a time that grows with its
        // segments and the square of the pen's width (2 seconds for 32,000 segments a pixel
        // wide, 18 seconds three pixels wide), which no deadline can stop: a long path is
        // filled whole and outlined piece by piece, in pieces of a tenth of a second or so.
        const double width = pen.widthF() * std::sqrt(std::abs(painter_.transform().determinant()));
        const int pieceElements = std::clamp(int(kStrokePieceElements / std::max(1.0, width * width)), 16,
                                             kStrokePieceElements);
        if (path.elementCount() <= pieceElements || pen.style() == Qt::NoPen || pen.isCosmetic()) {
            painter_.drawPath(path);
            return;
        }
        if (painter_.brush().style() != Qt::NoBrush) {
            painter_.setPen(Qt::NoPen);
            painter_.drawPath(path);
            painter_.setPen(pen);
        }
        QPainterPath piece;
        piece.setFillRule(path.fillRule());
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            if (e.isMoveTo()) {
                piece.moveTo(e);
            } else if (e.isLineTo()) {
                piece.lineTo(e);
            } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
                piece.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
                i += 2;
            }
            if (piece.elementCount() >= pieceElements) {
                painter_.strokePath(piece, pen);
                if (!inTime())
                    return;
                const QPointF end = piece.currentPosition();
                piece.clear();
                piece.moveTo(end);
            }
        }
        if (piece.elementCount() > 1)
            painter_.strokePath(piece, pen);
    }
    void drawPoints(const QPointF *points, int count) override
    {
        if (inTime())
            painter_.drawPoints(points, count);
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        if (!inTime())
            return;
        if (count > 16 && painter_.pen().style() != Qt::NoPen && !painter_.pen().isCosmetic()) {
            QPainterPath path;
            path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
            path.moveTo(points[0]);
            for (int i = 1; i < count; ++i)
                path.lineTo(points[i]);
            if (mode == PolylineMode) {
                const QBrush brush = painter_.brush();
                painter_.setBrush(Qt::NoBrush);
                drawPath(path);
                painter_.setBrush(brush);
            } else {
                path.closeSubpath();
                drawPath(path);
            }
            return;
        }
        switch (mode) {
        case PolylineMode:
            painter_.drawPolyline(points, count);
            break;
        case ConvexMode:
            painter_.drawConvexPolygon(points, count);
            break;
        case OddEvenMode:
        case WindingMode:
            painter_.drawPolygon(points, count, mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
            break;
        }
    }
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override
    {
        if (inTime())
            painter_.drawPixmap(rect, pixmap, source);
    }
    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override
    {
        if (inTime())
            painter_.drawTiledPixmap(rect, pixmap, offset);
    }
    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override
    {
        if (inTime())
            painter_.drawImage(rect, image, source, flags);
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        if (inTime())
            painter_.drawTextItem(p, item);
    }

private:
    bool inTime()
    {
        if (!expired_ && timer_.elapsed() > limit_)
            expired_ = true;
        return !expired_;
    }

    QImage &target_;
    QPainter painter_;
    QElapsedTimer timer_;
    qint64 limit_;
    bool expired_ = false;
};

// The picture as a device to paint on, through DeadlineEngine.
class DeadlineDevice final : public QPaintDevice {
public:
    DeadlineDevice(QImage &target, qint64 milliseconds) : target_(target), engine_(target, milliseconds) {}
    ~DeadlineDevice() override = default;
    bool expired() const { return engine_.expired(); }
    QPaintEngine *paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return target_.width();
        case PdmHeight: return target_.height();
        case PdmWidthMM: return target_.widthMM();
        case PdmHeightMM: return target_.heightMM();
        case PdmNumColors: return target_.colorCount();
        case PdmDepth: return target_.depth();
        case PdmDpiX: return target_.logicalDpiX();
        case PdmDpiY: return target_.logicalDpiY();
        case PdmPhysicalDpiX: return target_.physicalDpiX();
        case PdmPhysicalDpiY: return target_.physicalDpiY();
        case PdmDevicePixelRatio: return int(target_.devicePixelRatio());
        case PdmDevicePixelRatioScaled: return int(target_.devicePixelRatio() * devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QImage &target_;
    mutable DeadlineEngine engine_;
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
    PlayCost cost;
    if (CodecResult r = checkRecords(lib, data, cost); !r.ok)
        return r;
    if (cost.longestPath > kMaxPathElements)
        return failed(CodecError::CannotDecode,
                      QStringLiteral("The picture cannot be drawn whole (a shape of more than %1 points).")
                          .arg(kMaxPathElements));
    if (cost.microseconds() > kMaxPlayMicroseconds)
        return failed(CodecError::CannotDecode, QStringLiteral("The picture takes too long to decode."));
    if (cost.bytes() > kMaxPlayBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The picture is too large."));
    const qint64 playBytes = data.size() + qint64(cost.bytes());

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
    const double fit = std::min(fitFactor(pixelW, pixelH, 4, playBytes),
                                std::sqrt(kMaxMetafilePixels / (std::max(pixelW, 1.0) * std::max(pixelH, 1.0))));
    if (const double f = fit; f < 1) {
        pixelW = std::floor(pixelW * f);
        pixelH = std::floor(pixelH * f);
    }
    // Past the side limit (refused just below) the size is not converted as it stands.
    const int w = std::max(1, int(std::min(pixelW, kMaxImageSide + 1.0))),
              h = std::max(1, int(std::min(pixelH, kMaxImageSide + 1.0)));
    if (CodecResult r = checkCost(QSize(w, h), 4, playBytes); !r.ok)
        return r;

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
    DeadlineDevice device(image, std::min(magickDecodeTimeLimitMs(), kMetafileMilliseconds));
    {
        QPainter painter(&device);
        renderer.render(&painter, QRectF(0, 0, w, h));
    }
    if (device.expired())
        return failed(CodecError::CannotDecode, QStringLiteral("The picture takes too long to decode."));
    out = image;
    return succeeded();
}

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
