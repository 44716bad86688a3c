#include "platform/TrackTime.h"

namespace platform {

QString formatTrackTime(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    const qint64 minutes = seconds / 60;
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds - 60 * minutes, 2, 10, QLatin1Char('0'));
}

} // namespace platform
