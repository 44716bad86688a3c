#pragma once
// Where a module of the program lies: beside the program in the build, in lib/pelmora/ beside
// bin/ when installed. A module is a part the program loads only when first needed, so that it
// starts without the libraries behind it.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace platform {

inline QString programModulePath(const QString &file)
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {programDir.filePath(file), programDir.filePath(QStringLiteral("../lib/pelmora/") + file)})
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    return programDir.filePath(file);
}

} // namespace platform
