#include "tracklists/mdlMp3.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "platform/TrackTime.h"
#include "platform/audio/Mp3Length.h"
#include "tracklists/clsID3v1Tag.h"

QString getMp3Caption(const QString &path, const QString &field1, const QString &sep1, const QString &field2,
                      const QString &sep2, const QString &field3, const QString &sep3)
{
    clsID3v1Tag tag;
    tag.setFilename(path);
    float version = 0;
    if (!tag.ReadTag(version))
        return getErrorText(QStringLiteral("ERR_NOID3"), QStringLiteral("ERROR"));
    return getMp3Field(field1, tag, path) + sep1 + getMp3Field(field2, tag, path) + sep2 +
           getMp3Field(field3, tag, path) + sep3;
}

QString getMp3Field(const QString &fieldName, const clsID3v1Tag &tag, const QString &path)
{
    if (fieldName == gStrMp3Title)
        return tag.Title().trimmed();
    if (fieldName == gStrMp3Artist)
        return tag.Artist().trimmed();
    if (fieldName == gStrMp3Duration)
        return formatDuration(GetMP3Length(path));
    return QString();
}

std::int64_t GetMP3Length(const QString &path)
{
    try {
        return platform::Mp3Length::get().playLengthMs(path);
    } catch (const platform::Mp3LibraryError &e) {
        showError(getErrorText(QStringLiteral("ERR_GETMP3_LENGTH"), QStringLiteral("ERROR")), 16,
                  QStringLiteral("mdlMp3.GetMP3Length"), QString::fromLocal8Bit(e.what()), 5);
        return 0;
    }
}

QString formatDuration(std::int64_t milliseconds) { return platform::formatTrackTime(milliseconds); }

int getMaxTabPosition(const QStringList &lines)
{
    qsizetype max = 0;
    for (const QString &line : lines)
        max = std::max(max, line.indexOf(u'\t') + 1);
    return int(max);
}

void alignTabColumns(QStringList &lines)
{
    if (lines.size() < 2 || !lines.first().contains(u'\t'))
        return;
    const int max = getMaxTabPosition(lines);
    for (QString &line : lines) {
        const qsizetype pos = line.indexOf(u'\t') + 1;
        if (pos > 0)
            line.replace(u'\t', QString(max - pos + 1, u' '));
    }
}
