#pragma once
// The image object of the imaging layer: one picture (32-bit with alpha) with its own undo
// buffer. Images are shared by reference (ImgxImagePtr); "nothing" is a null pointer.
//
// Every operation that changes the picture takes an undo text: "No Undo" records nothing,
// any other text (also "") records one step under that text. undo() restores the picture as
// it was before the last recorded step, size and type included. The buffer holds at most
// undoLevels() steps; the oldest goes first.
//
// Steps are kept as the operations themselves plus a snapshot every few steps; undoing
// replays the operations from the nearest snapshot. Fifteen steps of a large picture so cost
// a handful of picture sizes instead of fifteen.
//
// An operation that would make a picture over the picture limits (a blank, a new size, a turn,
// a gradient) throws PictureTooLarge before it allocates; one whose picture cannot be
// allocated throws std::bad_alloc. Either way the picture stays as it was.
#include "platform/imaging/Filters.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/TextDrawing.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

inline const QString kNoUndo = QStringLiteral("No Undo");
// The text of a step recorded without a text of its own.
inline const QString kDefaultUndoText = QStringLiteral("Undo");

class ImgxImage;
using ImgxImagePtr = std::shared_ptr<ImgxImage>;

class ImgxImage {
public:
    static constexpr int kDefaultUndoLevels = 15;
    // The image type of a picture made in memory (32-bit with alpha).
    static constexpr int kTypeInMemory = 6;

    static ImgxImagePtr create() { return std::make_shared<ImgxImage>(); }

    int width() const { return state_.image.width(); }
    int height() const { return state_.image.height(); }
    bool isEmpty() const { return state_.image.isNull(); }
    const QImage &qimage() const { return state_.image; }

    // The type code: the save type of the file it was loaded from, or the one it was given.
    int imageType() const { return state_.type; }
    void setImageType(int type) { state_.type = type; }

    int undoLevels() const { return levels_; }
    void setUndoLevels(int levels);
    int undoCount() const { return int(steps_.size()); }
    QString undoText(int index) const;  // 0 is the oldest step
    void undo();
    void clearUndo() { steps_.clear(); }

    // Content
    void importImage(const ImgxImage &source, const QString &undoText);  // pixels and type, not steps
    void setQImage(const QImage &image, const QString &undoText, int type = kTypeInMemory);
    void blank(int width, int height, std::uint32_t color, int alpha, int type, const QString &undoText);
    CodecResult loadFile(const QString &path, const QString &undoText);
    CodecResult loadData(const QByteArray &data, const QString &nameHint, const QString &undoText);
    // Downloads the address (through the download seam) and loads what came.
    CodecResult loadAddress(const QString &url, const QString &undoText);
    CodecResult saveFile(const QString &path, int saveType, int jpegQuality = 90) const;

    // Geometry
    void resize(int width, int height, int mode, const QString &undoText);
    // The height follows the aspect ratio, rounded half to even.
    void resizeToWidth(int width, int mode, const QString &undoText);
    void rotate(float angle, std::uint32_t fillColor, int fillAlpha, bool fast, const QString &undoText);
    void flip(int direction, const QString &undoText = kDefaultUndoText);

    // Filters
    void soften(int percent, const QString &undoText = kDefaultUndoText);
    void sharpen(int percent, int filterSize, bool ignoreAlpha, const QString &undoText = kDefaultUndoText);
    void negative(const QString &undoText = kDefaultUndoText);
    void colorize(std::uint32_t color, const QString &undoText);
    void autoBrightness(int low, int high, const QString &undoText);
    void brightnessContrast(int brightness, int contrast, const QString &undoText);
    void dropShadow(int dx, int dy, std::uint32_t color, int opacity, double blur, const QString &undoText);
    void linearGradient(int width, int height, QPointF start, QPointF end,
                        const imaging::GradientColors &colors, const QString &undoText);
    void centredGradient(int width, int height, QPointF centre, double radius,
                         const imaging::GradientColors &colors, const QString &undoText);

    // Drawing
    void drawImage(const ImgxImage &source, int x, int y, const QString &undoText);
    void drawText(const imaging::TextStyle &style, const QString &text, const QRect &box, int alignment,
                  const QString &undoText);
    // The same for a text laid out already (see imaging::drawText).
    void drawText(const imaging::TextPlan &text, const QImage &fillImage, const QString &undoText);
    static QSize measureText(const imaging::TextStyle &style, const QString &text)
    {
        return imaging::measureText(style, text);
    }

private:
    struct State {
        QImage image;
        int type = kTypeInMemory;
    };
    using Op = std::function<void(State &)>;
    struct Step {
        QString text;
        Op op;
        bool independent = false;   // the result does not depend on the state before
        bool hasBefore = false;
        State before;
    };

    // Applies an operation, recording it unless the text says "No Undo". An independent
    // operation replaces the picture whatever it was.
    void apply(const QString &undoText, Op op, bool independent = false);
    void dropOldest();
    State stateBefore(size_t stepIndex) const;

    static constexpr size_t kSnapshotEvery = 5;

    State state_;
    int levels_ = kDefaultUndoLevels;
    std::vector<Step> steps_;
};

} // namespace platform
