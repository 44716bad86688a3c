#pragma once
// The file-list dialog: a folder, which of its entries to list (folders, files of one type, or
// both), with or without the file extensions, in upper case or not. DirName shows it and
// returns the highlighted folder, "" when cancelled.
#include <QDialog>
#include <array>
#include <memory>

class ButtonPlus;
class DriveList;
class FolderList;
class QCheckBox;
class QComboBox;
class QRadioButton;

namespace Ui { class frmChangeDirForm; }

class frmChangeDirForm : public QDialog {
    Q_OBJECT
public:
    explicit frmChangeDirForm(QWidget *parent = nullptr);
    ~frmChangeDirForm() override;

    QString DirName();

    void fillFileTypes();
    void optSelection_Click(int index);
    void Command3_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Controls.
    DriveList *Drive1 = nullptr;
    FolderList *Dir1 = nullptr;
    QComboBox *cboFileTypes = nullptr;
    std::array<QRadioButton *, 3> optSelection{};
    QCheckBox *chkFileExtension = nullptr, *chkUCase = nullptr;
    ButtonPlus *Command3 = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;

private:
    std::unique_ptr<Ui::frmChangeDirForm> ui;
    QString mStrTag;
};
