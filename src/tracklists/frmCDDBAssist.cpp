#include "tracklists/frmCDDBAssist.h"
#include "ui_frmCDDBAssist.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "platform/Rounding.h"
#include "platform/cddb/CdDrives.h"
#include "platform/cddb/CddbComponent.h"
#include "platform/cddb/CddbError.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "texteditor/TextEditorSeams.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QScopedValueRollback>
#include <QStyle>

const QString frmCDDBAssist::kDefaultServer = QStringLiteral("gnudb.gnudb.org");

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString languageText(const QString &key, const QString &defaultText)
{
    return gObjLanguageStore().getVar(key, defaultText);
}

// The cause of a failure of the CD component in the program's language; empty where the
// language file has no text for it.
QString causeText(const platform::CddbError &e)
{
    const QString kilobytes = QString::number(e.limit() / 1024);
    switch (e.cause()) {
    case platform::CddbCause::AnswerTooLarge:
        return gObjLanguageStore()
            .getVar(QStringLiteral("ERRORS.ERR_CDDB_ANSWER_TOO_LARGE"), QStringLiteral("The CDDB server's answer is larger than %1 KB."))
            .arg(kilobytes);
    case platform::CddbCause::EntryTooLarge:
        return gObjLanguageStore()
            .getVar(QStringLiteral("ERRORS.ERR_CDDB_ENTRY_TOO_LARGE"),
                    QStringLiteral("The CD's entry on the CDDB server is larger than %1 KB and was not read."))
            .arg(kilobytes);
    case platform::CddbCause::Other: break;
    }
    return {};
}

// Runs a call of the CD component; its failures become the program's errors with their
// numbers, described in the program's language where the cause is known (that text also goes
// to *cause).
template <class F>
auto component(F &&call, QString *cause = nullptr) -> decltype(call())
{
    try {
        return call();
    } catch (const platform::CddbError &e) {
        const QString text = causeText(e);
        if (cause)
            *cause = text;
        throw AppError(e.number(), text.isEmpty() ? e.description() : text);
    }
}

// The wizard picture of the left column: a disc on a blue ground.
QPixmap wizardPicture(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, QColor(0x1c, 0x3f, 0x8c));
    ground.setColorAt(1, QColor(0x8d, 0xb4, 0xe8));
    p.fillRect(pm.rect(), ground);
    const double r = size.width() * 0.38;
    const QPointF c(size.width() / 2.0, size.height() * 0.62);
    QRadialGradient disc(c, r);
    disc.setColorAt(0.0, QColor(0xf4, 0xf4, 0xf4));
    disc.setColorAt(0.6, QColor(0xc8, 0xd2, 0xdc));
    disc.setColorAt(1.0, QColor(0xe8, 0xe0, 0xf0));
    p.setPen(QPen(QColor(0x60, 0x70, 0x80), 1));
    p.setBrush(disc);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0x1c, 0x3f, 0x8c).lighter(120));
    p.drawEllipse(c, r * 0.16, r * 0.16);
    return pm;
}

} // namespace

frmCDDBAssist::frmCDDBAssist(texteditor::TextEditorHost &editor, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmCDDBAssist>()), mObjEditor(editor)
{
    ui->setupUi(this);
    imgWizard = ui->imgWizard;
    lblDescription = ui->lblDescription;
    lblInsertCD = ui->lblInsertCD;
    fraCDSelect = ui->fraCDSelect;
    lblDrive = ui->lblDrive;
    lstCDdrives = ui->lstCDdrives;
    fraServerSettings = ui->fraServerSettings;
    lblAdress = ui->lblAdress;
    txtCDDBServer = ui->txtCDDBServer;
    lblPort = ui->lblPort;
    txtCDDBPort = ui->txtCDDBPort;
    cmdDefaultServer = ui->cmdDefaultServer;
    lblStatus = ui->lblStatus;
    lblStatus2 = ui->lblStatus2;
    lblStatus3 = ui->lblStatus3;
    lblTitle = ui->lblTitle;
    cboTitle = ui->cboTitle;
    lblTracklist = ui->lblTracklist;
    lstTracklist = ui->lstTracklist;
    fraTakeOver = ui->fraTakeOver;
    chkTitle = ui->chkTitle;
    chkTime = ui->chkTime;
    chkAutoNum = ui->chkAutoNum;
    chkUCase = ui->chkUCase;
    lblPreview = ui->lblPreview;
    txtPreview = ui->txtPreview;
    cmdDelLine = ui->cmdDelLine;
    cmdQuery = ui->cmdQuery;
    cmdCancel = ui->cmdCancel;
    setFixedSize(size());
    ui->imgWizard->setPixmap(wizardPicture(ui->imgWizard->size()));
    ui->cmdDelLine->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));

    connect(ui->cmdQuery, &QPushButton::clicked, this, &frmCDDBAssist::cmdQuery_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmCDDBAssist::cmdCancel_Click);
    connect(ui->cmdDefaultServer, &QPushButton::clicked, this, &frmCDDBAssist::cmdDefaultServer_Click);
    connect(ui->cmdDelLine, &QPushButton::clicked, this, &frmCDDBAssist::cmdDelLine_Click);
    connect(ui->cboTitle, &QComboBox::currentIndexChanged, this, &frmCDDBAssist::cboTitle_Click);
    connect(ui->chkTime, &QCheckBox::toggled, this, &frmCDDBAssist::chkTime_Click);
    connect(ui->chkAutoNum, &QCheckBox::toggled, this, &frmCDDBAssist::buildTrackPreview);
    connect(ui->chkUCase, &QCheckBox::toggled, this, &frmCDDBAssist::buildTrackPreview);
}

