#pragma once
// Numbers as the program stores and converts them, independent of the C locale.
//
// Data files write decimals with ","; reading accepts "," or "." as the decimal sign and no
// grouping, so a file reads the same on every machine. Conversions to integers round halves
// to the even neighbour and raise AppError on text that is no number (13) or out of range (6).
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/Rounding.h" // roundHalfEven, roundToInt

// A whole decimal number: optional blanks, sign, digits with one "," or "." decimal sign,
// optional exponent. Nothing for anything else, including out-of-range values ("1e400").
std::optional<double> parseDataNumber(const QString &text);
bool isNumericText(const QString &text);

// The shortest text that reads back as the same double, with "," as decimal sign.
QString formatDataNumber(double value);

// Conversions of text or doubles to the program's integer types.
std::uint8_t toByte(const QString &text);     // 0..255
std::int16_t toInt16(const QString &text);    // -32768..32767
std::int32_t toInt32(const QString &text);
double toDouble(const QString &text);         // raises 13 when not numeric
std::int32_t toInt32(double value);
std::int16_t toInt16(double value);
