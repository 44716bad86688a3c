#pragma once
// The printer choice for one print run: a printer of the system's list, quality and colour.
// The choice goes to the program-wide print-choice record; Print sets its result to 1.
#include <QDialog>
#include <array>
#include <memory>

class QListWidget;
class QRadioButton;

namespace Ui { class frmPrinterOptions; }

// The print-choice record beside gIntPrintPrinterIndex, gBytePrintColor and gIntPrintQuality.
inline QString gStrPrintPrinterName;
inline std::int16_t gIntPrintDialogResult = 0;

class frmPrinterOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinterOptions(QWidget *parent = nullptr);
    ~frmPrinterOptions() override;

    QListWidget *lstPrinter = nullptr;
    std::array<QRadioButton *, 2> optColor{};
    std::array<QRadioButton *, 1> optQuality{};

    void lstPrinter_Click();
    void cmdPrint_Click();
    void cmdCancel_Click() { close(); }

protected:
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;

private:
    void Form_Load();
    void Form_Unload();

    std::unique_ptr<Ui::frmPrinterOptions> ui;
    bool unloaded_ = false;
};
