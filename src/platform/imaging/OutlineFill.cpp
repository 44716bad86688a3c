#include "platform/imaging/OutlineFill.h"

#include <algorithm>
#include <cmath>

namespace platform::imaging {

namespace {

// Points go to 1/64 pixel, halves up, as the painter's rasteriser takes them.
double toSixtyFourths(double v) { return std::floor(v * 64.0 + 0.5) / 64.0; }

} // namespace

OutlineCoverage::OutlineCoverage(const QRect &area)
    : area_(area), cells_(size_t(std::max(0, area.width())) * size_t(std::max(0, area.height())), 0.0f)
{
}

void OutlineCoverage::addOutline(const QPointF *points, qsizetype count, QPointF offset)
{
    if (count < 2)
        return;
    const auto x = [&](qsizetype i) { return toSixtyFourths(points[i].x() + offset.x()) - area_.left(); };
    const auto y = [&](qsizetype i) { return toSixtyFourths(points[i].y() + offset.y()) - area_.top(); };
    double px = x(count - 1), py = y(count - 1);
    for (qsizetype i = 0; i < count; ++i) {
        const double nx = x(i), ny = y(i);
        addEdge(px, py, nx, ny);
        px = nx;
        py = ny;
    }
}

void OutlineCoverage::addEdge(double x0, double y0, double x1, double y1)
{
    if (y0 == y1)
        return;
    int direction = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        direction = -1;
    }
    const double h = area_.height();
    if (y1 <= 0 || y0 >= h)
        return;
    const double slope = (x1 - x0) / (y1 - y0);
    const double top = std::max(y0, 0.0), bottom = std::min(y1, h);
    const int firstRow = int(std::floor(top)), lastRow = int(std::ceil(bottom)) - 1;
    if (firstRow == lastRow) {
        // Most edges of a flattened curve lie in one row.
        const double xa = x0 + (top - y0) * slope, xb = x0 + (bottom - y0) * slope;
        addRowPiece(firstRow, std::min(xa, xb), std::max(xa, xb), direction * (bottom - top));
        return;
    }
    for (int row = firstRow; row <= lastRow; ++row) {
        const double ya = std::max(top, double(row)), yb = std::min(bottom, double(row) + 1.0);
        if (yb <= ya)
            continue;
        const double xa = x0 + (ya - y0) * slope, xb = x0 + (yb - y0) * slope;
        addRowPiece(row, std::min(xa, xb), std::max(xa, xb), direction * (yb - ya));
    }
}

void OutlineCoverage::addRowPiece(int row, double x0, double x1, double height)
{
    // The piece of the edge in this row, between x0 and x1, height high (signed by its direction).
    // Pixel j is covered right of the edge by height times the mean, over the piece, of the part
    // of [j, j + 1] right of it: G(j) = H(j + 1) - H(j), where H integrates the share of the
    // piece left of a position. Each cell holds G(j) - G(j - 1), so that the row's running sum
    // gives the coverage, the full height from the piece's last pixel on.
    const int w = area_.width();
    float *cells = cells_.data() + size_t(row) * size_t(w);
    const double cell = std::floor(x0);
    if (x1 <= cell + 1.0 && cell >= 0 && cell < w) {
        // Within one pixel: the share right of the piece's middle goes to it, the rest from
        // the next pixel on.
        const int j = int(cell);
        const double right = (x0 + x1) / 2.0 - cell;
        cells[j] += float(height * (1.0 - right));
        if (j + 1 < w)
            cells[j + 1] += float(height * right);
        return;
    }
    const double span = x1 - x0;
    const auto integral = [&](double t) {
        if (t <= x0)
            return 0.0;
        if (t >= x1)
            return span / 2.0 + (t - x1);
        return (t - x0) * (t - x0) / (2.0 * span);
    };
    const int first = int(std::floor(x0)), last = int(std::ceil(x1));
    if (last < 0) {
        cells[0] += float(height);
        return;
    }
    double before = 0;
    for (int j = std::max(first, 0); j <= std::min(last, w - 1); ++j) {
        const double g = integral(j + 1.0) - integral(double(j));
        cells[j] += float(height * (g - before));
        before = g;
    }
}

std::vector<std::uint8_t> OutlineCoverage::coverage() const
{
    const int w = area_.width(), h = area_.height();
    std::vector<std::uint8_t> out(cells_.size(), 0);
    for (int row = 0; row < h; ++row) {
        const float *cells = cells_.data() + size_t(row) * size_t(w);
        std::uint8_t *o = out.data() + size_t(row) * size_t(w);
        double sum = 0;
        for (int x = 0; x < w; ++x) {
            sum += cells[x];
            // In 256ths of a pixel, a full pixel and more of overlapping outlines being 255.
            o[x] = std::uint8_t(std::min(255.0, std::floor(std::abs(sum) * 256.0 + 0.5)));
        }
    }
    return out;
}

} // namespace platform::imaging
