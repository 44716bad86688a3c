#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel w(QStringLiteral("Pelmora"));
    w.setObjectName(QStringLiteral("frmPelmora"));
    w.resize(480, 320);
    w.show();
    return app.exec();
}
