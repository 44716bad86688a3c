#include "dialogs/frmOptions.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/clsPrinter.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/NumberBox.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWidthSteps = 200; // the spinner's maximum: 2.00 mm in steps of 0.01

template <class T>
T *named(T *control, const QString &name, int index = -1)
{
    if (index >= 0) {
        control->setObjectName(name + u'_' + QString::number(index));
        control->setProperty("index", index);
    } else {
        control->setObjectName(name);
    }
    return control;
}

ClickableLabel *pictureButton(QStyle::StandardPixmap icon, const QString &name, QWidget *owner)
{
    auto *l = named(new ClickableLabel, name);
    l->setPixmap(owner->style()->standardIcon(icon).pixmap(16, 16));
    l->setCursor(Qt::PointingHandCursor);
    l->setFixedSize(22, 22);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QString noPrinterText()
{
    return getErrorText(QStringLiteral("ERR_NO_PRINTER_SELECTED"), QStringLiteral("No printer selected as default."));
}

// What the printer box shows while no entry of it is chosen: the prompt to choose one, or,
// while the options name no printer, the system's default printer that printing will use.
QString printerPromptText()
{
    clsEnvAll &language = gObjLanguageStore();
    if (!namesNoPrinter(gStrPrinterName))
        return language.getVar(QStringLiteral("MESSAGES.MSG_SELECT_PRINTER"), QStringLiteral("Please choose a printer"));
    QString text = language.getVar(QStringLiteral("MESSAGES.MSG_SYSTEM_PRINTER"),
                                   QStringLiteral("The system's default printer (@printer@)"));
    QString name;
    try {
        name = systemPrinterName(platform::PrintLibrary::get());
    } catch (...) {
    }
    return text.replace(QStringLiteral("@printer@"), name);
}

} // namespace

std::optional<double> borderWidthNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    QString t = text.trimmed();
    t.replace(u',', u'.');
    if (t.endsWith(u'.'))
        t.chop(1);
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

QString borderWidthText(double width)
{
    QString t = QString::number(width, 'g', 15);
    t.replace(u'.', gStrDecimalSeparator);
    return t;
}

frmOptions::frmOptions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Optionen"));
    buildControls();
    connectControls();
    Form_Load();
}

