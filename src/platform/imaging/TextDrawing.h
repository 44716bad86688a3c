#pragma once
// Text drawn into images: font, size in points at 96 dpi, character spacing in pixels, a
// width in percent that stretches the glyph outlines, weight, styles, a pen colour or a fill
// image stretched over the text's box, and several lines in a box with an alignment.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

namespace platform::imaging {

struct TextStyle {
    QString fontName = QStringLiteral("Arial");
    double size = 12;            // points, at 96 dpi
    int charSpacing = 0;         // extra pixels after each character
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
// The size of the text's box in whole pixels: the widest line's advance and the lines' height.
QSize measureText(const TextStyle &style, const QString &text);
// Draws the text into img with its box's top-left at box.topLeft(); each line aligned in the
// box's width: 0 left, 1 centre, 2 right. Composited over what is there.
void drawText(QImage &img, const TextStyle &style, const QString &text, const QRect &box, int alignment);

} // namespace platform::imaging
