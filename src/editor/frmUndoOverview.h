#pragma once
// The undo overview: one line per entry of the graphics editor's undo stack, oldest first,
// so that the user sees what Undo would step back. It opens without owner and not modally,
// may outlive the editor, and then lists the stack as it is (possibly empty).
#include <QStringList>
#include <QWidget>
#include <memory>

class ButtonPlus;
class QLabel;
class QListWidget;
namespace Ui { class frmUndoOverview; }

class frmUndoOverview : public QWidget {
    Q_OBJECT
public:
    explicit frmUndoOverview(QWidget *parent = nullptr);
    ~frmUndoOverview() override;

    // Shows the one overview, made when first asked for, with the stack as it is now.
    static frmUndoOverview *showOverview();
    // The overview that is open, or nothing.
    static frmUndoOverview *instance();

    void fillUndoList();
    QStringList lines() const;

    QLabel *lblUndos = nullptr;
    QListWidget *lstOverview = nullptr;
    ButtonPlus *cmdRefresh = nullptr;

private:
    std::unique_ptr<Ui::frmUndoOverview> ui;
};
