#include "tracklists/frmChangeDirForm.h"
#include "ui_frmChangeDirForm.h"

#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "platform/widgets/ButtonPlus.h"
#include "tracklists/FolderList.h"
#include "tracklists/ModalRunner.h"

#include <QApplication>
#include <QDir>

frmChangeDirForm::frmChangeDirForm(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmChangeDirForm>())
{
    ui->setupUi(this);
    Drive1 = ui->Drive1;
    Dir1 = ui->Dir1;
    cboFileTypes = ui->cboFileTypes;
    optSelection = {ui->optSelection_0, ui->optSelection_1, ui->optSelection_2};
    chkFileExtension = ui->chkFileExtension;
    chkUCase = ui->chkUCase;
    Command3 = ui->Command3;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;

    connect(Dir1, &FolderList::changed, this, &frmChangeDirForm::fillFileTypes);
    connect(Dir1, &FolderList::folderClicked, this, &frmChangeDirForm::fillFileTypes);
    connect(Drive1, &DriveList::driveChanged, this, [this](const QString &root) { Dir1->setPath(root); });
    for (int i = 0; i < 3; ++i)
        connect(optSelection[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optSelection_Click(i);
        });
    connect(Command3, &QPushButton::clicked, this, &frmChangeDirForm::Command3_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmChangeDirForm::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmChangeDirForm::cmdCancel_Click);

    changeLanguage(this);
    cmdOK->setButtonStyle(4);
    cmdCancel->setButtonStyle(4);
    const QString start = startFolderOr(gStrStandardPath);
    Drive1->showDriveOf(start);
    Dir1->setPath(start);
    optSelection[0]->setChecked(true);
    fillFileTypes();
}

frmChangeDirForm::~frmChangeDirForm() = default;

QString frmChangeDirForm::DirName()
{
    mStrTag.clear();
    tracklists::ModalRunner::get().run(*this);
    QApplication::processEvents();
    return mStrTag;
}

void frmChangeDirForm::fillFileTypes()
{
    cboFileTypes->clear();
    for (const QString &ext : getFileExtensions(Dir1->path()))
        cboFileTypes->addItem(QStringLiteral("*.") + ext);
    cboFileTypes->setCurrentIndex(0);
}

void frmChangeDirForm::optSelection_Click(int index)
{
    if (index == 0) {
        chkFileExtension->setChecked(true);
        chkFileExtension->setEnabled(false);
    } else {
        chkFileExtension->setEnabled(true);
    }
}

void frmChangeDirForm::Command3_Click() { makeNewFolder(Dir1); }

void frmChangeDirForm::cmdOK_Click()
{
    mStrTag = Dir1->highlightedPath();
    hide();
}

void frmChangeDirForm::cmdCancel_Click()
{
    mStrTag.clear();
    hide();
}
