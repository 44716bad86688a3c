#pragma once
// The tip of the day: one tip of the language file at a time, tip 0 first, then tips 1 to
// 12 at random, never the same twice in a row; its check box holds whether tips appear at
// start ("OPTIONS.SHOWTIPS" "0") or not ("1").
#include <QDialog>

#include <cstdint>
#include <functional>

class ClickableLabel;
class QCheckBox;
class QLabel;
class QPushButton;

class frmTip : public QDialog {
    Q_OBJECT
public:
    // A random number in [0, 1).
    using RandomSource = std::function<double()>;

    // Without a source the tips are drawn from a generator seeded from the clock.
    explicit frmTip(QWidget *parent = nullptr, RandomSource random = {});
    ~frmTip() override;

    QLabel *lblHeadline = nullptr, *lblTipText = nullptr;
    ClickableLabel *Picture1 = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QPushButton *cmdNextTip = nullptr, *cmdOK = nullptr;

    void showRandomTip();
    void chkLoadTipsAtStartup_Click();
    std::int16_t currentTip() const { return mIntCurrentTip; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override { close(); }

private:
    void Form_Load();

    RandomSource random_;
    std::int16_t mIntCurrentTip = 0;
    std::int16_t mIntPreviousTip = 0;
};
