#pragma once
// About the program: its name and version, and links to its web site and support address.
#include <QDialog>

class ClickableLabel;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

    ClickableLabel *picLogo = nullptr, *lblInternet = nullptr, *lblEmail = nullptr;
    QLabel *lblProductName = nullptr, *lblDescription = nullptr;
    QPushButton *cmdOK = nullptr;

    void picLogo_Click() { lblInternet_Click(); }
    void lblInternet_Click();
    void lblEmail_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override { close(); }

private:
    // Opens a link with the system's program for it; says so, naming the address as a user
    // would type it (shown), when there is none.
    void openLink(const QString &address, const QString &shown);
};
