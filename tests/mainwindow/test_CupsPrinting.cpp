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
// The real print library, whose documents carry a title of this test's own: cups-pdf names
// each document after its job's title, so the test finds its own among those that other
// programs print to the same queue meanwhile.
class TitledPrintLibrary final : public platform::PrintLibrary {
public:
    explicit TitledPrintLibrary(QString title) : title_(std::move(title)) {}
    QStringList printerNames() override { return real_->printerNames(); }
    QString defaultPrinterName() override { return real_->defaultPrinterName(); }
    int currentPrinter() const override { return real_->currentPrinter(); }
    void setCurrentPrinter(int index) override { real_->setCurrentPrinter(index); }
    void setQuality(int quality) override { real_->setQuality(quality); }
    void setColor(bool color) override { real_->setColor(color); }
    void setOrientation(int orientation) override { real_->setOrientation(orientation); }
    int orientation() const override { return real_->orientation(); }
    QSizeF paperSizeMm(int orientation) override { return real_->paperSizeMm(orientation); }
    bool showPrinterDialog(QWidget *owner) override { return real_->showPrinterDialog(owner); }
    bool startDoc(const QString &) override { return real_->startDoc(title_); }
    void startPage() override { real_->startPage(); }
    void endPage() override { real_->endPage(); }
    void endDoc() override { real_->endDoc(); }
    void abortDoc() override { real_->abortDoc(); }
    bool inDocument() const override { return real_->inDocument(); }
    platform::imaging::DeviceContext &hdc() override { return real_->hdc(); }
    int dpiX() const override { return real_->dpiX(); }
    int dpiY() const override { return real_->dpiY(); }
    int physicalOffsetX() const override { return real_->physicalOffsetX(); }
    int physicalOffsetY() const override { return real_->physicalOffsetY(); }

private:
    std::unique_ptr<platform::PrintLibrary> real_ = platform::makeQtPrintLibrary();
    QString title_;
};

} // namespace

TEST_F(MainWindowTest, BothCdSidesReachARealCupsQueue)
{
    if (!QPrinterInfo::availablePrinterNames().contains("PelmoraPDF"))
        GTEST_SKIP() << "no CUPS queue PelmoraPDF (scripts/start-print-server starts one)";
    // Letters and digits only, which cups-pdf keeps in the file's name as they are.
    const QString title = QStringLiteral("PelmoraTest%1x%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch());
    platform::Seam<platform::PrintLibrary>::install(std::make_unique<TitledPrintLibrary>(title));
    const int position = int(QPrinterInfo::availablePrinterNames().indexOf("PelmoraPDF"));
    options("PRINTERNAME=PelmoraPDF\r\nPRINTERID=" + QByteArray::number(position)
            + "\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    QImage red(300, 300, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    igxBackup[0]->setQImage(red, platform::kNoUndo);

    const QDir folder(cupsPdfFolder());
    w.cmdPrint_Click(2);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    // The document of our job, once cups-pdf has written it whole (its size stays put).
    QString arrived;
    qint64 lastSize = -1;
    for (int i = 0; i < 120 && arrived.isEmpty(); ++i) {
        QTest::qWait(250);
        const QFileInfoList ours = folder.entryInfoList({"*" + title + "*.pdf"}, QDir::Files);
        if (ours.size() > 1)
            FAIL() << "more than one document of the job " << title.toStdString();
        if (ours.isEmpty())
            continue;
        if (ours[0].size() > 0 && ours[0].size() == lastSize)
            arrived = ours[0].absoluteFilePath();
        lastSize = ours[0].size();
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
