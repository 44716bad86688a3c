#pragma once
// The update check: on request it fetches "version.txt" from the program's web site into
// the data folder, compares each of its lines with the program's own "major.minor" and
// tells the result; a different version offers the web site.
#include "platform/net/Download.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class frmUpdateCheck : public QDialog {
    Q_OBJECT
public:
    explicit frmUpdateCheck(QWidget *parent = nullptr);
    ~frmUpdateCheck() override;

    QGroupBox *Frame1 = nullptr;
    QLabel *lblCheckUpateInfo = nullptr;
    QProgressBar *progBar = nullptr;
    QPushButton *cmdRetry = nullptr, *cmdUpdate = nullptr, *cmdCancel = nullptr;
    QTimer *timer = nullptr;

    void cmdRetry_Click();
    void cmdUpdate_Click();
    void cmdCancel_Click() { close(); }

    // The limits of fetching the version file: a small file that must come quickly.
    static platform::DownloadLimits &downloadLimits();
    // The address of the version file: the home page and "version.txt" with one "/".
    static QString versionFileAddress();
    // The program's own number, "major.minor".
    static QString programVersion();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override { close(); }

private:
    void checkUpdate();
    void stepProgress();

    bool mBoolChecking = false;  // the version file is being fetched
    bool mBoolCancelled = false; // the window was closed meanwhile
};
