// Starts the program offscreen on a temporary program folder, opens the graphics editor on a
// side with a background picture, a text and a focused picture, and saves it as a PNG file;
// then the rotate dialog over the editor with a turned picture on a grey background, and the
// new-background dialog with a rainbow gradient in its preview.
//
//   pelmora_screenshot_editor <resources folder> <output folder>
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/libInitialize.h"
#include "editor/frmGrafik.h"
#include "editor/frmNewCover.h"
#include "editor/frmRotate.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/widgets/ButtonPlus.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QFont>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace {

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=0\r\nLASTMEDIUM=0\r\n"))
        return 1;

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

    const QString out = session.argument(2);
    QDir().mkpath(out);
    QPixmap shot = editor->grab();
    {
        // The focus marks are drawn on the canvas outside its paint: put them into the shot.
        QPainter p(&shot);
        p.drawImage(editor->igxMain->mapTo(editor, QPoint(0, 0)), editor->igxMain->renderToImage());
    }
    bool ok = shot.save(out + QStringLiteral("/editor.png"), "PNG");

    // A grey background and a photo turned by 30 degrees, the rotate dialog over the editor.
    model.mStrFocusedObjectIndex.clear();
    editor->doGrayscale();
    QImage photo(420, 280, QImage::Format_ARGB32);
    {
        QPainter p(&photo);
        QLinearGradient g(0, 0, photo.width(), 0);
        g.setColorAt(0, QColor(40, 120, 200));
        g.setColorAt(1, QColor(120, 200, 90));
        p.fillRect(photo.rect(), g);
        p.setPen(QPen(Qt::white, 12));
        p.drawRect(photo.rect().adjusted(6, 6, -6, -6));
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 40, QFont::Bold));
        p.drawText(photo.rect(), Qt::AlignCenter, QStringLiteral("Live 2026"));
    }
    auto turned = platform::ImgxImage::create();
    turned->setQImage(photo, platform::kNoUndo);
    model.AddClsPictureObject(turned);
    const QString turnedKey = model.mStrFocusedObjectIndex;
    editor->adaptObjectSizeToZoom(turnedKey);
    model.object(turnedKey)->mObjPointMousePos->mLngX = 120;
    model.object(turnedKey)->mObjPointMousePos->mLngY = 260;
    frmRotate::doRotate(30);
    // As after a click on the picture.
    for (QWidget *b : {static_cast<QWidget *>(editor->cmdRotate), static_cast<QWidget *>(editor->cmdRotateLeft),
                       static_cast<QWidget *>(editor->cmdRotateRight)})
        b->setEnabled(true);
    editor->igxMain->refresh();
    screenshot::settle();
    model.showFocus(*editor->igxMain);
    auto *rotate = new frmRotate(editor);
    rotate->txtAngle->setText(QStringLiteral("30"));
    rotate->show();
    screenshot::settle();
    QPixmap rotateShot = editor->grab();
    {
        QPainter p(&rotateShot);
        p.drawImage(editor->igxMain->mapTo(editor, QPoint(0, 0)), editor->igxMain->renderToImage());
        const QPixmap dialog = rotate->grab();
        const QPoint at(rotateShot.width() - dialog.width() - 140, 90);
        p.fillRect(QRect(at, dialog.size()).adjusted(-4, -24, 4, 4), QColor(60, 60, 70));
        p.setPen(Qt::white);
        p.drawText(QRect(at.x(), at.y() - 22, dialog.width(), 20), Qt::AlignVCenter, rotate->windowTitle());
        p.drawPixmap(at, dialog);
    }
    rotate->hide();
    ok = rotateShot.save(out + QStringLiteral("/editor-rotate.png"), "PNG") && ok;

    // The new-background dialog: a rainbow from the top left to the bottom right.
    auto *newCover = new frmNewCover(editor);
    newCover->chkGradient->click();
    newCover->chkRainbow->click();
    newCover->cmdDownRight->click();
    newCover->show();
    screenshot::settle();
    ok = newCover->grab().save(out + QStringLiteral("/new-background.png"), "PNG") && ok;
    newCover->hide();
    delete editor;
    delete window;
    return ok ? 0 : 1;
}
