#include "tracklists/frmM3UParameters.h"
#include "ui_frmM3UParameters.h"

#include "core/libLanguage.h"
#include "platform/widgets/ButtonPlus.h"
#include "tracklists/ModalRunner.h"

frmM3UParameters::frmM3UParameters(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmM3UParameters>())
{
    ui->setupUi(this);
    chkTitle = ui->chkTitle;
    chkArtist = ui->chkArtist;
    chkDuration = ui->chkDuration;
    chkUCase = ui->chkUCase;
    lstSorting = ui->lstSorting;
    cmdUp = ui->cmdUp;
    cmdDown = ui->cmdDown;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    cboSeparator1 = ui->cboSeparator1;
    cboSeparator2 = ui->cboSeparator2;
    txtPreview = ui->txtPreview;
    mObjParameters = new TrackLineParameters({chkTitle, chkArtist, chkDuration, lstSorting, cmdUp, cmdDown,
                                              cboSeparator1, cboSeparator2, chkUCase, txtPreview},
                                             this);
    connect(cmdOK, &QPushButton::clicked, this, &frmM3UParameters::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmM3UParameters::cmdCancel_Click);

    changeLanguage(this);
    for (ButtonPlus *b : {cmdUp, cmdDown, cmdOK, cmdCancel})
        b->setButtonStyle(4);
    mObjParameters->load();
}

frmM3UParameters::~frmM3UParameters() = default;

void frmM3UParameters::showModal()
{
    mBoolCancelled = true;
    tracklists::ModalRunner::get().run(*this);
}

void frmM3UParameters::cmdOK_Click()
{
    mBoolCancelled = !mObjParameters->anyFieldChecked();
    hide();
}

void frmM3UParameters::cmdCancel_Click()
{
    mBoolCancelled = true;
    hide();
}

void frmM3UParameters::reject() { cmdCancel_Click(); }
