#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>

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

Session::Session(int &argc, char **argv, const char *usage, int minArguments, int maxArguments)
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
    m_app = std::make_unique<QApplication>(argc, argv);
    if (!seedProgramFolder(m_home, argument(1)))
        m_exitCode = 1;
}

Session::~Session() = default;

bool Session::writeOptions(const QByteArray &text) const
{
    QFile options(home() + QStringLiteral("/data/pelmora.dat"));
    return options.open(QIODevice::WriteOnly | QIODevice::Truncate) && options.write(text) == text.size();
}

void settle()
{
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

QImage framed(QWidget &w)
{
    const QImage inside = w.grab().toImage();
    QImage out(inside.width() + 2, inside.height() + 24, QImage::Format_ARGB32);
    out.fill(QColor(90, 90, 90));
    QPainter p(&out);
    p.fillRect(1, 1, inside.width(), 22, QColor(60, 90, 150));
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
    p.drawText(QRect(8, 1, inside.width() - 8, 22), Qt::AlignVCenter | Qt::AlignLeft, w.windowTitle());
    p.drawImage(1, 23, inside);
    return out;
}

} // namespace screenshot
