#pragma once
// The playlist dialog: the fields, order, separators and letter case of the track lines of a
// playlist. mBoolCancelled tells the import whether to go on.
#include "tracklists/TrackLineParameters.h"

#include <QDialog>
#include <memory>

class ButtonPlus;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace Ui { class frmM3UParameters; }

class frmM3UParameters : public QDialog {
    Q_OBJECT
public:
    explicit frmM3UParameters(QWidget *parent = nullptr);
    ~frmM3UParameters() override;

    // Shows the dialog modally; mBoolCancelled holds the outcome.
    void showModal();
    void cmdOK_Click();
    void cmdCancel_Click();

    TrackLineParameters &parameters() { return *mObjParameters; }

    bool mBoolCancelled = false;

    // Controls.
    QCheckBox *chkTitle = nullptr, *chkArtist = nullptr, *chkDuration = nullptr, *chkUCase = nullptr;
    QListWidget *lstSorting = nullptr;
    ButtonPlus *cmdUp = nullptr, *cmdDown = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;
    QComboBox *cboSeparator1 = nullptr, *cboSeparator2 = nullptr;
    QLineEdit *txtPreview = nullptr;

protected:
    void reject() override;

private:
    std::unique_ptr<Ui::frmM3UParameters> ui;
    TrackLineParameters *mObjParameters = nullptr;
};
