#include "dialogs/frmProgressBar.h"

#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/frmPelmora.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

frmProgressBar::frmProgressBar(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProgressBar"));
    setWindowTitle(QStringLiteral("Fortschritt"));
    auto *root = new QVBoxLayout(this);
    Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    lblAction = new QLabel(QStringLiteral("Bitte warten ..."));
    lblAction->setObjectName(QStringLiteral("lblAction"));
    grid->addWidget(lblAction, 0, 0, 1, 2);
    progBar = new QProgressBar;
    progBar->setObjectName(QStringLiteral("progBar"));
    progBar->setRange(0, 100);
    progBar->setValue(0);
    grid->addWidget(progBar, 1, 0, 1, 2);
    lbl_min = new QLabel(QStringLiteral("0 %"));
    lbl_min->setObjectName(QStringLiteral("lbl_min"));
    lbl_max = new QLabel(QStringLiteral("100 %"));
    lbl_max->setObjectName(QStringLiteral("lbl_max"));
    lbl_max->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(lbl_min, 2, 0);
    grid->addWidget(lbl_max, 2, 1);
    root->addWidget(Frame1);
    setFixedSize(380, 130);

    try {
        setMainFormTopmost(frmPelmora::instance(), false, true);
        changeLanguage(this);
    } catch (...) {
    }
}

frmProgressBar::~frmProgressBar() = default;

void frmProgressBar::closeEvent(QCloseEvent *e)
{
    restoreMainFormTopmost(frmPelmora::instance());
    e->accept();
    QDialog::done(QDialog::Rejected);
}