frmOptions::~frmOptions() = default;

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

    // Printer.
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

    // Border and fold margin.
    {
        auto *page = new QVBoxLayout(picOptions[1]);
        chkDrawBorder = named(new QCheckBox(QString::fromUtf8("Rahmen um das Cover zeichen?")), QStringLiteral("chkDrawBorder"));
        page->addWidget(chkDrawBorder);
        picBorder = named(new QWidget, QStringLiteral("picBorder"));
        auto *bl = new QGridLayout(picBorder);
        bl->setContentsMargins(20, 0, 0, 0);
        const char *styles[] = {"Durchgezogen", "Gepunktet"};
        for (int i = 0; i < 2; ++i)
            bl->addWidget(optBorder[size_t(i)] = named(new QRadioButton(QString::fromUtf8(styles[i])), QStringLiteral("optBorder"), i), i, 0);
        bl->addWidget(named(new QLabel(QStringLiteral("Breite (mm)")), QStringLiteral("lblBorderWidth")), 0, 1);
        auto *widthRow = new QHBoxLayout;
        txtBorderWidth = named(new QLineEdit, QStringLiteral("txtBorderWidth"));
        txtBorderWidth->setFixedWidth(60);
        updBorderWidth = named(new QScrollBar(Qt::Vertical), QStringLiteral("updBorderWidth"));
        updBorderWidth->setRange(0, kWidthSteps);
        updBorderWidth->setSingleStep(1);
        updBorderWidth->setPageStep(1);
        updBorderWidth->setValue(1);
        updBorderWidth->setFixedHeight(txtBorderWidth->sizeHint().height());
        widthRow->addWidget(txtBorderWidth);
        widthRow->addWidget(updBorderWidth);
        widthRow->setSpacing(0);
        widthRow->addStretch();
        bl->addLayout(widthRow, 1, 1);
        cmdBorderColor = named(new QPushButton(QString::fromUtf8("Farbe wählen")), QStringLiteral("cmdBorderColor"));
        shpBorderColor = named(new ClickableLabel, QStringLiteral("shpBorderColor"));
        shpBorderColor->setFixedSize(40, 20);
        bl->addWidget(cmdBorderColor, 0, 2);
        bl->addWidget(shpBorderColor, 1, 2);
        page->addWidget(picBorder);

        chkMargin = named(new QCheckBox(QStringLiteral("Falzrand drucken?")), QStringLiteral("chkMargin"));
        page->addWidget(chkMargin);
        picMargin = named(new QWidget, QStringLiteral("picMargin"));
        auto *ml = new QGridLayout(picMargin);
        ml->setContentsMargins(20, 0, 0, 0);
        const char *margins[] = {"Falzrand in voller Länge des Covers drucken", "Falzrand nur andeuten",
                                 "Falzrand nach außen zeichnen"};
        for (int i = 0; i < 3; ++i)
            ml->addWidget(optMargin[size_t(i)] = named(new QRadioButton(QString::fromUtf8(margins[i])), QStringLiteral("optMargin"), i), i, 0);
        cmdMarginColor = named(new QPushButton(QString::fromUtf8("Farbe wählen")), QStringLiteral("cmdMarginColor"));
        shpMarginColor = named(new ClickableLabel, QStringLiteral("shpMarginColor"));
        shpMarginColor->setFixedSize(40, 20);
        ml->addWidget(cmdMarginColor, 0, 1);
        ml->addWidget(shpMarginColor, 1, 1);
        page->addWidget(picMargin);
        page->addStretch();
    }

    // Folders.
    {
        auto *page = new QGridLayout(picOptions[2]);
        page->addWidget(named(new QLabel(QStringLiteral("Musikordner")), QStringLiteral("lblMyMusicPath")), 0, 0, 1, 3);
        txtMyMusicPath = named(new QLineEdit, QStringLiteral("txtMyMusicPath"));
        txtMyMusicPath->setReadOnly(true);
        cmdMyMusicPath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdMyMusicPath"), this);
        cmdDeleteMyMusicPath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteMyMusicPath"), this);
        page->addWidget(txtMyMusicPath, 1, 0);
        page->addWidget(cmdMyMusicPath, 1, 1);
        page->addWidget(cmdDeleteMyMusicPath, 1, 2);
        page->addWidget(named(new QLabel(QStringLiteral("Bilderordner")), QStringLiteral("lblStandardPath")), 2, 0, 1, 3);
        txtStandardPath = named(new QLineEdit, QStringLiteral("txtStandardPath"));
        txtStandardPath->setReadOnly(true);
        cmdImagePath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdImagePath"), this);
        cmdDeleteImagePath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteImagePath"), this);
        page->addWidget(txtStandardPath, 3, 0);
        page->addWidget(cmdImagePath, 3, 1);
        page->addWidget(cmdDeleteImagePath, 3, 2);
        page->setRowStretch(4, 1);
    }

    // Window.
    {
        auto *page = new QVBoxLayout(picOptions[3]);
        chkForeground = named(new QCheckBox(QStringLiteral("Pelmora immer im Vordergrund anzeigen?")), QStringLiteral("chkForeground"));
        page->addWidget(chkForeground);
        page->addStretch();
    }

    // Language.
    {
        auto *page = new QVBoxLayout(picOptions[4]);
        page->addWidget(named(new QLabel(QStringLiteral("Sprache des Programms")), QStringLiteral("lblLanguage")));
        lstLanguage = named(new QListWidget, QStringLiteral("lstLanguage"));
        page->addWidget(lstLanguage);
        cmdChangeLanguage = named(new QPushButton(QStringLiteral("Sprache wechseln")), QStringLiteral("cmdChangeLanguage"));
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(cmdChangeLanguage);
        page->addLayout(row);
    }

    // Scanner.
    {
        auto *page = new QVBoxLayout(picOptions[5]);
        chkScanToFile = named(new QCheckBox(QStringLiteral("Gescannte Bilder als Datei abspeichern?")), QStringLiteral("chkScanToFile"));
        page->addWidget(chkScanToFile);
        fraScanPath = named(new QGroupBox(QStringLiteral("Ordner")), QStringLiteral("fraScanPath"));
        auto *sl = new QHBoxLayout(fraScanPath);
        txtScanPath = named(new QLineEdit, QStringLiteral("txtScanPath"));
        txtScanPath->setReadOnly(true);
        cmdScanPath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdScanPath"), this);
        cmdDeleteScanPath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteScanPath"), this);
        sl->addWidget(txtScanPath);
        sl->addWidget(cmdScanPath);
        sl->addWidget(cmdDeleteScanPath);
        page->addWidget(fraScanPath);
        page->addStretch();
    }

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
    connect(chkDrawBorder, &QCheckBox::toggled, this, [this] { chkDrawBorder_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(optBorder[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optBorder_Click(i);
        });
    NumberBox::Rules width;
    const int lowest = updBorderWidth->minimum(), highest = updBorderWidth->maximum();
    width.read = [=](const QString &text) -> std::optional<double> {
        if (const std::optional<double> n = borderWidthNumber(text))
            return std::clamp(*n, lowest / 100.0, highest / 100.0);
        return std::nullopt;
    };
    width.finished = [=, this](const QString &text) {
        const std::optional<double> n = borderWidthNumber(text);
        if (!n)
            return borderWidthText((kWidthSteps - updBorderWidth->value()) / 100.0);
        if (*n > highest / 100.0)
            return borderWidthText(highest / 100.0);
        if (*n < lowest / 100.0)
            return borderWidthText((lowest + 1) / 100.0);
        return text;
    };
    width.position = [](double w) { return int(roundHalfEven(kWidthSteps - 100.0 * w)); };
    width.positionText = [](int position) { return borderWidthText((kWidthSteps - position) / 100.0); };
    borderWidth_ = new NumberBox(txtBorderWidth, updBorderWidth, std::move(width));
    connect(cmdBorderColor, &QPushButton::clicked, this, [this] { cmdBorderColor_Click(); });
    connect(shpBorderColor, &ClickableLabel::clicked, this, [this] { cmdBorderColor_Click(); });
    connect(chkMargin, &QCheckBox::toggled, this, [this] { chkMargin_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(optMargin[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optMargin_Click(i);
        });
    connect(cmdMarginColor, &QPushButton::clicked, this, [this] { cmdMarginColor_Click(); });
    connect(shpMarginColor, &ClickableLabel::clicked, this, [this] { cmdMarginColor_Click(); });
    connect(chkScanToFile, &QCheckBox::toggled, this, [this] { chkScanToFile_Click(); });
    connect(cmdScanPath, &ClickableLabel::clicked, this, [this] { cmdScanPath_Click(); });
    connect(cmdImagePath, &ClickableLabel::clicked, this, [this] { cmdImagePath_Click(); });
    connect(cmdMyMusicPath, &ClickableLabel::clicked, this, [this] { cmdMyMusicPath_Click(); });
    connect(cmdDeleteScanPath, &ClickableLabel::clicked, this, [this] { cmdDeleteScanPath_Click(); });
    connect(cmdDeleteImagePath, &ClickableLabel::clicked, this, [this] { cmdDeleteImagePath_Click(); });
    connect(chkForeground, &QCheckBox::toggled, this, [this] { chkForeground_Click(); });
    connect(cmdChangeLanguage, &QPushButton::clicked, this, [this] { cmdChangeLanguage_Click(); });
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
    const QString stored = gObjOptionsStore().getVar(QStringLiteral("OPTIONS.LANGUAGE"), QStringLiteral("English.dll"));
    for (const QString &file : gColLanguageFiles) {
        lstLanguage->addItem(file.left(file.size() - 4));
        if (file == stored)
            lstLanguage->setCurrentRow(lstLanguage->count() - 1);
    }

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
    txtStandardPath->setText(gStrStandardPath);
    txtScanPath->setText(gStrScanPath);
    txtMyMusicPath->setText(gStrMyMusicPath);
    clsEnvAll &store = gObjOptionsStore();
    try {
        store.saveVar(QStringLiteral("OPTIONS.SCANPATH"), txtScanPath->text());
        store.saveVar(QStringLiteral("OPTIONS.STANDARDPATH"), txtStandardPath->text());
        store.saveVar(QStringLiteral("OPTIONS.MYMUSICPATH"), txtMyMusicPath->text());
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_ERROR"), QStringLiteral("frmOptions.Form_Load"));
    }

    // 6. Border width.
    borderWidth_->show(borderWidthText(gDblBorderWidth));

    // 7, 8. The tab widget holds the pages and shows the chosen one only; the tab captions
    // came with the localisation.

    // 9. From here on failures are ignored.
    showPrinterPrompt();
    // 10. Border.
    try {
        {
            const QSignalBlocker quiet(chkDrawBorder);
            chkDrawBorder->setChecked(gBytePrintBorder == 1);
        }
        chkDrawBorder_Click();
        if (gBytePrintBorder != 1)
            shpBorderColor->setColor(std::uint32_t(gLngBorderColor));
    } catch (...) {
    }
    // 11. Margin.
    try {
        {
            const QSignalBlocker quiet(chkMargin);
            chkMargin->setChecked(gBytePrintMargin == 1);
        }
        chkMargin_Click();
        if (gBytePrintMargin != 1)
            shpMarginColor->setColor(std::uint32_t(gLngMarginColor));
    } catch (...) {
    }
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
    fitTabs();
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

void frmOptions::fitTabs()
{
    // Every tab caption shows whole, in every language: the window is as wide as the tabs.
    if (QLayout *l = layout())
        l->activate();
    const int needed = minimumSizeHint().width();
    if (width() < needed)
        resize(needed, height());
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

void frmOptions::chkDrawBorder_Click()
{
    try {
        gBytePrintBorder = chkDrawBorder->isChecked() ? 1 : 0;
        frmPelmora *main = frmPelmora::instance();
        if (!chkDrawBorder->isChecked()) {
            enableFrameControlsExcept(picBorder, QString());
            if (main)
                for (size_t s = 0; s < 2; ++s) {
                    main->shpBorder[s]->hide();
                    main->shpCircle[s]->hide();
                    main->shpInnerCircle[s]->hide();
                }
            return;
        }
        enableFrameControls(picBorder);
        if (gByteBorderStyle < optBorder.size())
            selectOption(optBorder[gByteBorderStyle]);
        borderWidth_->show(borderWidthText(gDblBorderWidth));
        shpBorderColor->setColor(std::uint32_t(gLngBorderColor));
        if (main)
            for (size_t s = 0; s < 2; ++s) {
                main->shpBorder[s]->setBorderColor(std::uint32_t(gLngBorderColor));
                main->shpBorder[s]->show();
                main->shpCircle[s]->setBorderColor(std::uint32_t(gLngMarginColor));
                main->shpInnerCircle[s]->setBorderColor(std::uint32_t(gLngMarginColor));
            }
    } catch (...) {
    }
}

void frmOptions::optBorder_Click(int index)
{
    try {
        gByteBorderStyle = std::uint8_t(index);
        if (index == 1)
            borderWidth_->show(QStringLiteral("1"));
        if (frmPelmora *main = frmPelmora::instance()) {
            for (ShapeControl *shape : main->shpBorder) {
                shape->setBorderStyle(index == 0 ? ShapeControl::kSolid : ShapeControl::kDot);
                shape->setBorderWidth(1);
            }
        }
        gObjCover().setBorder(0);
    } catch (...) {
    }
}

void frmOptions::pickColor(ClickableLabel *swatch, bool border)
{
    try {
        const std::uint32_t start = swatch->color();
        const std::uint32_t chosen = platform::Choosers::get().chooseColor(start).value_or(start);
        swatch->setColor(chosen);
        frmPelmora *main = frmPelmora::instance();
        if (border) {
            gLngBorderColor = std::int32_t(chosen);
            if (gBytePrintBorder == 1 && main)
                for (size_t s = 0; s < 2; ++s)
                    for (ShapeControl *shape : {main->shpBorder[s], main->shpInnerCircle[s], main->shpCircle[s]}) {
                        shape->setBorderColor(chosen);
                        shape->update();
                    }
        } else {
            gLngMarginColor = std::int32_t(chosen);
            gObjCover().setBorder(0);
        }
    } catch (...) {
    }
}

void frmOptions::cmdBorderColor_Click() { pickColor(shpBorderColor, true); }

void frmOptions::cmdMarginColor_Click() { pickColor(shpMarginColor, false); }

void frmOptions::chkMargin_Click()
{
    try {
        gBytePrintMargin = chkMargin->isChecked() ? 1 : 0;
        if (chkMargin->isChecked()) {
            enableFrameControls(picMargin);
            shpMarginColor->setColor(std::uint32_t(gLngMarginColor));
            if (gByteMarginType < optMargin.size())
                selectOption(optMargin[gByteMarginType]);
        } else {
            enableFrameControlsExcept(picMargin, QString());
        }
    } catch (...) {
    }
}

void frmOptions::optMargin_Click(int index)
{
    try {
        gByteMarginType = std::uint8_t(index);
        if (frmPelmora *main = frmPelmora::instance())
            for (ShapeControl *shape : main->shpCircle)
                shape->setBorderStyle(ShapeControl::kDot);
        gObjCover().setBorder(0);
        gObjCover().setBorder(1);
    } catch (...) {
    }
}

void frmOptions::chkScanToFile_Click()
{
    if (chkScanToFile->isChecked())
        enableFrameControls(fraScanPath);
    else
        enableFrameControlsExcept(fraScanPath, QString());
}

void frmOptions::pickFolder(QString &variable, QLineEdit *box, const QString &title)
{
    try {
        const QString old = variable;
        variable = BrowseForFolder(title);
        if (variable.isEmpty() || variable == old) {
            variable = old;
            box->setText(old);
        } else {
            box->setText(variable);
        }
    } catch (...) {
    }
}

void frmOptions::cmdScanPath_Click()
{
    pickFolder(gStrScanPath, txtScanPath, gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_SCAN_FOLDER")));
}

void frmOptions::cmdImagePath_Click()
{
    pickFolder(gStrStandardPath, txtStandardPath,
               gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_FOLDER"), QStringLiteral("Please choose folder")));
}

void frmOptions::cmdMyMusicPath_Click()
{
    pickFolder(gStrMyMusicPath, txtMyMusicPath,
               gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_FOLDER"), QStringLiteral("Please choose folder")));
}

void frmOptions::cmdDeleteScanPath_Click() { txtScanPath->clear(); }

void frmOptions::cmdDeleteImagePath_Click()
{
    txtStandardPath->clear();
    gStrStandardPath.clear();
}

void frmOptions::chkForeground_Click() { gByteForeground = chkForeground->isChecked() ? 1 : 0; }

void frmOptions::cmdChangeLanguage_Click()
{
    try {
        // With no entry chosen (the stored language file is gone) there is nothing to switch to.
        QListWidgetItem *chosen = lstLanguage->currentItem();
        if (!chosen || !chosen->isSelected())
            return;
        gStrLanguage = chosen->text() + QStringLiteral(".dll");
        setLanguage(appPath() + QStringLiteral("/language/") + gStrLanguage);
        loadCoverData();

        // Owners first: localising a window reaches into the dialogs it owns, which then
        // take their own texts again.
        QList<QWidget *> forms;
        for (QWidget *form : QApplication::topLevelWidgets())
            if (form->objectName().startsWith(QLatin1String("frm")))
                forms << form;
        std::stable_sort(forms.begin(), forms.end(), [](QWidget *a, QWidget *b) {
            return !a->parentWidget() && b->parentWidget();
        });
        for (QWidget *form : forms)
            changeLanguage(form);

        showPrinterPrompt();
        fitTabs();
        chooseHelpFile();

        frmPelmora *main = frmPelmora::instance();
        const int medium = gObjCover().aktMedium();
        if (main && medium >= 0 && medium < kMediumCount && gVarCoverTypes[size_t(medium)].hasRecords()) {
            std::array<int, 2> remembered{};
            for (size_t s = 0; s < 2; ++s) {
                QListWidget *list = main->lstCoverNames[s];
                remembered[s] = list->currentRow();
                const QSignalBlocker quiet(list);
                list->clear();
                for (const CoverRecord &r : gVarCoverTypes[size_t(medium)].records())
                    list->addItem(r.text(CoverField::DisplayName));
                list->update();
            }
            main->update();
            main->mBoolInitialised = false;
            for (int s = 0; s < 2; ++s)
                main->selectCoverEntry(s, remembered[size_t(s)]);
            main->mBoolInitialised = true;
        }
        buildImageFilters();
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGE_LANGUAGE_FORM"), QStringLiteral("frmOptions.cmdChangeLanguage_Click"));
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
