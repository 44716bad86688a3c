#include "platform/imaging/ImgxImage.h"

#include "platform/Rounding.h"
#include "platform/files/TemporaryFiles.h"
#include "platform/imaging/Colors.h"
#include "platform/net/Download.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

namespace platform {

namespace {
QImage toWorkingFormat(const QImage &img)
{
    if (img.isNull() || img.format() == QImage::Format_ARGB32_Premultiplied)
        return img;
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A picture an operation made: one that could not be allocated is a failure, never an
// empty picture in its place.
QImage made(QImage &&img)
{
    if (img.isNull())
        throw std::bad_alloc();
    return std::move(img);
}
} // namespace

void ImgxImage::apply(const QString &undoText, Op op, bool independent)
{
    if (undoText == kNoUndo || levels_ <= 0) {
        op(state_);
        // A change that is not a step of its own belongs to the newest step: a later step's
        // picture before it is then rebuilt with the change in it, and undoing the newest
        // step takes the change back with it, as a kept copy of the picture before would.
        if (!steps_.empty() && levels_ > 0) {
            Step &last = steps_.back();
            if (last.independent) {
                // A step that made its picture from nothing is remade as the picture is now:
                // what it was made from (a loaded picture, say) is not kept beside it.
                last.op = [now = state_](State &s) { s = now; };
            } else {
                last.op = [before = std::move(last.op), op = std::move(op)](State &s) {
                    before(s);
                    op(s);
                };
            }
        }
        return;
    }
    Step s;
    s.text = undoText;
    s.independent = independent;
    // A picture that is replaced as a whole costs nothing to keep: it is not copied.
    if (independent || steps_.empty() || steps_.size() % kSnapshotEvery == 0) {
        s.hasBefore = true;
        s.before = state_;
    }
    s.op = op;
    op(state_);
    steps_.push_back(std::move(s));
    while (int(steps_.size()) > levels_)
        dropOldest();
}

void ImgxImage::dropOldest()
{
    if (steps_.empty())
        return;
    if (steps_.size() > 1) {
        Step &next = steps_[1];
        if (!next.hasBefore) {
            next.before = stateBefore(1);
            next.hasBefore = true;
        }
    }
    steps_.erase(steps_.begin());
}

ImgxImage::State ImgxImage::stateBefore(size_t stepIndex) const
{
    // Find where to start: a snapshot taken before a step, or an operation that makes its
    // picture from nothing; then replay up to the step.
    size_t k = stepIndex;
    State s;
    for (;;) {
        const Step &st = steps_[k];
        if (k < stepIndex && st.independent) {
            st.op(s);
            ++k;
            break;
        }
        if (st.hasBefore) {
            s = st.before;
            break;
        }
        if (k == 0)
            return s; // cannot happen: the first step always has its snapshot
        --k;
    }
    for (; k < stepIndex; ++k)
        steps_[k].op(s);
    return s;
}

void ImgxImage::undo()
{
    if (steps_.empty())
        return;
    const size_t last = steps_.size() - 1;
    state_ = stateBefore(last);
    steps_.pop_back();
}

void ImgxImage::setUndoLevels(int levels)
{
    levels_ = std::max(0, levels);
    while (int(steps_.size()) > levels_)
        dropOldest();
}

QString ImgxImage::undoText(int index) const
{
    return index >= 0 && index < undoCount() ? steps_[size_t(index)].text : QString();
}

void ImgxImage::importImage(const ImgxImage &source, const QString &undoText)
{
    const State copy = source.state_;
    apply(undoText, [copy](State &s) { s = copy; }, true);
}

void ImgxImage::setQImage(const QImage &image, const QString &undoText, int type)
{
    const QImage img = toWorkingFormat(image);
    apply(undoText, [img, type](State &s) { s.image = img; s.type = type; }, true);
}

void ImgxImage::blank(int width, int height, std::uint32_t color, int alpha, int type, const QString &undoText)
{
    const QSize size(std::max(1, width), std::max(1, height));
    requireWithinPictureLimits(size);
    QImage img = made(QImage(size, QImage::Format_ARGB32_Premultiplied));
    img.fill(imaging::fromColorRef(color, alpha));
    setQImage(img, undoText, type);
}

namespace {
int typeForExtension(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    static const std::pair<const char *, int> codes[] = {
        {"jpg", 1}, {"jpeg", 1}, {"png", 2}, {"tif", 3}, {"tiff", 3}, {"pcx", 4}, {"tga", 5},
        {"bmp", 6}, {"wmf", 7}, {"emf", 8}, {"psd", 9}, {"wbmp", 10}, {"gif", 0}};
    for (const auto &[e, code] : codes)
        if (ext == QLatin1String(e))
            return code;
    return ImgxImage::kTypeInMemory;
}
} // namespace

CodecResult ImgxImage::loadFile(const QString &path, const QString &undoText)
{
    QImage img;
    const CodecResult r = loadImageFile(path, img);
    if (r.ok)
        setQImage(img, undoText, typeForExtension(path));
    return r;
}

CodecResult ImgxImage::loadData(const QByteArray &data, const QString &nameHint, const QString &undoText)
{
    QImage img;
    const CodecResult r = loadImageData(data, nameHint, img);
    if (r.ok)
        setQImage(img, undoText, typeForExtension(nameHint));
    return r;
}

CodecResult ImgxImage::loadAddress(const QString &url, const QString &undoText)
{
    QTemporaryDir dir(scratchFolderTemplate(ScratchKind::Download));
    if (!dir.isValid())
        return {false, 4, QStringLiteral("No temporary folder for the download"), {}};
    QString name = QUrl(url).fileName();
    if (name.isEmpty())
        name = QStringLiteral("download");
    const QString local = dir.filePath(name);
    const DownloadResult d = Downloader::get().download(url, local);
    if (!d.ok)
        return {false, 2, d.description, {}};
    return loadFile(local, undoText);
}

CodecResult ImgxImage::saveFile(const QString &path, int saveType, int jpegQuality) const
{
    return saveImageFile(path, state_.image, saveType, jpegQuality);
}

void ImgxImage::resize(int width, int height, int mode, const QString &undoText)
{
    if (isEmpty() || width < 1 || height < 1)
        return;
    requireWithinPictureLimits(QSize(width, height));
    apply(undoText,
          [width, height, mode](State &s) { s.image = made(imaging::resized(s.image, width, height, mode)); });
}

void ImgxImage::resizeToWidth(int width, int mode, const QString &undoText)
{
    if (isEmpty() || width < 1)
        return;
    const int h = std::max(1, roundToInt(double(height()) * width / this->width()));
    resize(width, h, mode, undoText);
}

void ImgxImage::rotate(float angle, std::uint32_t fillColor, int fillAlpha, bool fast, const QString &undoText)
{
    if (isEmpty())
        return;
    requireWithinPictureLimits(imaging::rotatedSize(state_.image.size(), angle));
    const QRgb fill = imaging::rgbaFromColorRef(fillColor, fillAlpha);
    apply(undoText, [angle, fill, fast](State &s) { s.image = made(imaging::rotated(s.image, angle, fill, fast)); });
}

void ImgxImage::flip(int direction, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [direction](State &s) { s.image = made(imaging::flipped(s.image, direction)); });
}

void ImgxImage::soften(int percent, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [percent](State &s) { imaging::soften(s.image, percent); });
}

