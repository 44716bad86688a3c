#pragma once
// Where a module of the program lies: beside the program in the build, in lib/pelmora/ beside
// bin/ when installed. A module is a part the program loads only when first needed, so that it
// starts without the libraries behind it.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
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

// The function symbol of the module file, loaded on the first call and kept loaded (QLibrary
// unloads only when asked); null where the module or the symbol is missing, with the loader's
// reason in error.
template <typename Function>
Function *programModuleFunction(const QString &file, const char *symbol, QString *error = nullptr)
{
    QLibrary module(programModulePath(file));
    const QFunctionPointer f = module.load() ? module.resolve(symbol) : nullptr;
    if (!f && error)
        *error = module.errorString();
    return reinterpret_cast<Function *>(f);
}

} // namespace platform
