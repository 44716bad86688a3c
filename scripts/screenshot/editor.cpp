// Starts the program offscreen on a temporary program folder, opens the graphics editor on a
// side with a background picture, a text and a focused picture, and saves it as a PNG file.
//
//   pelmora_screenshot_editor <resources folder> <output folder>
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/libInitialize.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <resources folder> <output folder>\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    if (!screenshot::makeProgramFolder(home))
        return 1;
    QApplication app(argc, argv);

    const QString resources = QString::fromLocal8Bit(argv[1]);
    if (!screenshot::seedProgramFolder(home, resources))
        return 1;
    QFile options(home.path() + QStringLiteral("/data/pelmora.dat"));
    if (!options.open(QIODevice::WriteOnly))
        return 1;
    options.write("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=0\r\nLASTMEDIUM=0\r\n");
    options.close();

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    auto *window = qobject_cast<frmPelmora *>(Main(hooks));
    if (!window)
        return 1;
    window->timTip->stop();
    screenshot::settle();

    // The background: an evening sky.
    QImage sky(1417, 1417, QImage::Format_RGB32);
    {
        QPainter p(&sky);
        QLinearGradient g(0, 0, 0, sky.height());
        g.setColorAt(0, QColor(30, 40, 110));
        g.setColorAt(1, QColor(240, 140, 60));
        p.fillRect(sky.rect(), g);
    }
    igxBackup[0]->setQImage(sky, platform::kNoUndo);
    igxBackup[0]->clearUndo();

    auto *editor = new frmGrafik(nullptr);
    editor->show();
    screenshot::settle();
    auto &model = *gObjMoveableObjects();
    clsTextObject text;
    text.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
    text.setFontSize(48);
    text.mlngColor = 0xFFFFFF;
    text.mstrText = QStringLiteral("Summer Songs");
    text.TextToImgX(model.objEffects.get());
    model.AddClsTextObject(text);
    const QString textKey = model.mStrFocusedObjectIndex;
    model.object(textKey)->mObjPointMousePos->mLngX = 60;
    model.object(textKey)->mObjPointMousePos->mLngY = 60;
    editor->adaptObjectSizeToZoom(textKey);

    QImage sun(300, 300, QImage::Format_ARGB32);
    sun.fill(Qt::transparent);
    {
        QPainter p(&sun);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 220, 80));
        p.setPen(Qt::NoPen);
        p.drawEllipse(sun.rect().adjusted(10, 10, -10, -10));
    }
    auto picture = platform::ImgxImage::create();
    picture->setQImage(sun, platform::kNoUndo);
    model.AddClsPictureObject(picture);
    const QString pictureKey = model.mStrFocusedObjectIndex;
    editor->adaptObjectSizeToZoom(pictureKey);
    model.object(pictureKey)->mObjPointMousePos->mLngX = 380;
    model.object(pictureKey)->mObjPointMousePos->mLngY = 300;
    editor->igxMain->refresh();
    screenshot::settle();
    model.showFocus(*editor->igxMain);

    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    QPixmap shot = editor->grab();
    {
        // The focus marks are drawn on the canvas outside its paint: put them into the shot.
        QPainter p(&shot);
        p.drawImage(editor->igxMain->mapTo(editor, QPoint(0, 0)), editor->igxMain->renderToImage());
    }
    const bool ok = shot.save(out + QStringLiteral("/editor.png"), "PNG");
    delete editor;
    delete window;
    return ok ? 0 : 1;
}
