#pragma once
// The options: the printer and its presets, the printed cut border and fold margin (the
// main window's previews follow at once), the music, image and scan folders, the
// always-on-top state, the language (switched at once) and scanning to a file.
//
// While the dialog is open the option variables may already hold edited values; Accept and
// OK write every key and read them back, Cancel reads the stored ones again. Controls of the
// same name with an index are the elements "C_I" of the form, reached here as C[I]. Setting
// a check box or an option button from code runs its handler when its state changes, as a
// click does.
#include <QDialog>
#include <QString>
#include <array>
#include <optional>

class ClickableLabel;
class NumberBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget *parent = nullptr);
    ~frmOptions() override;

    // Controls.
    QTabWidget *tbsOptions = nullptr;
    std::array<QWidget *, 6> picOptions{};
    QCheckBox *chkPrinter = nullptr;
    QGroupBox *fraPrinter = nullptr;
    QComboBox *lstPrinter = nullptr;
    QWidget *picPrintColor = nullptr, *picPrintQuality = nullptr;
    std::array<QRadioButton *, 2> optColor{};
    std::array<QRadioButton *, 4> optQuality{};
    QCheckBox *chkDrawBorder = nullptr;
    QWidget *picBorder = nullptr;
    std::array<QRadioButton *, 2> optBorder{};
    QLineEdit *txtBorderWidth = nullptr;
    QScrollBar *updBorderWidth = nullptr; // position p: width (200 - p) / 100 mm
    QPushButton *cmdBorderColor = nullptr;
    ClickableLabel *shpBorderColor = nullptr;
    QCheckBox *chkMargin = nullptr;
    QWidget *picMargin = nullptr;
    std::array<QRadioButton *, 3> optMargin{};
    QPushButton *cmdMarginColor = nullptr;
    ClickableLabel *shpMarginColor = nullptr;
    QLineEdit *txtMyMusicPath = nullptr, *txtStandardPath = nullptr, *txtScanPath = nullptr;
    ClickableLabel *cmdMyMusicPath = nullptr, *cmdDeleteMyMusicPath = nullptr, *cmdImagePath = nullptr,
                   *cmdDeleteImagePath = nullptr, *cmdScanPath = nullptr, *cmdDeleteScanPath = nullptr;
    QCheckBox *chkForeground = nullptr;
    QListWidget *lstLanguage = nullptr;
    QPushButton *cmdChangeLanguage = nullptr;
    QCheckBox *chkScanToFile = nullptr;
    QGroupBox *fraScanPath = nullptr;
    QPushButton *cmdOK = nullptr, *cmdAccept = nullptr, *cmdCancel = nullptr;

    // Handlers.
    void chkPrinter_Click();
    void lstPrinter_Click();
    void chkDrawBorder_Click();
    void optBorder_Click(int index);
    void cmdBorderColor_Click();
    void chkMargin_Click();
    void optMargin_Click(int index);
    void cmdMarginColor_Click();
    void chkScanToFile_Click();
    void cmdScanPath_Click();
    void cmdImagePath_Click();
    void cmdMyMusicPath_Click();
    void cmdDeleteScanPath_Click();
    void cmdDeleteImagePath_Click();
    void chkForeground_Click();
    void cmdChangeLanguage_Click();
    void cmdAccept_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Whether the dialog has been unloaded (closed for good).
    bool isUnloaded() const { return unloaded_; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void buildControls();
    void connectControls();
    void Form_Load();
    // The pages: their controls, their wiring and what Form_Load sets on them.
    void buildPrinterPage();
    void connectPrinterPage();
    void loadPrinterPage();
    void buildBorderPage();
    void connectBorderPage();
    void loadBorderPage();
    void buildFolderPages(); // the folders and the window
    void buildScannerPage();
    void connectFolderPages();
    void loadFolders();
    void buildLanguagePage();
    void connectLanguagePage();
    void listLanguages();
    // The steps of Closing.
    void Form_Unload();
    // Writes every key and reads them back; false (told once) when nothing may close.
    bool acceptOptions();
    // Shown when printing with presets and a printer is named that no entry of the list
    // stands for; true when it was shown.
    bool noPrinterChosen();
    // The printer box's text while no entry is chosen, in the current language.
    void showPrinterPrompt();
    // Widens the window to show every tab caption whole.
    void fitTabs();
    void setCheck(QCheckBox *box, bool checked);
    void selectOption(QRadioButton *button);
    void pickColor(ClickableLabel *swatch, bool border);
    void pickFolder(QString &variable, QLineEdit *box, const QString &title);
    // The main window's on-top state, cut border and fold marks as the option variables say.
    static void showRestoredOptions();

    bool unloaded_ = false;
    bool accepting_ = false; // closing after OK: nothing is read back
    // The border width box: a number in 0..2 mm is taken as typed; once the typing is done a
    // larger one shows as 2, a negative one as 0.01 and what is no number as the spinner's width.
    NumberBox *borderWidth_ = nullptr;
};

