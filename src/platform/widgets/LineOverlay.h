#pragma once
// A see-through layer over a window's contents on which the program draws lines (the fold
// ticks above the previews). Clicks pass through; clear() takes the lines away.
#include "platform/imaging/DeviceContext.h"

#include <QWidget>

class LineOverlay : public QWidget {
    Q_OBJECT
public:
    explicit LineOverlay(QWidget *parent);

    platform::imaging::DeviceContext &hdc() { return lines_; }
    const platform::imaging::RecordingContext &lines() const { return lines_; }
    void clear();

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    platform::imaging::RecordingContext lines_;
};
