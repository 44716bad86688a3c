#include "mainwindow/frmPrinterOptions.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/frmPelmora.h"
#include "platform/print/PrintLibrary.h"
#include "ui_frmPrinterOptions.h"

#include <QCloseEvent>

frmPrinterOptions::frmPrinterOptions(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmPrinterOptions>())
{
    ui->setupUi(this);
    lstPrinter = ui->lstPrinter;
    optColor = {ui->optColor_0, ui->optColor_1};
    optQuality = {ui->optQuality_0};
    for (int i = 0; i < 2; ++i)
        connect(optColor[size_t(i)], &QRadioButton::clicked, this, [i] { gBytePrintColor = std::uint8_t(i); });
    connect(optQuality[0], &QRadioButton::clicked, this, [] { gIntPrintQuality = 0; });
    connect(ui->cmdPrint, &QPushButton::clicked, this, &frmPrinterOptions::cmdPrint_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmPrinterOptions::cmdCancel_Click);
    Form_Load();
    // The list's clicks are the user's from here on.
    connect(lstPrinter, &QListWidget::currentRowChanged, this, [this] { lstPrinter_Click(); });
}

frmPrinterOptions::~frmPrinterOptions() = default;

void frmPrinterOptions::Form_Load()
{
    setFormTopmost(frmPelmora::instance(), false, true);
    changeLanguage(this);
    if (gIntPrintQuality >= 0 && gIntPrintQuality < int(optQuality.size()))
        optQuality[size_t(gIntPrintQuality)]->setChecked(true);
    if (gBytePrintColor < optColor.size())
        optColor[gBytePrintColor]->setChecked(true);
    try {
        platform::PrintLibrary &lib = platform::PrintLibrary::get();
        const QStringList names = lib.printerNames();
        if (names.isEmpty())
            throw AppError(ErrNo::FileNotFound);
        const int current = lib.currentPrinter();
        for (int i = 0; i < names.size(); ++i) {
            lstPrinter->addItem(names[i]);
            if (gIntPrintPrinterIndex == -1 && i == std::max(0, current)) {
                lstPrinter->setCurrentRow(i);
                lstPrinter_Click();
            }
        }
        if (gIntPrintPrinterIndex >= 0 && gIntPrintPrinterIndex < names.size())
            lstPrinter->setCurrentRow(gIntPrintPrinterIndex);
    } catch (...) {
        lstPrinter->insertItem(0, gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_NO_PRINTER"),
                                                             QStringLiteral("No Printer available")));
    }
}

void frmPrinterOptions::lstPrinter_Click()
{
    try {
        platform::PrintLibrary &lib = platform::PrintLibrary::get();
        const int row = lstPrinter->currentRow();
        const QStringList names = lib.printerNames();
        if (row < 0 || row >= names.size())
            throw AppError(ErrNo::SubscriptOutOfRange);
        lib.setCurrentPrinter(row);
        gIntPrintPrinterIndex = std::int16_t(row);
        gStrPrintPrinterName = names[row];
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINTER_NOT_CHOOSEABLE"), QStringLiteral("frmPrinterOptions.lstPrinter_Click"));
    }
}

void frmPrinterOptions::cmdPrint_Click()
{
    gIntPrintDialogResult = 1;
    close();
}

void frmPrinterOptions::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    restoreMainFormTopmost(frmPelmora::instance());
    if (gIntPrintDialogResult != 1)
        gIntPrintDialogResult = 0;
}

void frmPrinterOptions::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    QDialog::closeEvent(e);
}

void frmPrinterOptions::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}
