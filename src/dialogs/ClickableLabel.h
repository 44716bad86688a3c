#pragma once
// A label that reacts to a click: the colour swatches, the folder pickers, the links and the
// logo of the dialogs. A swatch shows its colour (0x00BBGGRR) as its background.
#include <QLabel>
#include <QMouseEvent>
#include <cstdint>

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    std::uint32_t color() const { return color_; }
    void setColor(std::uint32_t bgr)
    {
        color_ = bgr;
        const QColor c(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
        setAutoFillBackground(true);
        setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #808080;").arg(c.name()));
    }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && isEnabled() && rect().contains(e->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(e);
    }

private:
    std::uint32_t color_ = 0;
};
