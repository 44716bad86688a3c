#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>

#include <cstdio>

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

Session::Session(int &argc, char **argv, const char *usage, int minArguments, int maxArguments,
                 const std::function<void()> &beforeApplication)
{
    if (argc - 1 < minArguments || argc - 1 > maxArguments) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        m_exitCode = 2;
        return;
    }
    for (int i = 0; i < argc; ++i)
        m_arguments << QString::fromLocal8Bit(argv[i]);
    if (!makeProgramFolder(m_home)) {
        m_exitCode = 1;
        return;
    }
    if (beforeApplication)
        beforeApplication();
    m_app = std::make_unique<QApplication>(argc, argv);
    if (!seedProgramFolder(m_home, argument(1)))
        m_exitCode = 1;
}

Session::~Session() = default;

void settle()
{
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

} // namespace screenshot
