#include "dialogs/frmAbout.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Version.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/Logo.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/UrlOpener.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

ClickableLabel *link(const QString &name)
{
    auto *l = new ClickableLabel;
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setCursor(Qt::PointingHandCursor);
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: #1a4fa0;"));
    return l;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    auto *grid = new QGridLayout(this);
    picLogo = new ClickableLabel;
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(pelmoraLogo(96));
    picLogo->setCursor(Qt::PointingHandCursor);
    picLogo->setAlignment(Qt::AlignTop);
    grid->addWidget(picLogo, 0, 0, 4, 1);
    lblProductName = new QLabel;
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblProductName->setFont(big);
    grid->addWidget(lblProductName, 0, 1);
    lblDescription = new QLabel(QStringLiteral("Entwirft und druckt Cover, Inlays und Etiketten für CDs, DVDs, Videos und Kassetten."));
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    grid->addWidget(lblDescription, 1, 1);
    lblInternet = link(QStringLiteral("lblInternet"));
    grid->addWidget(lblInternet, 2, 1);
    lblEmail = link(QStringLiteral("lblEmail"));
    grid->addWidget(lblEmail, 3, 1);
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdOK);
    grid->addLayout(row, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);

    connect(picLogo, &ClickableLabel::clicked, this, [this] { picLogo_Click(); });
    connect(lblInternet, &ClickableLabel::clicked, this, [this] { lblInternet_Click(); });
    connect(lblEmail, &ClickableLabel::clicked, this, [this] { lblEmail_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { close(); });

    // Opening; failures are ignored.
    try {
        setFormTopmost(this, true, true);
    } catch (...) {
    }
    try {
        changeLanguage(this);
    } catch (...) {
    }
    const QString version = QStringLiteral("%1.%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR);
    try {
        setWindowTitle(gObjLanguageStore().getVar(QStringLiteral("GENERAL.APP_NAME")) + u' ' + version);
        lblProductName->setText(QStringLiteral("Pelmora ") + version);
        lblInternet->setText(gStrHomePageURL);
        lblEmail->setText(QStringLiteral("e-mail:") + gStrSupportAddress);
    } catch (...) {
    }
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

frmAbout::~frmAbout() = default;

void frmAbout::lblInternet_Click() { openLink(gStrHomePageURL, gStrHomePageURL); }

void frmAbout::lblEmail_Click() { openLink(gStrSupportMailto, gStrSupportAddress); }

void frmAbout::openLink(const QString &address, const QString &shown)
{
    try {
        // Where no program takes the address (no browser or mail program installed), the
        // user is told so, as the help is, with the address as the box shows it.
        if (!platform::UrlOpener::get().open(address))
            platform::Prompter::get().msgBox(
                getMessageText(QStringLiteral("MSG_LINK_NOT_OPENED"), QStringLiteral("No program opened @address@."))
                    .replace(QStringLiteral("@address@"), shown),
                platform::MsgStyle::Exclamation, getMessageText(QStringLiteral("MSG"), QStringLiteral("Message")));
    } catch (...) {
    }
}

void frmAbout::closeEvent(QCloseEvent *e)
{
    restoreMainFormTopmost(frmPelmora::instance());
    e->accept();
    QDialog::done(QDialog::Rejected);
}
