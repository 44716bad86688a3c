#include "editor/GradientSwatches.h"

#include "platform/imaging/Colors.h"

#include <QApplication>
#include <QLabel>
#include <QVariant>

namespace gradientswatches {

namespace {
const char *const kColorProperty = "swatchColor";
}

std::uint32_t color(const QLabel *swatch) { return swatch->property(kColorProperty).value<std::uint32_t>(); }

void setColor(QLabel *swatch, std::uint32_t color)
{
    swatch->setProperty(kColorProperty, QVariant::fromValue(color));
    // The application's button colour: the label's own palette follows its style sheet, which
    // holds the colour shown before.
    const QColor shown = color == kButtonFace ? QApplication::palette().color(QPalette::Button)
                                              : platform::imaging::fromColorRef(color);
    swatch->setAutoFillBackground(true);
    swatch->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #808080;").arg(shown.name()));
}

void setRainbow(QLabel *color1, QLabel *color2, QWidget *swap, bool rainbow, std::uint32_t &remembered1,
                std::uint32_t &remembered2)
{
    if (rainbow) {
        // A swatch already greyed holds no colour worth remembering.
        if (color(color1) != kButtonFace)
            remembered1 = color(color1);
        if (color(color2) != kButtonFace)
            remembered2 = color(color2);
        setColor(color1, kButtonFace);
        setColor(color2, kButtonFace);
    } else {
        setColor(color1, remembered1);
        setColor(color2, remembered2);
    }
    swap->setEnabled(!rainbow);
}

void swapColors(QLabel *color1, QLabel *color2)
{
    const std::uint32_t c1 = color(color1);
    setColor(color1, color(color2));
    setColor(color2, c1);
}

} // namespace gradientswatches
