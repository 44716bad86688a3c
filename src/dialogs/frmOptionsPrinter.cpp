// The printer page of the options: printing with presets, the printer and its colour and
// quality.
#include "dialogs/frmOptions.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/OptionsControls.h"
#include "mainwindow/clsPrinter.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using optionspages::named;

namespace {

QString noPrinterText()
{
    return getErrorText(QStringLiteral("ERR_NO_PRINTER_SELECTED"), QStringLiteral("No printer selected as default."));
}

// What the printer box shows while no entry of it is chosen: the prompt to choose one, or,
// while the options name no printer, the printer that printing will use: the system's default
// printer, or its first one where it has none.
QString printerPromptText()
{
    clsEnvAll &language = gObjLanguageStore();
    if (!namesNoPrinter(gStrPrinterName))
        return language.getVar(QStringLiteral("MESSAGES.MSG_SELECT_PRINTER"), QStringLiteral("Please choose a printer"));
    QString name;
    bool isDefault = true;
    try {
        platform::PrintLibrary &library = platform::PrintLibrary::get();
        name = systemPrinterName(library);
        isDefault = name == library.defaultPrinterName();
    } catch (...) {
    }
    QString text = isDefault
                       ? language.getVar(QStringLiteral("MESSAGES.MSG_SYSTEM_PRINTER"),
                                         QStringLiteral("The system's default printer (@printer@)"))
                       : language.getVar(QStringLiteral("frmOptions.OTHERTEXT_firstPrinter"),
                                         QStringLiteral("The first printer (@printer@), as the system has no default "
                                                        "printer"));
    return text.replace(QStringLiteral("@printer@"), name);
}

} // namespace

void frmOptions::buildPrinterPage()
{
    auto *page = new QVBoxLayout(picOptions[0]);
    chkPrinter = named(new QCheckBox(QStringLiteral("Mit Voreinstellungen drucken?")), QStringLiteral("chkPrinter"));
    page->addWidget(chkPrinter);
    fraPrinter = named(new QGroupBox(QStringLiteral("Drucker")), QStringLiteral("fraPrinter"));
    auto *fl = new QVBoxLayout(fraPrinter);
    lstPrinter = named(new QComboBox, QStringLiteral("lstPrinter"));
    lstPrinter->setEditable(true);
    lstPrinter->setInsertPolicy(QComboBox::NoInsert);
    fl->addWidget(lstPrinter);
    page->addWidget(fraPrinter);
    auto *row = new QHBoxLayout;
    picPrintColor = named(new QGroupBox(QStringLiteral("Farbe")), QStringLiteral("picPrintColor"));
    auto *cl = new QVBoxLayout(picPrintColor);
    const char *colors[] = {"Farbdruck", "Schwarz-Weiß"};
    for (int i = 0; i < 2; ++i)
        cl->addWidget(optColor[size_t(i)] = named(new QRadioButton(QString::fromUtf8(colors[i])), QStringLiteral("optColor"), i));
    cl->addStretch();
    picPrintQuality = named(new QGroupBox(QStringLiteral("Qualität")), QStringLiteral("picPrintQuality"));
    auto *ql = new QVBoxLayout(picPrintQuality);
    const char *qualities[] = {"Optimal", "Mittel", "Normal", "Entwurf"};
    for (int i = 0; i < 4; ++i)
        ql->addWidget(optQuality[size_t(i)] = named(new QRadioButton(QString::fromUtf8(qualities[i])), QStringLiteral("optQuality"), i));
    row->addWidget(picPrintColor);
    row->addWidget(picPrintQuality);
    page->addLayout(row);
    page->addStretch();
}

void frmOptions::connectPrinterPage()
{
    connect(chkPrinter, &QCheckBox::toggled, this, [this] { chkPrinter_Click(); });
    connect(lstPrinter, &QComboBox::activated, this, [this] { lstPrinter_Click(); });
    // Typing into the box leaves no entry chosen, as in the classic combo box.
    connect(lstPrinter->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        if (lstPrinter->currentIndex() >= 0 && lstPrinter->itemText(lstPrinter->currentIndex()) != text) {
            const QSignalBlocker quiet(lstPrinter);
            lstPrinter->setCurrentIndex(-1);
            lstPrinter->setEditText(text);
        }
    });
}

