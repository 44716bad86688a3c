#pragma once
// The shape control: the outline of a rectangle or an ellipse filling the widget, drawn over
// whatever lies below it. It takes no mouse input, so clicks and drops reach the control
// underneath. Colours are 0x00BBGGRR values.
#include <QWidget>
#include <cstdint>

class ShapeControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Shape READ shape WRITE setShape)
    Q_PROPERTY(int BorderColor READ borderColorValue WRITE setBorderColorValue)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)

public:
    // Shape codes: 0 rectangle, 2 oval, 3 circle (an ellipse in a square in the middle).
    enum : int { kRectangle = 0, kOval = 2, kCircle = 3 };
    // Border styles: 0 transparent, 1 solid, 2 dash, 3 dot.
    enum : int { kTransparent = 0, kSolid = 1, kDash = 2, kDot = 3 };

    explicit ShapeControl(QWidget *parent = nullptr);

    int shape() const { return shape_; }
    void setShape(int s);
    std::uint32_t borderColor() const { return color_; }
    void setBorderColor(std::uint32_t bgr);
    int borderColorValue() const { return int(color_); }
    void setBorderColorValue(int bgr) { setBorderColor(std::uint32_t(bgr)); }
    int borderStyle() const { return style_; }
    void setBorderStyle(int s);
    int borderWidth() const { return width_; }
    void setBorderWidth(int px);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int shape_ = kRectangle;
    std::uint32_t color_ = 0;
    int style_ = kSolid;
    int width_ = 1;
};
