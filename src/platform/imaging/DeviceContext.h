#pragma once
// What the program draws "on a device context": images at a point or stretched into a
// rectangle, lines and rectangle outlines. Painted now (PainterContext, inside a paint
// event or into an image) or recorded for the canvas to paint after its image
// (RecordingContext).
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace platform::imaging {

// Line styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
struct Pen {
    std::uint32_t color = 0;   // 0x00BBGGRR
    int alpha = 255;
    int style = 0;
    int width = 1;             // device pixels; lines are centred on their path, ends flat
};

class DeviceContext {
public:
    virtual ~DeviceContext() = default;
    virtual void paintImage(const QImage &img, int x, int y) = 0;
    virtual void paintImageStretched(const QImage &img, const QRect &target) = 0;
    virtual void drawLine(QPoint from, QPoint to, const Pen &pen) = 0;
    // The outline of the rectangle between two corners.
    virtual void drawRect(QPoint corner1, QPoint corner2, const Pen &pen) = 0;
};

class PainterContext final : public DeviceContext {
public:
    explicit PainterContext(QPainter &p) : p_(p) {}
    void paintImage(const QImage &img, int x, int y) override;
    void paintImageStretched(const QImage &img, const QRect &target) override;
    void drawLine(QPoint from, QPoint to, const Pen &pen) override;
    void drawRect(QPoint corner1, QPoint corner2, const Pen &pen) override;

private:
    QPainter &p_;
};

class RecordingContext final : public DeviceContext {
public:
    struct Item {
        enum Kind { Image, StretchedImage, Line, Rect } kind;
        QImage image;
        QRect rect;
        QPoint a, b;
        Pen pen;
    };
    void paintImage(const QImage &img, int x, int y) override;
    void paintImageStretched(const QImage &img, const QRect &target) override;
    void drawLine(QPoint from, QPoint to, const Pen &pen) override;
    void drawRect(QPoint corner1, QPoint corner2, const Pen &pen) override;

    void replay(DeviceContext &dc) const;
    void clear() { items_.clear(); }
    const std::vector<Item> &items() const { return items_; }
    std::function<void()> changed; // told after every recorded item

private:
    void add(Item item);
    std::vector<Item> items_;
};

} // namespace platform::imaging