void frmOptions::loadPrinterPage()
{
    // 12. Presets.
    try {
        {
            const QSignalBlocker quiet(chkPrinter);
            chkPrinter->setChecked(gBytePrintWithDefault == 1);
        }
        chkPrinter_Click();
        if (gBytePrintWithDefault != 1 && gBytePrinterColor < optColor.size())
            selectOption(optColor[gBytePrinterColor]);
    } catch (...) {
    }
    // 13. Printers; 14. the stored one when printing with presets; 15. none at all.
    bool listingFailed = false;
    try {
        const QStringList names = platform::PrintLibrary::get().printerNames();
        // With no printer at all the list offers nothing to choose, so it says so.
        if (names.isEmpty())
            throw AppError(ErrNo::FileNotFound);
        const QString prompt = lstPrinter->currentText();
        bool found = false;
        for (const QString &name : names) {
            {
                const QSignalBlocker quiet(lstPrinter);
                lstPrinter->addItem(name);
                if (lstPrinter->count() == 1 && !found) {
                    // The first entry is not chosen by being added.
                    lstPrinter->setCurrentIndex(-1);
                    lstPrinter->setEditText(prompt);
                }
            }
            if (name == gStrPrinterName && !found) {
                found = true;
                {
                    const QSignalBlocker quiet(lstPrinter);
                    lstPrinter->setCurrentIndex(lstPrinter->count() - 1);
                }
                lstPrinter_Click();
            }
        }
        // Options that name no printer print with the system's default: nothing to report.
        if (gBytePrintWithDefault == 1 && !found && !namesNoPrinter(gStrPrinterName)) {
            clsPrinter printer;
            const int index = printer.getPrinterIndex(gStrPrinterName);
            if (index != -1 && index < lstPrinter->count()) {
                {
                    const QSignalBlocker quiet(lstPrinter);
                    lstPrinter->setCurrentIndex(index);
                }
                lstPrinter_Click();
            }
        }
    } catch (...) {
        listingFailed = true;
    }
    if (listingFailed) {
        try {
            const QString text = lstPrinter->currentIndex() < 0 ? lstPrinter->currentText() : QString();
            const QSignalBlocker quiet(lstPrinter);
            const int current = lstPrinter->currentIndex();
            lstPrinter->insertItem(0, gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_NO_PRINTER"),
                                                                 QStringLiteral("No printer available")));
            if (current < 0) {
                lstPrinter->setCurrentIndex(-1);
                lstPrinter->setEditText(text);
            }
            chkPrinter_Click();
        } catch (...) {
        }
    }
}

void frmOptions::showPrinterPrompt()
{
    try {
        if (lstPrinter->currentIndex() >= 0)
            return;
        const QSignalBlocker quiet(lstPrinter);
        lstPrinter->setEditText(printerPromptText());
    } catch (...) {
    }
}

void frmOptions::chkPrinter_Click()
{
    const bool on = chkPrinter->isChecked();
    for (QWidget *frame : {static_cast<QWidget *>(fraPrinter), picPrintColor, picPrintQuality}) {
        if (on)
            enableFrameControls(frame);
        else
            enableFrameControlsExcept(frame, QString());
    }
    if (on) {
        if (gBytePrinterColor < optColor.size())
            selectOption(optColor[gBytePrinterColor]);
        if (gIntPrinterQuality >= 0 && gIntPrinterQuality < int(optQuality.size()))
            selectOption(optQuality[size_t(gIntPrinterQuality)]);
    }
}

void frmOptions::lstPrinter_Click()
{
    try {
        platform::PrintLibrary &lib = platform::PrintLibrary::get();
        const int row = lstPrinter->currentIndex();
        const QStringList names = lib.printerNames();
        if (row < 0 || row >= names.size())
            throw AppError(ErrNo::SubscriptOutOfRange);
        lib.setCurrentPrinter(row);
        gIntPrinterId = std::int16_t(row);
        gStrPrinterName = names[row];
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINTER_NOT_CHOOSEABLE"), QStringLiteral("frmOptions.lstPrinter_Click"));
    }
}

bool frmOptions::noPrinterChosen()
{
    // Options that name no printer print with the system's default printer.
    if (!chkPrinter->isChecked() || lstPrinter->currentIndex() >= 0 || namesNoPrinter(gStrPrinterName))
        return false;
    platform::Prompter::get().msgBox(noPrinterText(), platform::MsgStyle::Critical,
                                     gObjLanguageStore().getVar(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
    return true;
}
