#include "mainwindow/frmPelmora.h"

#include "core/libLanguage.h"

#include <QLabel>

frmPelmora::frmPelmora(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmPelmora"));
    setWindowTitle(QStringLiteral("Pelmora"));
    lblWelcome = new QLabel(this);
    lblWelcome->setObjectName(QStringLiteral("lblWelcome"));
    lblWelcome->setText(QStringLiteral("Pelmora"));
    lblWelcome->setAlignment(Qt::AlignCenter);
    setCentralWidget(lblWelcome);
    resize(640, 480);
    changeLanguage(this);
}