frmCDDBAssist::~frmCDDBAssist() = default;

QString frmCDDBAssist::errorSourceName(const QString &procedure) const
{
    return QStringLiteral("frmCDDBAssist.") + procedure;
}

double frmCDDBAssist::formHeightTwips() const { return height() * platform::Screen::get().twipsPerPixelY(); }

void frmCDDBAssist::setFormHeightTwips(double twips)
{
    setFixedHeight(roundToInt(twips / platform::Screen::get().twipsPerPixelY()));
}

void frmCDDBAssist::Form_Load()
{
    try {
        changeLanguage(this);
        ui->cmdQuery->setButtonStyle(4);
        ui->cmdCancel->setButtonStyle(4);
        ui->cmdDelLine->setButtonStyle(4);
        mLngFormHeight = long(roundHalfEven(formHeightTwips()));
        mObjCddb = std::make_unique<platform::CddbComponent>();
        const QStringList drives = component([&] { return mObjCddb->Drives(); });
        for (const QString &d : drives)
            ui->lstCDdrives->addItem(d);
        if (ui->lstCDdrives->count() == 0)
            throw AppError(ErrNo::InvalidCall,
                           getMessageText(QStringLiteral("MSG_NO_CDDRIVE"), QStringLiteral("No CD drive was found.")));
        ui->lstCDdrives->setCurrentIndex(0);
    } catch (...) {
        reportError(QStringLiteral("ERR_CDDB_LOAD"), errorSourceName(QStringLiteral("Form_Load")));
    }
    // Without a drive the wizard still shows its steps; a lookup then says that no drive is
    // ready.
    ui->txtCDDBServer->setText(kDefaultServer);
    ui->txtCDDBPort->setText(QStringLiteral("80"));
    mIntStep = 0;
    mBoolRepeatQuery = false;
    showWizardStep();
}

void frmCDDBAssist::cmdQuery_Click()
{
    if (!mBoolRepeatQuery)
        ++mIntStep;
    showWizardStep();
}

void frmCDDBAssist::cmdCancel_Click() { reject(); }

void frmCDDBAssist::cmdDefaultServer_Click()
{
    ui->txtCDDBServer->setText(kDefaultServer);
    ui->txtCDDBPort->setText(QStringLiteral("80"));
}

void frmCDDBAssist::done(int result)
{
    if (mBoolQuerying) {
        // The lookup ends first; its step then closes the wizard.
        mBoolCancelled = true;
        if (mObjCddb)
            mObjCddb->Abort();
        return;
    }
    Form_Unload();
    QDialog::done(result);
}

void frmCDDBAssist::Form_Unload()
{
    mObjCddb.reset();
    platform::setPointer(platform::Pointer::Default);
}

void frmCDDBAssist::showWizardStep()
{
    Ui::frmCDDBAssist &u = *ui;
    const auto hide = [](std::initializer_list<QWidget *> ws) {
        for (QWidget *w : ws)
            w->setVisible(false);
    };
    const auto show = [](std::initializer_list<QWidget *> ws) {
        for (QWidget *w : ws)
            w->setVisible(true);
    };
    switch (mIntStep) {
    case 0:
        hide({u.fraCDSelect, u.lblInsertCD, u.cboTitle, u.lstTracklist, u.lblTitle, u.lblTracklist, u.fraTakeOver,
              u.cmdDelLine, u.lblStatus, u.lblStatus2, u.lblStatus3});
        setFormHeightTwips(mLngFormHeight * 0.86);
        u.cmdQuery->setFocus();
        break;
    case 1:
        hide({u.lblDescription, u.cboTitle, u.lstTracklist, u.lblTitle, u.lblTracklist, u.fraTakeOver, u.cmdDelLine,
              u.lblStatus, u.lblStatus2, u.lblStatus3});
        show({u.lblInsertCD, u.fraCDSelect});
        u.cmdQuery->setFocus();
        break;
    case 2:
        hide({u.fraCDSelect, u.cboTitle, u.lstTracklist, u.lblTitle, u.lblTracklist, u.fraTakeOver, u.cmdDelLine,
              u.lblInsertCD});
        show({u.lblStatus, u.lblStatus2, u.lblStatus3});
        showQueryStep();
        break;
    case 3: showChoiceStep(); break;
    case 4: doTakeData(); break;
    default: break;
    }
}

