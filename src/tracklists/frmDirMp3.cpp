#include "tracklists/frmDirMp3.h"
#include "ui_frmDirMp3.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "platform/widgets/ButtonPlus.h"
#include "tracklists/FolderList.h"
#include "tracklists/ModalRunner.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>

namespace {

// The selected rows of a list, highest first, so that they can be taken out in turn.
QList<int> selectedRowsDescending(const QListWidget *list)
{
    QList<int> rows;
    for (const QListWidgetItem *item : list->selectedItems())
        rows.append(list->row(item));
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return rows;
}

void selectAfterRemoval(QListWidget *list, int lastRemoved)
{
    if (list->count() == 0)
        return;
    const int row = std::min(lastRemoved, list->count() - 1);
    list->setCurrentRow(row);
}

} // namespace

frmDirMp3::frmDirMp3(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmDirMp3>())
{
    ui->setupUi(this);
    Drive1 = ui->Drive1;
    Dir1 = ui->Dir1;
    lstFilesInFolder = ui->lstFilesInFolder;
    lstSelectedFiles = ui->lstSelectedFiles;
    lstSorting = ui->lstSorting;
    cmdSelectFile = ui->cmdSelectFile;
    cmdSelectAllFiles = ui->cmdSelectAllFiles;
    cmdRemoveItem = ui->cmdRemoveItem;
    cmdRemoveAllItems = ui->cmdRemoveAllItems;
    Command3 = ui->Command3;
    cmdUp = ui->cmdUp;
    cmdDown = ui->cmdDown;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    chkTitle = ui->chkTitle;
    chkArtist = ui->chkArtist;
    chkDuration = ui->chkDuration;
    chkUCase = ui->chkUCase;
    cboSeparator1 = ui->cboSeparator1;
    cboSeparator2 = ui->cboSeparator2;
    txtPreview = ui->txtPreview;
    mObjParameters = new TrackLineParameters({chkTitle, chkArtist, chkDuration, lstSorting, cmdUp, cmdDown,
                                              cboSeparator1, cboSeparator2, chkUCase, txtPreview},
                                             this);

    connect(Dir1, &FolderList::changed, this, &frmDirMp3::refreshLstFilesInFolder);
    connect(Dir1, &FolderList::folderClicked, this, &frmDirMp3::refreshLstFilesInFolder);
    connect(Drive1, &DriveList::driveChanged, this, [this](const QString &root) { Dir1->setPath(root); });
    connect(cmdSelectFile, &QPushButton::clicked, this, &frmDirMp3::cmdSelectFile_Click);
    connect(cmdSelectAllFiles, &QPushButton::clicked, this, &frmDirMp3::cmdSelectAllFiles_Click);
    connect(cmdRemoveItem, &QPushButton::clicked, this, &frmDirMp3::cmdRemoveItem_Click);
    connect(cmdRemoveAllItems, &QPushButton::clicked, this, &frmDirMp3::cmdRemoveAllItems_Click);
    connect(Command3, &QPushButton::clicked, this, &frmDirMp3::Command3_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmDirMp3::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDirMp3::cmdCancel_Click);

    lstSelectedFiles->installEventFilter(this);
    lstFilesInFolder->setDragEnabled(true);
    lstSelectedFiles->setAcceptDrops(true);
    lstSelectedFiles->viewport()->installEventFilter(this);

    Form_Load();
}

frmDirMp3::~frmDirMp3() = default;

void frmDirMp3::Form_Load()
{
    try {
        const QFont allFont = cmdSelectAllFiles->font();
        const QFont removeAllFont = cmdRemoveAllItems->font();
        changeLanguage(this);
        cmdSelectAllFiles->setFont(allFont);
        cmdRemoveAllItems->setFont(removeAllFont);
        for (ButtonPlus *b : {cmdSelectFile, cmdSelectAllFiles, cmdRemoveItem, cmdRemoveAllItems}) {
            QFont f = b->font();
            f.setBold(true);
            b->setFont(f);
        }
        for (ButtonPlus *b : {cmdSelectFile, cmdSelectAllFiles, cmdRemoveItem, cmdRemoveAllItems, Command3, cmdUp,
                              cmdDown, cmdOK, cmdCancel})
            b->setButtonStyle(4);
    } catch (...) {
        reportError(QStringLiteral("ERR_MP3_LOAD"), QStringLiteral("frmDirMp3.Form_Load"));
    }
    const QString start = startFolderOr(gStrMyMusicPath);
    Drive1->showDriveOf(start);
    Dir1->setPath(start);
    refreshLstFilesInFolder();
    mObjParameters->load();
}

