#pragma once
// The CD track-list wizard: introduction, drive choice, lookup, choice of the match and the
// take-over options, then the track list appended to the text editor's edit box. One button,
// cmdQuery, moves from step to step; after a failed lookup it repeats the lookup.
//
// The lookup does not freeze the window: the disc is read on a worker thread and the server
// is asked in a local event loop, with the hourglass shown and cmdQuery disabled. Cancel or the
// close box during a lookup stops it and closes the wizard with nothing taken over.
#include <QDialog>

#include <memory>

class ButtonPlus;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace Ui {
class frmCDDBAssist;
}
namespace platform {
class CddbComponent;
class CddbDisc;
}
namespace texteditor {
class TextEditorHost;
}

class frmCDDBAssist : public QDialog {
    Q_OBJECT
public:
    // The default CDDB server of the server boxes.
    static const QString kDefaultServer;

    frmCDDBAssist(texteditor::TextEditorHost &editor, QWidget *parent = nullptr);
    ~frmCDDBAssist() override;

    void Form_Load();
    void cmdQuery_Click();
    void cmdCancel_Click();
    void cmdDefaultServer_Click();
    void cboTitle_Click();
    void chkTime_Click();
    void cmdDelLine_Click();

    int step() const { return mIntStep; }
    bool repeatQuery() const { return mBoolRepeatQuery; }
    bool querying() const { return mBoolQuerying; }

    void done(int result) override;

    // The controls, as the form's design names them.
    QLabel *imgWizard, *lblDescription, *lblInsertCD, *lblDrive, *lblAdress, *lblPort, *lblStatus, *lblStatus2,
        *lblStatus3, *lblTitle, *lblTracklist, *lblPreview;
    QGroupBox *fraCDSelect, *fraServerSettings, *fraTakeOver;
    QComboBox *lstCDdrives, *cboTitle;
    QLineEdit *txtCDDBServer, *txtCDDBPort, *txtPreview;
    QListWidget *lstTracklist;
    QCheckBox *chkTitle, *chkTime, *chkAutoNum, *chkUCase;
    ButtonPlus *cmdDefaultServer, *cmdDelLine, *cmdQuery, *cmdCancel;

private:
    std::unique_ptr<Ui::frmCDDBAssist> ui;

    void showWizardStep();
    void showQueryStep();
    void showChoiceStep();
    bool runCddbQuery();
    void fillTrackList(const platform::CddbDisc &disc);
    void buildTrackPreview();
    void doTakeData();
    QString errorSourceName(const QString &procedure) const;
    void Form_Unload();
    void setFormHeightTwips(double twips);
    double formHeightTwips() const;

    texteditor::TextEditorHost &mObjEditor;
    std::unique_ptr<platform::CddbComponent> mObjCddb;
    int mIntStep = 0;
    bool mBoolRepeatQuery = false;
    long mLngFormHeight = 0;
    bool mBoolQuerying = false;
    bool mBoolCancelled = false;
    bool mBoolFilling = false;
};