void frmCDDBAssist::showQueryStep()
{
    ui->cmdQuery->setEnabled(false);
    ui->lblStatus3->setText(languageText(QStringLiteral("frmCDDBAssist.OTHERTEXT_lblStatus3Caption1"),
                                         QStringLiteral("Please wait - retrieving CD-Data...")));
    mBoolCancelled = false;
    mBoolQuerying = true;
    const bool ok = runCddbQuery();
    mBoolQuerying = false;
    if (mBoolCancelled) {
        done(QDialog::Rejected);
        return;
    }
    if (ok) {
        ++mIntStep;
        showWizardStep();
        mBoolRepeatQuery = false;
        ui->cmdQuery->setFocus();
    } else if (mIntStep != 2) {
        platform::setPointer(platform::Pointer::Default);
        ui->cmdQuery->setEnabled(true);
    } else {
        ui->cmdQuery->setText(languageText(QStringLiteral("frmCDDBAssist.OTHERTEXT_repeatQuery"), QStringLiteral("Repeat")));
        ui->cmdQuery->setEnabled(true);
        mBoolRepeatQuery = true;
        ui->cmdQuery->setFocus();
    }
}

void frmCDDBAssist::showChoiceStep()
{
    Ui::frmCDDBAssist &u = *ui;
    for (QWidget *w : std::initializer_list<QWidget *>{u.imgWizard, u.lblStatus, u.lblStatus2, u.lblStatus3})
        w->setVisible(false);
    u.cmdQuery->setEnabled(true);
    u.cmdQuery->setText(languageText(QStringLiteral("frmCDDBAssist.OTHERTEXT_cmdQueryCaption2"), QStringLiteral("Finish")));
    u.fraCDSelect->setVisible(false);
    for (QWidget *w : std::initializer_list<QWidget *>{u.cboTitle, u.lstTracklist, u.lblTitle, u.lblTracklist,
                                                       u.fraTakeOver, u.cmdDelLine})
        w->setVisible(true);
    setFormHeightTwips(formHeightTwips() / 0.86);
    u.cmdCancel->move(u.cmdCancel->x(), u.cmdDelLine->y());
    u.cmdQuery->move(u.cmdQuery->x(), u.cmdDelLine->y());
    u.cmdQuery->setFocus();
    buildTrackPreview();
}

