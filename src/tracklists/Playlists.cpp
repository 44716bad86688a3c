#include "tracklists/Playlists.h"

#include "core/mdlUtil.h"

#include <QDir>
#include <QUrl>

namespace {

bool isAddress(const QString &entry)
{
    // scheme "://": a letter, then letters, digits, "+", "-" or ".".
    const qsizetype colon = entry.indexOf(QStringLiteral("://"));
    if (colon < 1 || !entry[0].isLetter() || entry[0].unicode() > 0x7F)
        return false;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = entry[i];
        if (c.unicode() > 0x7F || !(c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.'))
            return false;
    }
    return true;
}

// The lower-case extension is "mp3".
bool namesMp3(QStringView entry) { return entry.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive); }

bool isDriveLetterPath(const QString &entry)
{
    return entry.size() >= 2 && entry[1] == u':' && entry[0].unicode() < 0x80 && entry[0].isLetter();
}

} // namespace

PlaylistEntryFilter::PlaylistEntryFilter(const QString &extension)
    : kind_(extension == QStringLiteral("m3u") ? Kind::M3u : extension == QStringLiteral("pls") ? Kind::Pls : Kind::None)
{
}

std::optional<QString> PlaylistEntryFilter::entry(const QString &line)
{
    if (kind_ == Kind::M3u) {
        // PLS text (a first line "[playlist]") holds no M3U entries.
        if (!sawText_ && !line.trimmed().isEmpty()) {
            sawText_ = true;
            if (line.trimmed().compare(QStringLiteral("[playlist]"), Qt::CaseInsensitive) == 0)
                kind_ = Kind::None;
        }
        if (kind_ != Kind::M3u || !namesMp3(line))
            return std::nullopt;
        if (line.contains(u'#') && (line.contains(QStringLiteral("#EXTM3U"), Qt::CaseInsensitive) ||
                                    line.contains(QStringLiteral("#EXTINF"), Qt::CaseInsensitive)))
            return std::nullopt;
        return line;
    }
    if (kind_ == Kind::Pls) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !QStringView(line).first(eq).trimmed().startsWith(QStringLiteral("File"), Qt::CaseInsensitive))
            return std::nullopt;
        if (namesMp3(line))
            return line.mid(eq + 1);
    }
    return std::nullopt;
}

QString localPathOfEntry(const QString &entry, const QString &playlistFolder)
{
    if (entry.startsWith(QStringLiteral("file://"), Qt::CaseInsensitive)) {
        const QUrl url(entry);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    if (isAddress(entry) || isDriveLetterPath(entry))
        return QString();
    QString path = entry;
    path.replace(u'\\', u'/');
    if (path.isEmpty())
        return QString();
    if (QDir::isRelativePath(path))
        path = addBackslash(playlistFolder) + path;
    return path;
}
