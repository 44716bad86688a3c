#pragma once
// Lines and rectangles in a colour, line style and thickness on a canvas's device context:
// the cut border and fold marks on the printer page, and the fold lines on the previews and
// the editor canvas. Strokes are centred on their line.
#include "platform/imaging/DeviceContext.h"

#include <cstdint>
#include <functional>

class clsPrintBorders {
public:
    using Canvas = std::function<platform::imaging::DeviceContext &()>;

    void setLineColor(std::int32_t color) { color_ = color; }
    void setLineStyle(std::int32_t style) { style_ = style; }
    void setThickness(std::int16_t thickness) { thickness_ = thickness; }
    // The canvas is asked for its device context at every drawing call.
    void setCanvas(Canvas canvas) { canvas_ = std::move(canvas); }

    // A line between the points, or with rectangle set the rectangle they span; coordinates
    // are rounded half to even.
    void singleLine(float x1, float y1, float x2, float y2, bool rectangle = false);
    void Rectangle(float x1, float y1, float x2, float y2) { singleLine(x1, y1, x2, y2, true); }
    // An ellipse (height -1: a circle of the given width), painted onto the canvas.
    void Ellipse(float x, float y, float width, float height, bool flag = false);

private:
    platform::imaging::Pen pen() const;

    std::int32_t color_ = 0;
    std::int32_t style_ = 0;
    std::int16_t thickness_ = 0;
    Canvas canvas_;
};