bool frmCDDBAssist::runCddbQuery()
{
    QString cause;
    try {
        ui->lstTracklist->clear();
        {
            const QScopedValueRollback<bool> filling(mBoolFilling, true);
            ui->cboTitle->clear();
        }
        bool numeric = false;
        const long port = ui->txtCDDBPort->text().trimmed().toLong(&numeric);
        if (!numeric)
            throw AppError(ErrNo::TypeMismatch);
        component([&] { mObjCddb->SetServer(ui->txtCDDBServer->text(), port, 60); });
        platform::setPointer(platform::Pointer::Hourglass);
        const QString drive = ui->lstCDdrives->currentText();
        if (drive.isEmpty() || !platform::CdDrives::get().holdsDisc(drive)) {
            // Without a drive there is none to name.
            QString text = drive.isEmpty()
                ? getMessageText(QStringLiteral("MSG_NO_CDDRIVE"), QStringLiteral("No CD drive was found."))
                : getMessageText(QStringLiteral("MSG_CDDRIVE_NOT_AVAILABLE"), QStringLiteral("CD-Drive not available"));
            text.replace(QStringLiteral("@drive@"), drive, Qt::CaseSensitive);
            platform::Prompter::get().msgBox(text, platform::MsgStyle::Information | platform::MsgStyle::OkOnly,
                                             getMessageText(QStringLiteral("MSG"), QString()));
            mIntStep = 0;
            showWizardStep();
            mIntStep = 1;
            showWizardStep();
            return false;
        }
        component([&] { mObjCddb->QueryDisc(drive); }, &cause);
        ui->lstTracklist->clear();
        const QList<platform::CddbDisc> &discs = mObjCddb->Discs();
        {
            const QScopedValueRollback<bool> filling(mBoolFilling, true);
            for (const platform::CddbDisc &d : discs)
                ui->cboTitle->addItem(d.DiscArtist() + QStringLiteral(" - ") + d.DiscTitle());
        }
        platform::setPointer(platform::Pointer::Default);
        if (discs.isEmpty())
            throw AppError(ErrNo::SubscriptOutOfRange);
        fillTrackList(discs.first());
        ui->lblStatus3->setText(QStringLiteral("OK"));
        if (ui->cboTitle->count() > 0) {
            {
                const QScopedValueRollback<bool> filling(mBoolFilling, true);
                ui->cboTitle->setCurrentIndex(0);
            }
            cboTitle_Click();
        }
        return true;
    } catch (...) {
        const FailureInfo f = currentFailure();
        ui->lstTracklist->clear();
        ui->lstTracklist->addItem(QStringLiteral("ERROR: ") + f.description);
        QString status;
        switch (f.number) {
        case platform::CddbErr::ServerNotAvailable:
            status = getErrorText(QStringLiteral("ERR_CDDB_SERVERNOTAVAILABLE"), QStringLiteral("ERROR"));
            break;
        case platform::CddbErr::DiscNotFound:
            status = getErrorText(QStringLiteral("ERR_CDDB_CDNOTFOUND"), QStringLiteral("CD not found"));
            if (!cause.isEmpty()) // the disc is known, but no entry of it could be read
                status += kCrLf + cause;
            break;
        case platform::CddbErr::ServerBusy:
            status = getErrorText(QStringLiteral("ERR_CDDB_SERVERBUSY"), QStringLiteral("ERROR"));
            break;
        default:
            status = getErrorText(QStringLiteral("ERR_CDDB_OTHER"), QStringLiteral("ERROR")) + kCrLf + f.description
                     + QStringLiteral(" (") + QString::number(f.number) + QStringLiteral(")");
            break;
        }
        ui->lblStatus3->setText(status);
        return false;
    }
}

void frmCDDBAssist::cboTitle_Click()
{
    if (mBoolFilling || !mObjCddb)
        return;
    const int k = ui->cboTitle->currentIndex();
    const QList<platform::CddbDisc> &discs = mObjCddb->Discs();
    if (k < 0 || k >= discs.size())
        return;
    fillTrackList(discs[k]);
}

void frmCDDBAssist::chkTime_Click()
{
    cboTitle_Click();
    buildTrackPreview();
}

void frmCDDBAssist::fillTrackList(const platform::CddbDisc &disc)
{
    ui->lstTracklist->clear();
    for (const platform::CddbTrack &t : disc.DiscTracks()) {
        if (ui->chkTime->isChecked())
            ui->lstTracklist->addItem(t.TrackTitle() + u' ' + t.TrackTime());
        else
            ui->lstTracklist->addItem(t.TrackTitle());
    }
}

void frmCDDBAssist::buildTrackPreview()
{
    if (ui->lstTracklist->count() == 0)
        return;
    QString preview;
    if (ui->chkAutoNum->isChecked())
        preview = QStringLiteral("1. ");
    preview += ui->lstTracklist->item(0)->text();
    if (ui->chkUCase->isChecked())
        preview = preview.toUpper();
    ui->txtPreview->setText(preview);
}

void frmCDDBAssist::cmdDelLine_Click()
{
    QListWidget *list = ui->lstTracklist;
    const int row = list->currentRow();
    if (row >= 0 && list->item(row)->isSelected())
        delete list->takeItem(row);
    const int last = list->count() - 1;
    if (last >= 0) {
        list->setCurrentRow(last);
        list->item(last)->setSelected(true);
    }
}

void frmCDDBAssist::doTakeData()
{
    try {
        const QString before = mObjEditor.text();
        QString s;
        if (!before.isEmpty())
            s = kCrLf;
        if (ui->chkTitle->isChecked())
            s += ui->cboTitle->currentText() + kCrLf;
        QListWidget *list = ui->lstTracklist;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            if (ui->chkUCase->isChecked())
                item->setText(item->text().toUpper());
            if (ui->chkAutoNum->isChecked())
                s += QString::number(i + 1) + QStringLiteral(". ") + item->text() + kCrLf;
            else
                s += item->text() + kCrLf;
        }
        mObjEditor.setText(before + s);
        accept();
    } catch (...) {
        reportError(QStringLiteral("ERR_TAKECDDBDATA"), errorSourceName(QStringLiteral("doTakeData")));
    }
}
