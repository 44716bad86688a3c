#include "platform/files/TemporaryFiles.h"

#include "platform/files/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace platform {

namespace {

const QStringList &scratchPrefixes()
{
    static const QStringList prefixes = {QStringLiteral("pelmora-metafile-"), QStringLiteral("pelmora-download-")};
    return prefixes;
}

bool isStale(const QFileInfo &entry, const QDateTime &cutOff)
{
    return !entry.isSymLink() && entry.lastModified() < cutOff;
}

} // namespace

QString scratchFolderTemplate(ScratchKind kind)
{
    return QDir::tempPath() + u'/' + scratchPrefixes().at(kind == ScratchKind::Metafile ? 0 : 1)
           + QStringLiteral("XXXXXX");
}

int removeStaleTemporaries(const QStringList &saveFolders, qint64 minAgeSeconds)
{
    const QDateTime cutOff = QDateTime::currentDateTimeUtc().addSecs(-minAgeSeconds);
    int removed = 0;

    QStringList nameFilters;
    for (const QString &prefix : scratchPrefixes())
        nameFilters << prefix + u'*';
    const QDir temp(QDir::tempPath());
    for (const QFileInfo &entry : temp.entryInfoList(nameFilters, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)) {
        if (entry.isDir() && entry.ownerId() == ::geteuid() && isStale(entry, cutOff) && QDir(entry.absoluteFilePath()).removeRecursively())
            ++removed;
    }

    const QStringList saveFilters = {AtomicFile::temporaryPrefix() + u'*'};
    QStringList seen;
    for (const QString &folder : saveFolders) {
        if (folder.isEmpty())
            continue;
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen << canonical;
        const QDir dir(canonical);
        for (const QFileInfo &entry : dir.entryInfoList(saveFilters, QDir::Files | QDir::Hidden | QDir::System)) {
            if (entry.isFile() && isStale(entry, cutOff) && QFile::remove(entry.absoluteFilePath()))
                ++removed;
        }
    }
    return removed;
}

} // namespace platform
