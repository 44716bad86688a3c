// Printing through a real CUPS server to a cups-pdf queue (scripts/start-print-server sets
// it up; without it the test says so and skips).
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "platform/Rounding.h"
#include "platform/print/PrintLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QFileInfo>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

using mainwindowtest::MainWindowTest;
using mainwindowtest::pdfPage;

namespace {
// Where cups-pdf puts this account's documents, found as cups-pdf finds it (and as
// scripts/start-print-server prints it into PELMORA_CUPS_PDF_DIR): the first Out setting of its
// configuration, else its built-in folder, with ${HOME} and ${USER} of the job's user from the
// password database. The environment's HOME plays no part.
QString cupsPdfFolder()
{
    const QString env = qEnvironmentVariable("PELMORA_CUPS_PDF_DIR");
    if (!env.isEmpty() && !env.contains(u'$'))
        return env;
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    const QList<QByteArray> lines = conf.open(QIODevice::ReadOnly) ? conf.readAll().split('\n') : QList<QByteArray>();
    for (const QByteArray &line : lines) {
        if (line.startsWith("Out") && line.size() > 3 && (line[3] == ' ' || line[3] == '\t')) {
            out = QString::fromLocal8Bit(line.sliced(3).trimmed());
            break;
        }
    }
    if (const passwd *user = getpwuid(getuid())) {
        out.replace(QStringLiteral("${HOME}"), QFile::decodeName(user->pw_dir));
        out.replace(QStringLiteral("${USER}"), QString::fromLocal8Bit(user->pw_name));
    }
    return out;
}
} // namespace

TEST_F(MainWindowTest, BothCdSidesReachARealCupsQueue)
{
    if (!QPrinterInfo::availablePrinterNames().contains("PelmoraPDF"))
        GTEST_SKIP() << "no CUPS queue PelmoraPDF (scripts/start-print-server starts one)";
    platform::Seam<platform::PrintLibrary>::install(platform::makeQtPrintLibrary());
    const int position = int(QPrinterInfo::availablePrinterNames().indexOf("PelmoraPDF"));
    options("PRINTERNAME=PelmoraPDF\r\nPRINTERID=" + QByteArray::number(position)
            + "\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    QImage red(300, 300, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    igxBackup[0]->setQImage(red, platform::kNoUndo);

    const QDir folder(cupsPdfFolder());
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    w.cmdPrint_Click(2);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    QString arrived;
    for (int i = 0; i < 120 && arrived.isEmpty(); ++i) {
        QTest::qWait(250);
        for (const QFileInfo &f : folder.entryInfoList({"*.pdf"}, QDir::Files, QDir::Time))
            if (f.lastModified() >= started && f.size() > 0)
                arrived = f.absoluteFilePath();
    }
    platform::Seam<platform::PrintLibrary>::reset();
    ASSERT_FALSE(arrived.isEmpty()) << "no document arrived in " << folder.path().toStdString();
    const QImage page = pdfPage(arrived, {"-r", "100"});
    ASSERT_FALSE(page.isNull());
    EXPECT_LT(page.width(), page.height());
    const QColor c(page.pixel(roundToInt(4.5 / 2.54 * 100) + 5, roundToInt(1.5 / 2.54 * 100) + 5));
    EXPECT_GT(c.red(), 180);
    EXPECT_LT(c.green(), 90);
    QFile::remove(arrived);
}
