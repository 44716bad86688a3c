#include "tracklists/Playlists.h"

#include "core/mdlUtil.h"
#include "platform/ini/TextCodec.h"

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

QStringList splitTextLines(QByteArrayView bytes)
{
    QString text = platform::TextCodec::decodeAuto(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList m3uEntries(const QStringList &lines)
{
    QStringList entries;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.trimmed().compare(QStringLiteral("[playlist]"), Qt::CaseInsensitive) == 0)
            return {}; // PLS text
        break;
    }
    for (const QString &line : lines) {
        if (!namesMp3(line))
            continue;
        if (line.contains(u'#') && (line.contains(QStringLiteral("#EXTM3U"), Qt::CaseInsensitive) ||
                                    line.contains(QStringLiteral("#EXTINF"), Qt::CaseInsensitive)))
            continue;
        entries.append(line);
    }
    return entries;
}

QStringList plsEntries(const QStringList &lines)
{
    QStringList entries;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !QStringView(line).first(eq).trimmed().startsWith(QStringLiteral("File"), Qt::CaseInsensitive))
            continue;
        if (namesMp3(line))
            entries.append(line.mid(eq + 1));
    }
    return entries;
}

QStringList playlistEntries(const QStringList &lines, const QString &extension)
{
    if (extension == QStringLiteral("m3u"))
        return m3uEntries(lines);
    if (extension == QStringLiteral("pls"))
        return plsEntries(lines);
    return {};
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