QString frmDirMp3::DirName()
{
    mStrTag.clear();
    tracklists::ModalRunner::get().run(*this);
    QApplication::processEvents();
    return mStrTag;
}

bool frmDirMp3::isFileSelected(const QString &path) const { return lstSelectedFilesWithPath.contains(path); }

void frmDirMp3::refreshLstFilesInFolder()
{
    lstFilesInFolder->clear();
    lstFilesInFolderWithPath.clear();
    try {
        const QString folder = addBackslash(Dir1->path());
        const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString &name : names) {
            if (getExtension(name) != QStringLiteral("mp3") || isFileSelected(folder + name))
                continue;
            lstFilesInFolder->addItem(name);
            lstFilesInFolderWithPath.append(folder + name);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_MP3_LOADFILESFROMFOLDER"), QStringLiteral("frmDirMp3.refreshLstFilesInFolder"));
    }
}

void frmDirMp3::cmdSelectFile_Click()
{
    if (!lstFilesInFolder->currentItem())
        return;
    QList<int> rows = selectedRowsDescending(lstFilesInFolder);
    std::reverse(rows.begin(), rows.end());
    for (int row : rows) {
        lstSelectedFiles->addItem(lstFilesInFolder->item(row)->text());
        lstSelectedFilesWithPath.append(lstFilesInFolderWithPath[row]);
    }
    std::reverse(rows.begin(), rows.end());
    for (int row : rows) {
        delete lstFilesInFolder->takeItem(row);
        lstFilesInFolderWithPath.removeAt(row);
    }
    if (!rows.isEmpty())
        selectAfterRemoval(lstFilesInFolder, rows.first());
}

void frmDirMp3::cmdSelectAllFiles_Click()
{
    // Selecting every entry makes the last one current, as a click on it would.
    if (lstFilesInFolder->count() > 0)
        lstFilesInFolder->setCurrentRow(lstFilesInFolder->count() - 1, QItemSelectionModel::NoUpdate);
    lstFilesInFolder->selectAll();
    cmdSelectFile_Click();
}

void frmDirMp3::cmdRemoveItem_Click()
{
    if (!lstSelectedFiles->currentItem())
        return;
    QList<int> rows = selectedRowsDescending(lstSelectedFiles);
    std::reverse(rows.begin(), rows.end());
    const QString shown = addBackslash(Dir1->path());
    for (int row : rows) {
        const QString path = lstSelectedFilesWithPath[row];
        if (path.left(path.lastIndexOf(u'/') + 1) == shown) {
            lstFilesInFolder->addItem(lstSelectedFiles->item(row)->text());
            lstFilesInFolderWithPath.append(path);
        }
    }
    std::reverse(rows.begin(), rows.end());
    for (int row : rows) {
        delete lstSelectedFiles->takeItem(row);
        lstSelectedFilesWithPath.removeAt(row);
    }
    if (!rows.isEmpty())
        selectAfterRemoval(lstSelectedFiles, rows.first());
}

void frmDirMp3::cmdRemoveAllItems_Click()
{
    if (lstSelectedFiles->count() > 0)
        lstSelectedFiles->setCurrentRow(lstSelectedFiles->count() - 1, QItemSelectionModel::NoUpdate);
    lstSelectedFiles->selectAll();
    cmdRemoveItem_Click();
}

void frmDirMp3::Command3_Click() { makeNewFolder(Dir1); }

void frmDirMp3::cmdOK_Click()
{
    if (!mObjParameters->anyFieldChecked()) {
        cmdCancel_Click();
        return;
    }
    mStrTag = Dir1->highlightedPath();
    hide();
}

void frmDirMp3::cmdCancel_Click()
{
    mStrTag.clear();
    hide();
}

bool frmDirMp3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstSelectedFiles && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        cmdRemoveItem_Click();
        return true;
    }
    if (watched == lstSelectedFiles->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *e = static_cast<QDropEvent *>(event);
            if (e->source() == lstFilesInFolder) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto *e = static_cast<QDropEvent *>(event);
            if (e->source() == lstFilesInFolder) {
                cmdSelectFile_Click();
                e->acceptProposedAction();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
