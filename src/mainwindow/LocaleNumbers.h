#pragma once
// Numbers as the user types and reads them in the size and offset fields: the decimal sign
// of the user's locale (gStrDecimalSeparator) and its digit grouping. Data files keep ","
// whatever the locale (core/Numbers.h).
#include <QString>
#include <optional>

// The digit grouping sign of the user's locale; never the decimal sign.
QString userGroupSeparator();
// A number typed by the user: blanks around it, a sign, the grouping sign where the locale
// writes it (before every group of three digits of the whole part), the decimal sign, an
// exponent. Nothing for an empty text, a grouping sign anywhere else ("1,5" where "." is the
// decimal sign) or anything else.
std::optional<double> parseUserNumber(const QString &text);
bool isUserNumeric(const QString &text);
// The number a text begins with, read as parseUserNumber reads one: the longest beginning of
// it (after blanks, of at most 64 characters) that is a number; nothing when none is.
std::optional<double> leadingUserNumber(const QString &text);
// The shortest text of a number with the user's decimal sign and no grouping (12,5 or 12.5).
QString formatUserNumber(double value);
