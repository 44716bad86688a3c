#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>

namespace screenshot {

namespace {

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString &f : source.entryList(QDir::Files))
        if (!QFile::copy(source.filePath(f), to + u'/' + f))
            return false;
    return true;
}

} // namespace

bool makeProgramFolder(QTemporaryDir &home)
{
    if (!home.isValid())
        return false;
    qputenv("PELMORA_HOME", home.path().toUtf8());
    return true;
}

bool seedProgramFolder(const QTemporaryDir &home, const QString &resources)
{
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    return copyFolder(resources + QStringLiteral("/data"), home.path() + QStringLiteral("/data"))
        && copyFolder(resources + QStringLiteral("/language"), home.path() + QStringLiteral("/language"));
}

void settle()
{
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

} // namespace screenshot
