// Starts the program offscreen on a temporary program folder, opens the cover-format editor
// on a format of the user's own and the image folder browser on a folder of pictures, and
// saves what each window shows as a PNG file.
//
//   pelmora_screenshot_coverformats <resources folder> <editor.png> <browser.png>
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "coverformats/frmBrowse.h"
#include "coverformats/frmEditCover.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>

namespace {

// A landscape photo: sky, sea and a low sun.
QImage seaside(QColor sky, QColor sea)
{
    QImage img(800, 600, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 600);
    g.setColorAt(0, sky.darker(160));
    g.setColorAt(0.6, sky);
    g.setColorAt(0.61, sea);
    g.setColorAt(1, sea.darker(180));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 160));
    p.drawEllipse(QPointF(560, 330), 60, 60);
    return img;
}

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <editor.png> <browser.png>", 3, 3);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    const QString pictures = session.home() + QStringLiteral("/Pictures");
    QDir().mkpath(pictures);
    seaside(QColor(90, 140, 220), QColor(30, 90, 140)).save(pictures + QStringLiteral("/Beach FRONT.jpg"), "JPEG", 90);
    seaside(QColor(230, 120, 90), QColor(60, 50, 110)).save(pictures + QStringLiteral("/Evening BACK.jpg"), "JPEG", 90);
    seaside(QColor(150, 190, 160), QColor(40, 110, 90)).save(pictures + QStringLiteral("/Harbour LABEL.jpg"), "JPEG", 90);
    seaside(QColor(200, 200, 210), QColor(90, 90, 100)).save(pictures + QStringLiteral("/Mist.bmp"), "BMP");
    QFile own(session.home() + QStringLiteral("/data/mycover.dat"));
    if (!own.open(QIODevice::WriteOnly))
        return 1;
    own.write("Slim case booklet;12;24;1,5;2;1,5;2;0;0;0;0;1,5;1,5;1;2\r\n");
    own.close();
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=1\r\nLASTMEDIUM=5\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=0\r\n"
                              "STANDARDPATH=" + pictures.toUtf8() + "\r\n"))
        return 1;

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    auto *window = qobject_cast<frmPelmora *>(Main(hooks));
    if (!window)
        return 1;
    screenshot::settle();

    // The editor on the format of the user's own, as its Edit button opens it.
    gObjCover().setEditedIndex(0);
    gObjCover().setProfileIndex(0);
    auto *editor = new frmEditCover(window);
    editor->setWindowTitle(gObjLanguageStore().getVar(QStringLiteral("frmEditCover.frmEditCoverEdit"), QStringLiteral("Edit Cover")));
    editor->show();
    screenshot::settle();
    bool saved = editor->grab().save(session.argument(2), "PNG");
    delete editor;

    auto *browser = new frmBrowse(window);
    browser->show();
    browser->lstFiles->setCurrentRow(1);
    screenshot::settle();
    saved = browser->grab().save(session.argument(3), "PNG") && saved;
    delete browser;
    delete window;
    return saved ? 0 : 1;
}
