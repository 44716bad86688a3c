#include "dialogs/frmUpdateCheck.h"

#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Version.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "core/modURLDownload.h"
#include "dialogs/UpdateReply.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UrlOpener.h"

#include <QCloseEvent>
#include <QFile>
#include <QScopeGuard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Puts the downloader's own limits back when the check is over.
class LimitsScope {
public:
    explicit LimitsScope(const platform::DownloadLimits &limits)
        : downloader_(platform::Downloader::get()), saved_(downloader_.limits())
    {
        downloader_.setLimits(limits);
    }
    ~LimitsScope() { downloader_.setLimits(saved_); }

private:
    platform::Downloader &downloader_;
    platform::DownloadLimits saved_;
};

} // namespace

platform::DownloadLimits &frmUpdateCheck::downloadLimits()
{
    static platform::DownloadLimits limits{15 * 1000, 64 * 1024, 10};
    return limits;
}

QString frmUpdateCheck::versionFileAddress()
{
    QString home = gStrHomePageURL;
    while (home.endsWith(u'/'))
        home.chop(1);
    return home + QStringLiteral("/version.txt");
}

QString frmUpdateCheck::programVersion()
{
    return QStringLiteral("%1.%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR);
}

frmUpdateCheck::frmUpdateCheck(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUpdateCheck"));
    setWindowTitle(QStringLiteral("Update"));
    auto *root = new QVBoxLayout(this);
    Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *frame = new QVBoxLayout(Frame1);
    lblCheckUpateInfo = new QLabel(QString::fromUtf8(
        "Bitte haben Sie etwas Geduld. Es wird geprüft, ob eine neue Version von Pelmora zur Verfügung steht. "
        "Bitte stellen Sie sicher, dass Sie online sind."));
    lblCheckUpateInfo->setObjectName(QStringLiteral("lblCheckUpateInfo"));
    // The server's text is shown as it stands, never as markup, and never widens the window.
    lblCheckUpateInfo->setTextFormat(Qt::PlainText);
    lblCheckUpateInfo->setWordWrap(true);
    lblCheckUpateInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCheckUpateInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    frame->addWidget(lblCheckUpateInfo, 1);
    progBar = new QProgressBar;
    progBar->setObjectName(QStringLiteral("progBar"));
    progBar->setRange(0, 100);
    progBar->setValue(0);
    progBar->setTextVisible(false);
    frame->addWidget(progBar);
    root->addWidget(Frame1, 1);

    auto *buttons = new QHBoxLayout;
    cmdRetry = new QPushButton(QString::fromUtf8("Prüfen"));
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdUpdate = new QPushButton(QStringLiteral("aktuelle Version jetzt herunterladen"));
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    cmdUpdate->setVisible(false);
    cmdCancel = new QPushButton(QStringLiteral("Fenster schliessen"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdUpdate);
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    root->addLayout(buttons);
    for (QPushButton *b : {cmdRetry, cmdUpdate, cmdCancel})
        b->setAutoDefault(false);

    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("timer"));

    connect(cmdRetry, &QPushButton::clicked, this, [this] { cmdRetry_Click(); });
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    try {
        changeLanguage(this);
    } catch (...) {
    }
    setFixedSize(460, 220);
}

frmUpdateCheck::~frmUpdateCheck() = default;

void frmUpdateCheck::stepProgress()
{
    if (progBar->maximum() - 25 < progBar->value())
        progBar->setValue(progBar->maximum());
    else
        progBar->setValue(progBar->value() + 25);
    progBar->repaint();
}

void frmUpdateCheck::cmdRetry_Click()
{
    checkUpdate();
    cmdRetry->setText(gObjLanguageStore().getVar(QStringLiteral("frmUpdateCheck.cmdRetryNEWTEXT"), QStringLiteral("Retry")));
}

void frmUpdateCheck::cmdUpdate_Click()
{
    try {
        platform::UrlOpener::get().open(gStrHomePageURL);
    } catch (...) {
    }
}

void frmUpdateCheck::checkUpdate()
{
    try {
        progBar->setValue(0);
        stepProgress();
        cmdRetry->setEnabled(false);
        platform::setPointer(platform::Pointer::Hourglass);

        QString local;
        {
            // While it downloads, the window takes input: closing it stops the download.
            const LimitsScope limits(downloadLimits());
            platform::Downloader &downloader = platform::Downloader::get();
            downloader.setProgressHandler([](qint64, qint64) {});
            mBoolChecking = true;
            mBoolCancelled = false;
            const auto done = qScopeGuard([&] {
                mBoolChecking = false;
                downloader.setProgressHandler({});
            });
            try {
                local = URLDownload(versionFileAddress(), appPath() + QStringLiteral("/data"), 3);
            } catch (...) {
                if (!mBoolCancelled)
                    throw;
            }
        }
        if (mBoolCancelled) {
            platform::setPointer(platform::Pointer::Default);
            return;
        }
        stepProgress();

        // Only the file this download produced is read: a failed one leaves no answer.
        QFile file(local);
        if (!local.isEmpty() && file.open(QIODevice::ReadOnly)) {
            stepProgress();
            // Read first, shown once: thousands of lines cost no more than one.
            const UpdateReply reply = readUpdateReply(file.readAll(), programVersion());
            file.close();
            if (reply.lines > 0) {
                clsEnvAll &lang = gObjLanguageStore();
                if (reply.lastIsOwn) {
                    lblCheckUpateInfo->setText(lang.getVar(QStringLiteral("frmUpdateCheck.lblNoUpdateAvailable"),
                                                           QStringLiteral("You have the current version installed")));
                } else {
                    QString info = lang.getVar(QStringLiteral("frmUpdateCheck.lblUpdateAvailable"),
                                               QStringLiteral("A newer version of Pelmora is available. Please visit our website."));
                    info.replace(QStringLiteral("@version@"), reply.lastLine);
                    info.replace(QStringLiteral("@website@"), gStrHomePageURL);
                    lblCheckUpateInfo->setText(info);
                }
                if (reply.anotherVersion)
                    cmdUpdate->setVisible(true);
            }
            // A step for each line, as far as the bar goes.
            for (int i = 0; i < reply.lines && progBar->value() < progBar->maximum(); ++i)
                stepProgress();
            cmdRetry->setEnabled(true);
        } else {
            progBar->setValue(0);
            platform::Prompter::get().msgBox(
                gObjLanguageStore().getVar(QStringLiteral("ERRORS.ERR_UPDATECHECK"),
                                           QStringLiteral("Pelmora was not able to detect a possible update. Please "
                                                          "ensure, that you are online and try again.")),
                platform::MsgStyle::OkOnly, QStringLiteral("Pelmora"));
            cmdRetry->setEnabled(true);
        }
        platform::setPointer(platform::Pointer::Default);
    } catch (...) {
        platform::setPointer(platform::Pointer::Default);
        reportError(QStringLiteral("ERR_UPDATECHECK_2"), QStringLiteral("frmUpdateCheck.checkUpdate"));
    }
}

void frmUpdateCheck::closeEvent(QCloseEvent *e)
{
    if (mBoolChecking) {
        mBoolCancelled = true;
        platform::Downloader::get().abort();
    }
    restoreMainFormTopmost(frmPelmora::instance());
    e->accept();
    QDialog::done(QDialog::Rejected);
}
