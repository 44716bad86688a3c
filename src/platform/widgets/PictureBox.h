#pragma once
// The picture box: a widget that shows one picture from its top-left corner, sized in
// twips, with a drawing surface over the picture. What the program draws on hdc() outside
// a paint event is kept as an overlay that the next refresh() clears; the paint signal lets
// the owner draw during a paint. Clicks and drops of files, addresses and text are signalled.
#include "platform/imaging/DeviceContext.h"

#include <QImage>
#include <QWidget>

class QMimeData;

class PictureBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double WidthTwips READ widthTwips WRITE setWidthTwips)
    Q_PROPERTY(double HeightTwips READ heightTwips WRITE setHeightTwips)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &picture() const;
    void setPicture(const QImage &picture);
    // Paints the picture stretched over the whole box; the stretched painting becomes the
    // picture. The stretch is made when the picture is next painted or asked for, so that a
    // picture replaced before that is never stretched.
    void stretchPicture();

    // The size in twips; the widget takes the nearest whole pixels of the screen's scale.
    double widthTwips() const;
    double heightTwips() const;
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    // The position in twips within the parent.
    double leftTwips() const;
    double topTwips() const;

    platform::imaging::DeviceContext &hdc() { return overlay_; }
    const platform::imaging::RecordingContext &overlay() const { return overlay_; }
    // Repaints the picture; what was drawn on hdc() is gone.
    void refresh();

signals:
    void clicked();
    // Emitted while painting, after the picture and before the overlay.
    void paint(platform::imaging::DeviceContext &hdc);
    // Data dropped on the box with the action the drop was made with.
    void dropped(const QMimeData &data, Qt::DropAction action);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    static Qt::DropAction preferredAction(const QMimeData *data, Qt::DropActions offered);

    // Makes the stretch asked for and not made yet.
    void makeStretch() const;

    mutable QImage picture_;
    mutable QSize stretchTo_; // the size of a stretch not made yet; empty when none is owed
    double widthTwips_ = -1;  // -1: follow the widget's pixels
    double heightTwips_ = -1;
    bool pressed_ = false;
    platform::imaging::RecordingContext overlay_;
};
