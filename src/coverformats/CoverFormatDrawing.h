#pragma once
// The small drawing of the cover-format editor, in twips: the A4 sheet of each orientation,
// the cover on it at its print position, the two print-position markers and the two crease
// markers. The editor changes these numbers and places its shape and line controls from them.
#include <array>
#include <cstdint>

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipRect &) const = default;
};

struct TwipLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool visible = false;
    std::uint32_t color = 0; // 0x00BBGGRR
};

struct CoverFormatDrawing {
    // The sheet in portrait (0) and in landscape (1); never moved or resized. Their sizes give
    // the scale of the drawing, about 65 twips a centimetre.
    static constexpr std::array<TwipRect, 2> kSheet = {TwipRect{1440, 0, 1365, 1935}, TwipRect{1080, 240, 1935, 1365}};
    // The sheet sizes in centimetres, width by height, by orientation.
    static constexpr std::array<double, 2> kSheetWidthCm = {21.0, 29.7};
    static constexpr std::array<double, 2> kSheetHeightCm = {29.7, 21.0};
    static constexpr std::uint32_t kRed = 0x000000FF;
    static constexpr std::uint32_t kYellow = 0x0000FFFF;

    std::array<bool, 2> sheetVisible = {true, true};
    TwipRect cover{3360, 600, 735, 495};
    TwipLine lineBorderLeft{360, 960, 360, 1440, true, kRed};
    TwipLine lineBorderTop{360, 840, 840, 840, true, kRed};
    std::array<TwipLine, 2> lineBorder = {TwipLine{0, 0, 0, 0, false, kYellow}, TwipLine{0, 0, 0, 0, false, kYellow}};
};

// Lengths in centimetres compare as equal within this margin, so sums of decimal fractions
// that are not exact in binary (20,9 + 0,1) still fit a sheet of 21,0.
inline constexpr double kLengthTolerance = 0.0005;
