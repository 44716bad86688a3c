#include "dialogs/frmTip.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/Logo.h"
#include "mainwindow/frmPelmora.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

frmTip::frmTip(QWidget *parent, RandomSource random) : QDialog(parent), random_(std::move(random))
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tips und Tricks"));
    auto *root = new QVBoxLayout(this);
    auto *panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(0xff, 0xfb, 0xe8));
    panel->setPalette(pal);
    auto *grid = new QGridLayout(panel);
    Picture1 = new ClickableLabel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(pelmoraLogo(64));
    Picture1->setAlignment(Qt::AlignTop);
    grid->addWidget(Picture1, 0, 0, 2, 1);
    lblHeadline = new QLabel(QStringLiteral("Wussten Sie schon ...?"));
    lblHeadline->setObjectName(QStringLiteral("lblHeadline"));
    QFont head = lblHeadline->font();
    head.setBold(true);
    head.setPointSizeF(head.pointSizeF() * 1.3);
    lblHeadline->setFont(head);
    grid->addWidget(lblHeadline, 0, 1);
    lblTipText = new QLabel;
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    grid->addWidget(lblTipText, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(14);
    root->addWidget(panel, 1);

    auto *row = new QHBoxLayout;
    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Tips beim Starten anzeigen"));
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    chkLoadTipsAtStartup->setChecked(true);
    cmdNextTip = new QPushButton(QStringLiteral("&Nächster Tip"));
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    row->addWidget(chkLoadTipsAtStartup);
    row->addStretch();
    row->addWidget(cmdNextTip);
    row->addWidget(cmdOK);
    root->addLayout(row);

    connect(chkLoadTipsAtStartup, &QCheckBox::toggled, this, [this] { chkLoadTipsAtStartup_Click(); });
    connect(cmdNextTip, &QPushButton::clicked, this, [this] { showRandomTip(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { close(); });
    setFixedSize(460, 240);
    Form_Load();
}

frmTip::~frmTip() = default;

void frmTip::Form_Load()
{
    try {
        mIntPreviousTip = -1;
        // A missing or other value keeps the box as designed.
        const QString show = gObjOptionsStore().getVar(QStringLiteral("OPTIONS.SHOWTIPS"));
        if (show == QLatin1String("0"))
            chkLoadTipsAtStartup->setChecked(true);
        else if (show == QLatin1String("1"))
            chkLoadTipsAtStartup->setChecked(false);
        changeLanguage(this);
        if (!random_) {
            auto engine = std::make_shared<std::mt19937>(std::uint32_t(QDateTime::currentMSecsSinceEpoch()));
            random_ = [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
        }
        showRandomTip();
    } catch (...) {
        reportError(QStringLiteral("ERR_SHOW_TIP"), QStringLiteral("frmTip.frmTip_Load"));
    }
}

void frmTip::showRandomTip()
{
    try {
        while (mIntCurrentTip == mIntPreviousTip) {
            const double r = std::clamp(random_(), 0.0, std::nextafter(1.0, 0.0));
            mIntCurrentTip = std::int16_t(r * 12 + 1);
        }
        mIntPreviousTip = mIntCurrentTip;
        lblTipText->setText(gObjLanguageStore().getVar(QStringLiteral("TIP.TIP_") + QString::number(mIntCurrentTip)));
    } catch (...) {
    }
}

void frmTip::chkLoadTipsAtStartup_Click()
{
    try {
        gObjOptionsStore().saveVar(QStringLiteral("OPTIONS.SHOWTIPS"),
                                   chkLoadTipsAtStartup->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    } catch (...) {
    }
}

void frmTip::closeEvent(QCloseEvent *e)
{
    restoreMainFormTopmost(frmPelmora::instance());
    e->accept();
    QDialog::done(QDialog::Rejected);
}