void ImgxImage::sharpen(int percent, int filterSize, bool ignoreAlpha, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [=](State &s) { imaging::sharpen(s.image, percent, filterSize, ignoreAlpha); });
}

void ImgxImage::negative(const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [](State &s) { imaging::negative(s.image); });
}

void ImgxImage::colorize(std::uint32_t color, const QString &undoText)
{
    if (isEmpty())
        return;
    const QRgb c = imaging::rgbaFromColorRef(color);
    apply(undoText, [c](State &s) { imaging::colorize(s.image, c); });
}

void ImgxImage::autoBrightness(int low, int high, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [low, high](State &s) { imaging::autoBrightness(s.image, low, high); });
}

void ImgxImage::brightnessContrast(int brightness, int contrast, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [=](State &s) { imaging::brightnessContrast(s.image, brightness, contrast); });
}

void ImgxImage::dropShadow(int dx, int dy, std::uint32_t color, int opacity, double blur, const QString &undoText)
{
    if (isEmpty())
        return;
    const QRgb c = imaging::rgbaFromColorRef(color);
    apply(undoText, [=](State &s) { imaging::dropShadow(s.image, dx, dy, c, opacity, blur); });
}

void ImgxImage::linearGradient(int width, int height, QPointF start, QPointF end,
                               const imaging::GradientColors &colors, const QString &undoText)
{
    requireWithinPictureLimits(QSize(std::max(1, width), std::max(1, height)));
    const QImage g = made(imaging::linearGradient(std::max(1, width), std::max(1, height), start, end, colors));
    setQImage(g, undoText);
}

void ImgxImage::centredGradient(int width, int height, QPointF centre, double radius,
                                const imaging::GradientColors &colors, const QString &undoText)
{
    requireWithinPictureLimits(QSize(std::max(1, width), std::max(1, height)));
    const QImage g = made(imaging::centredGradient(std::max(1, width), std::max(1, height), centre, radius, colors));
    setQImage(g, undoText);
}

void ImgxImage::drawImage(const ImgxImage &source, int x, int y, const QString &undoText)
{
    if (isEmpty() || source.isEmpty())
        return;
    const QImage src = source.qimage();
    apply(undoText, [src, x, y](State &s) {
        QPainter p(&s.image);
        p.drawImage(QPoint(x, y), src);
    });
}

void ImgxImage::drawText(const imaging::TextStyle &style, const QString &text, const QRect &box, int alignment,
                         const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [=](State &s) { imaging::drawText(s.image, style, text, box, alignment); });
}

void ImgxImage::drawText(const imaging::TextPlan &text, const QImage &fillImage, const QString &undoText)
{
    if (isEmpty())
        return;
    apply(undoText, [=](State &s) { imaging::drawText(s.image, text, fillImage); });
}

} // namespace platform
