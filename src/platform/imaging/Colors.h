#pragma once
// Colours are stored and passed as 0x00BBGGRR values (red in the low byte); they become
// QColor only where pixels are made.
#include <QColor>
#include <cstdint>

namespace platform::imaging {

inline QColor fromColorRef(std::uint32_t ref, int alpha = 255)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF), alpha);
}

inline QRgb rgbaFromColorRef(std::uint32_t ref, int alpha = 255)
{
    return qRgba(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF), alpha);
}

inline std::uint32_t toColorRef(const QColor &c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

} // namespace platform::imaging
