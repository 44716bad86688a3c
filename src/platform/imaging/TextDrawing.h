#pragma once
// Text drawn into images: font, size in points at 96 dpi, character spacing in pixels, a
// width in percent that stretches the glyph outlines, weight, styles, a pen colour or a fill
// image stretched over the text's box, and several lines in a box with an alignment.
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace platform::imaging {

struct TextStyle {
    QString fontName = QStringLiteral("Arial");
    double size = 12;            // points, at 96 dpi
    int charSpacing = 0;         // extra pixels between two characters of a line
    double widthPercent = 100;   // horizontal stretch of the glyphs
    int weight = 4;              // 4 normal, 7 bold (tenths of the classic 100..900 scale)
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::uint32_t penColor = 0;  // 0x00BBGGRR
    double antiAlias = 1;        // 0 off, anything else on
    QImage fillImage;            // when set, fills the glyphs instead of the pen colour
};

// Lines are separated by CR LF (a lone CR or LF also breaks).
QStringList textLines(const QString &text);
// Where a text's ink lies. The layout box is the widest line's advance (spacing between
// letters, none after the last) by the lines' height; italic overhangs, descenders and
// glyphs pulled together by negative spacing may reach beyond it. size is the area that
// holds the layout box and all of the ink; origin is the layout box's top-left in it.
struct TextExtent {
    QSize size;
    QPointF origin;
    double layoutWidth = 0;
};
// A text beyond the bounds of beyondTextBounds() is not laid out: its size is the int range's
// end each way, a size no picture has.
TextExtent textExtent(const TextStyle &style, const QString &text, int alignment = 0);
// A text measured once for every width percent: at() gives what textExtent() gives for the
// style at that percent, without laying the text out again (the width percent stretches what
// was measured and nothing else). A stretch searches its percent with it.
// The last few texts measured are kept with their measurements: a command that measures a text
// many times over has it laid out once.
class TextMeasurement {
public:
    TextMeasurement(const TextStyle &style, const QString &text, int alignment = 0);
    TextExtent at(double widthPercent) const;
    // The advance of each line at that percent, the spacing between its letters included.
    std::vector<double> lineWidths(double widthPercent) const;

    // In pixels of the font's whole size.
    struct Line {
        double advance = 0; // spacing after the last letter included
        QRectF ink;         // from the baseline's start
        bool empty = true;
    };
    struct Measured {
        std::vector<Line> lines;
        double ascent = 0, lineSpacing = 0, height = 0, underlinePos = 0, lineWidth = 0;
    };

private:
    std::shared_ptr<const Measured> measured_;
    int alignment_;
    bool beyond_ = false;
    bool underlined_ = false;
    int spacing_ = 0;
    double k_ = 1;
};
// The size of the area that holds all of the text's ink (textExtent().size).
QSize measureText(const TextStyle &style, const QString &text, int alignment = 0);
// What the shaping of a text may cost: laying a text out and drawing it takes time for every
// character, more for a character carrying many combining marks, and nothing of that shows in
// the text's size (marks and zero-width characters have no width). A text with more
// characters (UTF-16 code units) than kMaxTextCharacters, each change to another script
// counted as kCharactersPerScriptRun characters more, or a character followed by more
// than kMaxCombiningMarks combining marks, is not laid out: measured as no picture could hold
// it, drawn as nothing. Neither is a text whose letter spacing takes a line past the range of
// the font's fixed-point positions (about 33 million pixels at the size the ink is measured
// at), which would wrap around to a small width.
inline constexpr qsizetype kMaxTextCharacters = 50000;
// A change to another script costs as much as this many characters more: the new run's font
// is looked up and the run is shaped on its own. A text of scripts mixed so holds fewer.
inline constexpr qsizetype kCharactersPerScriptRun = 32;
inline constexpr int kMaxCombiningMarks = 64;
// Which of those bounds the text is beyond, if any; found in one pass over its characters,
// without shaping any of them.
enum class TextBound { None, Characters, Marks, Spacing };
TextBound textBoundMet(const TextStyle &style, const QString &text);
// True when the text is beyond one of them.
bool beyondTextBounds(const TextStyle &style, const QString &text);
// True when the text is beyond those bounds, or its layout box is certainly wider than
// maxWidth or higher than maxHeight pixels, found without laying the text out whole: the
// lines are counted for the height, and a long line is measured piece by piece only until it
// passes maxWidth. So a text far too large to be drawn is told at the cost of reading it once.
// False tells nothing more.
bool layoutExceeds(const TextStyle &style, const QString &text, double maxWidth, double maxHeight);
// What drawing a text takes beyond what its characters cost to lay out, each glyph by the path
// that draws it. An outline whose em square is at most 64 pixels each way as drawn (the font's
// size times its stretch) comes from Qt's glyph cache, and so does every glyph without an
// outline (colour bitmaps, colour layers, bitmap strikes), at any size: each costs the pixels of
// its box, once when Qt makes its picture and again wherever it is blended, and a colour bitmap
// its decoding at every layout of the text. Larger outlines are filled by the program: each
// costs the cells its edges cross, and each run of a line's glyphs the pixels of its box.
// drawingWork() counts it, without drawing, line by line only until it passes kMaxOutlineWork:
// a text far too costly is told at a fraction of what counting it all would take. A text of
// more than kMaxOutlineWork is not drawn: measured in a release build, a unit takes about
// 11 ns, so the most within it takes about kMaxDrawingSeconds of CPU, which leaves room for the
// measuring of a command that fits the text first.
inline constexpr double kMaxOutlineWork = 2.5e8;
inline constexpr int kMaxDrawingSeconds = 3;
double drawingWork(const TextStyle &style, const QString &text, int alignment = 0);
// A text laid out for drawing into a box, as textExtent describes it (see drawText), with its
// work counted as drawingWork() counts it: made before the picture it is drawn into, a text too
// costly to draw costs no picture, and a text drawn is not laid out again.
class TextPlan {
public:
    TextPlan(const TextStyle &style, const QString &text, const QRect &box, int alignment, const TextExtent &extent);
    double work() const;
    bool tooCostly() const { return work() > kMaxOutlineWork; }

    struct Data;

private:
    friend void drawText(QImage &img, const TextPlan &text, const QImage &fillImage);
    std::shared_ptr<const Data> data_;
};
// How many times a text has been drawn (by drawText) since the program started.
long textDrawings();
// Draws the text into img in the area box, laid out as textExtent describes it: the layout
// box starts at box.topLeft() + origin and each line is aligned in its width (the box's
// width less the ink margins): 0 left, 1 centre, 2 right. Composited over what is there.
// A text beyond the bounds of beyondTextBounds(), or of more work than kMaxOutlineWork (a
// TextPlan tells it ahead), draws nothing. Throws std::bad_alloc when the working layer of a
// filled text cannot be allocated.
void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment);
// The same for a text whose extent is measured already (textExtent() of the same arguments).
void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment,
              const TextExtent &extent);
// The same for a text laid out already, filled with fillImage (stretched over the box) when it
// is set, else drawn in the style's pen colour.
void drawText(QImage &img, const TextPlan &text, const QImage &fillImage);

} // namespace platform::imaging
