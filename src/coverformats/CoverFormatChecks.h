#pragma once
// The checks the cover-format editor makes when the user leaves a field: each gives the key of
// its message (the language text "ERRORS." + key), "" when the text passes. A name that passes
// and lengths that pass go into a cover-format record as they stand.
#include <QString>
#include <optional>

inline constexpr int kMaxCoverNameLength = 30;

// A name: not blank, at most kMaxCoverNameLength characters ("ERR_COVER_NAME"), without the
// record's field separator ";" or a line break ("ERR_INVALID").
QString coverNameRejection(const QString &name);

// A length as the user types it: a number of the user's format within single precision.
std::optional<double> readCoverLength(const QString &text);

enum class CoverLengthField { Height, Width, LeftOffset, TopOffset, Crease };

// A length field's text: height and width above 0, offsets and creases at least 0, else
// "ERR_NO_NUMBER"; a width below a crease, or a crease beyond the width, "ERR_BORDER_SIZE". The
// width and the crease fields are given as they stand (an empty crease counts as 0).
QString coverLengthRejection(CoverLengthField field, const QString &text, const QString &widthText,
                             const QString &crease1Text, const QString &crease2Text);
