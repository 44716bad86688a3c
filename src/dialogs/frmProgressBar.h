#pragma once
// A window with a progress bar, a line naming the work and the bar's two ends.
#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;

class frmProgressBar : public QDialog {
    Q_OBJECT
public:
    explicit frmProgressBar(QWidget *parent = nullptr);
    ~frmProgressBar() override;

    QGroupBox *Frame1 = nullptr;
    QProgressBar *progBar = nullptr;
    QLabel *lblAction = nullptr, *lbl_min = nullptr, *lbl_max = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override { close(); }
};
