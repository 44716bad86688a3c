#pragma once
// A play length as the track lists write it.
#include <QString>

namespace platform {

// Minutes "00" and seconds "00" joined by ":"; minutes above 99 with all their digits.
QString formatTrackTime(qint64 milliseconds);

} // namespace platform
