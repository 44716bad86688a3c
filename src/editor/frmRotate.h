#pragma once
// The rotate dialog of the graphics editor: turns the focused object, or the background when
// nothing is focused, by the angle in its box. Each turn starts again from the unrotated
// image kept as a backup, so turns do not add up losses. doRotate is the editor's one
// rotation routine; its toolbar's -90/+90 buttons call it without the dialog.
#include <QDialog>
#include <memory>
#include <optional>

class ButtonPlus;
class NumberBox;
class QLabel;
class QLineEdit;
class QScrollBar;
namespace Ui { class frmRotate; }

class frmRotate : public QDialog {
    Q_OBJECT
public:
    explicit frmRotate(QWidget *parent = nullptr);
    ~frmRotate() override;

    // Turns the edited model's focused object, or its background, by angle degrees and
    // records the step for undo; 0 does nothing.
    static void doRotate(double angle);

    // The number a text begins with, with the user's decimal sign ("45abc" gives 45); nothing
    // when it begins with none (or with one beyond a double).
    static std::optional<double> readLeadingNumber(const QString &text);

    void cmdRotateLeft_Click();
    void cmdRotateRight_Click();

    QLineEdit *txtAngle = nullptr;
    QLabel *lblAngle = nullptr;
    QScrollBar *updAngle = nullptr;
    ButtonPlus *cmdRotateLeft = nullptr, *cmdRotateRight = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmRotate> ui;
    // The angle box: while typed in, the spinner follows a number within 0..360; once the
    // typing is done the box shows its leading number within 0..360, 90 when it has none.
    NumberBox *mAngle = nullptr;
};
