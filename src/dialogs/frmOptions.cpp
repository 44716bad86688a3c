#include "dialogs/frmOptions.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/OptionsControls.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/NumberBox.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using optionspages::named;

frmOptions::frmOptions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Optionen"));
    buildControls();
    connectControls();
    Form_Load();
}

frmOptions::~frmOptions() = default;

// The pages are built and wired in their own files (frmOptionsPrinter.cpp, frmOptionsBorder.cpp,
// frmOptionsFolders.cpp, frmOptionsLanguage.cpp); here the tabs that hold them and the buttons.
void frmOptions::buildControls()
{
    auto *root = new QVBoxLayout(this);
    tbsOptions = named(new QTabWidget, QStringLiteral("tbsOptions"));
    // Every tab caption shows whole, in every language (fitTabs widens the window for them).
    tbsOptions->setUsesScrollButtons(false);
    tbsOptions->setElideMode(Qt::ElideNone);
    root->addWidget(tbsOptions);
    const char *captions[] = {"Drucker", "Rahmen", "Dateieinstellungen", "Fenstereinstellungen", "Sprache", "Scanner"};
    for (int i = 0; i < 6; ++i) {
        picOptions[size_t(i)] = named(new QWidget, QStringLiteral("picOptions"), i);
        tbsOptions->addTab(picOptions[size_t(i)], QString::fromUtf8(captions[i]));
    }

    buildPrinterPage();
    buildBorderPage();
    buildFolderPages();
    buildLanguagePage();
    buildScannerPage();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = named(new QPushButton(QStringLiteral("OK")), QStringLiteral("cmdOK"));
    cmdAccept = named(new QPushButton(QString::fromUtf8("Übernehmen")), QStringLiteral("cmdAccept"));
    cmdCancel = named(new QPushButton(QStringLiteral("Abbrechen")), QStringLiteral("cmdCancel"));
    cmdOK->setDefault(true);
    for (QPushButton *b : {cmdOK, cmdAccept, cmdCancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    cmdOK->setDefault(true);
    root->addLayout(buttons);
    resize(480, 360);
}

void frmOptions::connectControls()
{
    connectPrinterPage();
    connectBorderPage();
    connectFolderPages();
    connectLanguagePage();
    connect(cmdAccept, &QPushButton::clicked, this, [this] { cmdAccept_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmOptions::setCheck(QCheckBox *box, bool checked) { box->setChecked(checked); }

void frmOptions::selectOption(QRadioButton *button) { button->setChecked(true); }

void frmOptions::Form_Load()
{
    // 1. Localise.
    changeLanguage(this);

    // 2. Languages.
    listLanguages();

    // 3. Check boxes.
    setCheck(chkScanToFile, gByteScanToFile != 0);
    setCheck(chkForeground, gByteForeground != 0);
    setCheck(chkDrawBorder, gBytePrintBorder != 0);
    setCheck(chkMargin, gBytePrintMargin != 0);
    setCheck(chkPrinter, gBytePrintWithDefault != 0);
    // The disabling of the unchecked ones happens on a change only; run it for the start.
    chkScanToFile_Click();

    // 4. Option buttons; an index the array lacks is skipped.
    if (gByteBorderStyle < optBorder.size())
        selectOption(optBorder[gByteBorderStyle]);
    if (gBytePrinterColor < optColor.size())
        selectOption(optColor[gBytePrinterColor]);
    if (gByteMarginType < optMargin.size())
        selectOption(optMargin[gByteMarginType]);
    if (gIntPrinterQuality >= 0 && gIntPrinterQuality < int(optQuality.size()))
        selectOption(optQuality[size_t(gIntPrinterQuality)]);

    // 5. Folders, written back at once.
    loadFolders();

    // 6. Border width.
    borderWidth_->show(formatUserNumber(gDblBorderWidth));

    // 7, 8. The tab widget holds the pages and shows the chosen one only; the tab captions
    // came with the localisation.

    // 9. From here on failures are ignored.
    showPrinterPrompt();
    // 10, 11. Border and margin.
    loadBorderPage();
    // 12 to 15. Presets and printers.
    loadPrinterPage();
    fitTabs();
}

void frmOptions::fitTabs()
{
    // Every tab caption shows whole, in every language: the window is as wide as the tabs.
    if (QLayout *l = layout())
        l->activate();
    const int needed = minimumSizeHint().width();
    if (width() < needed)
        resize(needed, height());
}

void frmOptions::cmdAccept_Click() { acceptOptions(); }

bool frmOptions::acceptOptions()
{
    borderWidth_->finish();
    if (noPrinterChosen())
        return false;
    try {
        platform::setPointer(platform::Pointer::Hourglass);
        clsEnvAll &store = gObjOptionsStore();
        // The first key that cannot be written ends the accept with one report; what the
        // dialog shows stays, so that the user can try again.
        const auto save = [&store](const char *key, const QString &value) {
            if (!store.saveVar(QStringLiteral("OPTIONS.") + QLatin1String(key), value))
                throw AppError(ErrNo::PathFileAccess,
                               QStringLiteral("%1 cannot be written.").arg(store.initFileName()));
        };
        auto flag = [](QCheckBox *box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
        auto option = [](const auto &buttons) {
            std::vector<QAbstractButton *> list(buttons.begin(), buttons.end());
            return QString::number(getSelectedOptionIndex(list));
        };
        save("FOREGROUND", flag(chkForeground));
        // A stored language that the folder lacks stays as it is.
        if (QListWidgetItem *language = lstLanguage->currentItem(); language && language->isSelected())
            save("LANGUAGE", language->text() + QStringLiteral(".dll"));
        save("SCANTOFILE", flag(chkScanToFile));
        save("SCANPATH", txtScanPath->text());
        save("STANDARDPATH", txtStandardPath->text());
        save("MYMUSICPATH", txtMyMusicPath->text());
        save("BORDERSTYLE", option(optBorder));
        QString width = txtBorderWidth->text();
        width.replace(gStrDecimalSeparator, QStringLiteral(","));
        width.replace(u'.', u',');
        save("BORDERWIDTH", width);
        save("PRINTBORDER", flag(chkDrawBorder));
        save("PRINTMARGIN", flag(chkMargin));
        save("BORDERCOLOR", QString::number(std::int32_t(shpBorderColor->color())));
        save("MARGINCOLOR", QString::number(std::int32_t(shpMarginColor->color())));
        save("PRINTERCOLOR", option(optColor));
        save("PRINTERQUALITY", option(optQuality));
        save("PRINTWITHDEFAULT", flag(chkPrinter));
        // Only a printer chosen in the list is stored; with none chosen the stored one stays,
        // so that options naming no printer keep following the system's default printer.
        if (lstPrinter->currentIndex() >= 0) {
            save("PRINTERID", QString::number(lstPrinter->currentIndex()));
            save("PRINTERNAME", lstPrinter->currentText());
        }
        save("MARGINTYPE", option(optMargin));

        readOptions();
        frmPelmora *main = frmPelmora::instance();
        restoreMainFormTopmost(main);
        if (main)
            for (PictureBox *pic : main->picVisible)
                pic->refresh();
        platform::setPointer(platform::Pointer::Default);
        gObjCover().setBorder(0);
        return true;
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_ERROR"), QStringLiteral("frmOptions.cmdAccept_Click"));
        platform::setPointer(platform::Pointer::Default);
        return false;
    }
}

void frmOptions::cmdOK_Click()
{
    // What could not be stored stays in the open dialog.
    if (!acceptOptions())
        return;
    accepting_ = true;
    close();
    accepting_ = false;
    if (isUnloaded())
        if (frmPelmora *main = frmPelmora::instance())
            main->setEnabled(true);
}

void frmOptions::cmdCancel_Click()
{
    try {
        close();
        if (frmPelmora *main = frmPelmora::instance())
            main->setEnabled(true);
    } catch (...) {
    }
}

void frmOptions::showRestoredOptions()
{
    frmPelmora *main = frmPelmora::instance();
    if (!main)
        return;
    restoreMainFormTopmost(main);
    main->menuForeground->setChecked(gByteForeground != 0);
    for (size_t s = 0; s < 2; ++s) {
        ShapeControl *border = main->shpBorder[s];
        border->setBorderStyle(gByteBorderStyle != 0 ? ShapeControl::kDot : ShapeControl::kSolid);
        border->setVisible(gBytePrintBorder == 1);
        for (ShapeControl *circle : {main->shpCircle[s], main->shpInnerCircle[s]})
            circle->setBorderColor(std::uint32_t(gBytePrintBorder == 1 ? gLngBorderColor : gLngMarginColor));
    }
    gObjCover().setBorder(0);
    gObjCover().setBorder(1);
}

void frmOptions::Form_Unload()
{
    try {
        gObjCover().setBorder(0);
        gObjCover().setBorder(1);
    } catch (...) {
    }
    try {
        frmPelmora *main = frmPelmora::instance();
        restoreMainFormTopmost(main);
        if (main)
            main->menuForeground->setChecked(gByteForeground != 0);
    } catch (...) {
    }
}

void frmOptions::closeEvent(QCloseEvent *e)
{
    if (unloaded_) {
        e->accept();
        return;
    }
    Form_Unload();
    unloaded_ = true;
    // Every way of closing but OK cancels: the stored options come back.
    if (!accepting_) {
        try {
            readOptions();
            showRestoredOptions();
        } catch (...) {
        }
    }
    e->accept();
    QDialog::done(accepting_ ? QDialog::Accepted : QDialog::Rejected);
}

void frmOptions::reject() { cmdCancel_Click(); }
