#pragma once
// The main window. For now a plain window that shows the program is up and localised.
#include <QMainWindow>

class QLabel;

class frmPelmora : public QMainWindow {
    Q_OBJECT
public:
    explicit frmPelmora(QWidget *parent = nullptr);

private:
    QLabel *lblWelcome;
};
