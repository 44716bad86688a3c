#pragma once
// The canvas control: a widget that shows an image object at a zoom and lets the program
// draw over it. Mouse, key and paint events come in canvas pixels (the widget's own pixels);
// the paint event hands out a device context that paints now, and drawing on hdc() outside
// a paint event is kept in an overlay that the next refresh() clears.
#include "platform/imaging/DeviceContext.h"
#include "platform/imaging/ImgxImage.h"

#include <QWidget>

namespace platform {

class ImgxCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kUndoLevels = 15;

    explicit ImgxCanvas(QWidget *parent = nullptr);

    // The image shown. A new image brings its own (empty) undo history.
    const ImgxImagePtr &image() const { return image_; }
    void setImage(ImgxImagePtr image);

    // 1.0 shows image pixels; with auto zoom the image is fitted into the widget.
    double zoom() const;
    void setZoom(double zoom);
    bool autoZoom() const { return autoZoom_; }
    void setAutoZoom(bool on);

    // The colour shown where the image is transparent or does not reach (white at first).
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor &color);

    bool redraw() const { return redraw_; }
    void setRedraw(bool on);
    // Repaints image and objects; what was drawn on hdc() is gone.
    void refresh();
    // One step back in the image's undo buffer.
    void undoStep();

    imaging::DeviceContext &hdc() { return overlay_; }
    const imaging::RecordingContext &overlay() const { return overlay_; }

    // Renders what the widget shows (image, painted objects, overlay) into an image.
    QImage renderToImage();

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void doubleClicked();
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Emitted while painting, after the image and before the overlay: what belongs on the
    // canvas at all times (objects, fold lines) is drawn on hdc.
    void paint(platform::imaging::DeviceContext &hdc);
    // Files dropped at a point of the canvas.
    void filesDropped(const QStringList &paths, int x, int y);
    void textDropped(const QString &text);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void paintInto(QPainter &p);

    ImgxImagePtr image_;
    double zoom_ = 1.0;
    QColor backColor_ = Qt::white;
    bool autoZoom_ = false;
    bool redraw_ = true;
    imaging::RecordingContext overlay_;
    // The image as last drawn at the zoom, and the image state it was made from.
    QImage zoomed_;
    qint64 zoomedKey_ = 0;
};

} // namespace platform
