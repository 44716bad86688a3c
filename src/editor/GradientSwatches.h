#pragma once
// The two colour swatches of the gradient dialogs (new background, text gradient): each label
// holds its colour (0x00BBGGRR) and shows it; in rainbow mode both are greyed with the button
// face colour and the colours chosen before are remembered for when it is left.
#include <cstdint>

class QLabel;
class QWidget;

namespace gradientswatches {

// The system button-face colour a greyed swatch holds.
inline constexpr std::uint32_t kButtonFace = 0x8000000F;

std::uint32_t color(const QLabel *swatch);
void setColor(QLabel *swatch, std::uint32_t color);
// Greys both swatches and disables the swap button, remembering the colours they showed; or
// shows the remembered colours again and enables the swap.
void setRainbow(QLabel *color1, QLabel *color2, QWidget *swap, bool rainbow, std::uint32_t &remembered1,
                std::uint32_t &remembered2);
void swapColors(QLabel *color1, QLabel *color2);

} // namespace gradientswatches
