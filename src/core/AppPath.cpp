#include "core/AppPath.h"

#include "platform/files/AtomicFile.h"

#include <QCoreApplication>
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

void seedFrom(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (QFileInfo::exists(dst))
            continue;
        QDir().mkpath(QFileInfo(dst).path());
        // A copy cut by a full disk would be taken for the user's own file on the next start.
        QFile in(src);
        if (in.open(QIODevice::ReadOnly) && platform::writeFileAtomically(dst, in.readAll()))
            QFile(dst).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                      | QFileDevice::ReadOther);
    }
}

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
        seedFrom(installed, home);
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
