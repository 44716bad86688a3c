#pragma once
// The MP3 dialog: MP3 files picked from folders into a chosen list, and the fields, order,
// separators and letter case of their track lines. DirName shows it and returns the
// highlighted folder, "" when cancelled or when no field is checked; the import then reads the
// chosen files and the parameters from the hidden dialog.
#include "tracklists/TrackLineParameters.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class ButtonPlus;
class DriveList;
class FolderList;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace Ui { class frmDirMp3; }

class frmDirMp3 : public QDialog {
    Q_OBJECT
public:
    explicit frmDirMp3(QWidget *parent = nullptr);
    ~frmDirMp3() override;

    QString DirName();

    void refreshLstFilesInFolder();
    void cmdSelectFile_Click();
    void cmdSelectAllFiles_Click();
    void cmdRemoveItem_Click();
    void cmdRemoveAllItems_Click();
    void Command3_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    TrackLineParameters &parameters() { return *mObjParameters; }

    // Controls.
    DriveList *Drive1 = nullptr;
    FolderList *Dir1 = nullptr;
    QListWidget *lstFilesInFolder = nullptr, *lstSelectedFiles = nullptr, *lstSorting = nullptr;
    // The full paths of the two name lists, in the same order.
    QStringList lstFilesInFolderWithPath, lstSelectedFilesWithPath;
    ButtonPlus *cmdSelectFile = nullptr, *cmdSelectAllFiles = nullptr, *cmdRemoveItem = nullptr,
               *cmdRemoveAllItems = nullptr, *Command3 = nullptr, *cmdUp = nullptr, *cmdDown = nullptr,
               *cmdOK = nullptr, *cmdCancel = nullptr;
    QCheckBox *chkTitle = nullptr, *chkArtist = nullptr, *chkDuration = nullptr, *chkUCase = nullptr;
    QComboBox *cboSeparator1 = nullptr, *cboSeparator2 = nullptr;
    QLineEdit *txtPreview = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    bool isFileSelected(const QString &path) const;

    std::unique_ptr<Ui::frmDirMp3> ui;
    TrackLineParameters *mObjParameters = nullptr;
    QString mStrTag;
};
