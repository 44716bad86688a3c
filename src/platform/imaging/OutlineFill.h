#pragma once
// Anti-aliased coverage of outlines made of straight edges, filled by the non-zero rule, in time
// linear in the length of the edges and the area covered.
//
// Our own, because the rasterisers at hand (Qt's painter and FreeType's, which share one design)
// keep the cells of each pixel row in a list sorted by position: an outline that runs across
// thousands of pixels of one row, as a glyph stretched to a cover's width does, costs the square
// of its width there (a 14-point line stretched to 16000 pixels: 2 ms a glyph). Here every pixel
// of the area has its cell. The coverage is theirs: the area of each pixel inside the outlines,
// with the edges' ends at 1/64 pixel as theirs are, and overlapping outlines adding up.
#include <QPointF>
#include <QRect>

#include <cstdint>
#include <vector>

namespace platform::imaging {

class OutlineCoverage {
public:
    // The coverage of the pixels of area (in the picture's pixels): the share of each pixel
    // inside the outlines.
    explicit OutlineCoverage(const QRect &area);
    const QRect &area() const { return area_; }
    // One closed outline, its points in pixels moved by offset. An edge left of the area still
    // counts for the pixels to its right.
    void addOutline(const QPointF *points, qsizetype count, QPointF offset);
    // The coverage of each pixel, 0 to 255, row by row (area().width() a row).
    std::vector<std::uint8_t> coverage() const;

private:
    void addEdge(double x0, double y0, double x1, double y1);
    void addRowPiece(int row, double x0, double x1, double height);
    QRect area_;
    // What each cell adds to its row's running sum, which is the coverage of the pixel.
    std::vector<float> cells_;
};

} // namespace platform::imaging
