#include "core/AppPath.h"

#include "platform/files/AtomicFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &cachedPath()
{
    static QString p;
    return p;
}

QString exeDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray hashOf(const QByteArray &bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

// A copy cut by a full disk would be taken for the user's own file on the next start, hence
// the atomic write.
bool copyInto(const QString &dst, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(dst).path());
    if (!platform::writeFileAtomically(dst, bytes))
        return false;
    QFile(dst).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                              | QFileDevice::ReadOther);
    return true;
}

const QString kSeedRecord = QStringLiteral("/.seeded");

// "<hash> <relative path>" per line: what the installation put into the user's folder.
QHash<QString, QByteArray> readSeedRecord(const QString &home)
{
    QHash<QString, QByteArray> record;
    for (const QByteArray &line : readAll(home + kSeedRecord).split('\n')) {
        const int space = line.indexOf(' ');
        if (space > 0)
            record.insert(QString::fromUtf8(line.mid(space + 1)), line.left(space));
    }
    return record;
}

} // namespace

void seedProgramFolder(const QString &installed, const QString &home)
{
    // The options, cover formats, favourites and history are the user's: data/ is filled once,
    // when the folder has none yet, and never touched again.
    const bool seedData = !QFileInfo(home + QStringLiteral("/data")).isDir();
    QHash<QString, QByteArray> record = readSeedRecord(home);
    bool recordChanged = false;
    QDirIterator it(installed, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString relative = src.mid(installed.size() + 1);
        const QString dst = home + u'/' + relative;
        const bool exists = QFileInfo::exists(dst);
        if (relative.startsWith(QStringLiteral("data/"))) {
            if (seedData && !exists)
                copyInto(dst, readAll(src));
            continue;
        }
        const QByteArray bytes = readAll(src);
        const QByteArray hash = hashOf(bytes);
        const auto seeded = record.constFind(relative);
        if (seeded != record.constEnd() && *seeded == hash)
            continue;
        // Missing, or unchanged since an earlier installation put it there: the new one goes in.
        // A file the user wrote or edited stays as it is.
        const QByteArray current = exists ? hashOf(readAll(dst)) : QByteArray();
        const bool ours = !exists || current == hash || (seeded != record.constEnd() && current == *seeded);
        if (!ours)
            continue;
        if (current != hash && !copyInto(dst, bytes))
            continue;
        record.insert(relative, hash);
        recordChanged = true;
    }
    if (!recordChanged)
        return;
    QByteArray text;
    QStringList names = record.keys();
    names.sort();
    for (const QString &name : names)
        text += record.value(name) + ' ' + name.toUtf8() + '\n';
    platform::writeFileAtomically(home + kSeedRecord, text);
}

namespace {

QString resolve()
{
    const QString env = qEnvironmentVariable("PELMORA_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    const QString exe = exeDir();
    if (QFileInfo(exe + QStringLiteral("/language")).isDir())
        return exe;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString home = data + QStringLiteral("/pelmora");
    const QString installed = QDir::cleanPath(exe + QStringLiteral("/../share/pelmora"));
    if (QFileInfo(installed).isDir())
        seedProgramFolder(installed, home);
    QDir().mkpath(home + QStringLiteral("/data"));
    return home;
}

} // namespace

QString appPath()
{
    QString &p = cachedPath();
    if (p.isEmpty())
        p = resolve();
    return p;
}

QString appExeName() { return QStringLiteral("pelmora"); }

void setAppPathForTests(const QString &path) { cachedPath() = path; }
