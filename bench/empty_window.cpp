// An empty Qt window, the yardstick of the program's start-up in bench/compare-startup:
// what any Qt Widgets program costs before it does anything of its own.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty Qt window"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
