// Starts the main window offscreen on a temporary program folder, puts a picture on each
// side and saves what the window shows as a PNG file.
//
//   pelmora_screenshot <resources folder> <output.png>
#include "core/libInitialize.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "mainwindow/frmQuickLoad.h"
#include "platform/imaging/ImgxImage.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

// A front cover: an evening sky over hills with a title.
QImage frontCover()
{
    QImage img(600, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(24, 32, 84));
    sky.setColorAt(0.55, QColor(196, 84, 112));
    sky.setColorAt(1, QColor(250, 176, 96));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 150));
    p.drawEllipse(QPointF(410, 330), 70, 70);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills(QPointF(0, 600));
        for (int x = 0; x <= 600; x += 10)
            hills.lineTo(x, 390 + layer * 55 + 30 * std::sin((x + layer * 130) / (70.0 + layer * 25)));
        hills.lineTo(600, 600);
        p.setBrush(QColor(40 - layer * 10, 24 + layer * 6, 60 - layer * 12));
        p.drawPath(hills);
    }
    QFont title(QStringLiteral("DejaVu Sans"), 40, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 244, 230));
    p.drawText(QRect(0, 60, 600, 80), Qt::AlignCenter, QStringLiteral("EVENING HILLS"));
    QFont sub(QStringLiteral("DejaVu Sans"), 18);
    p.setFont(sub);
    p.drawText(QRect(0, 130, 600, 40), Qt::AlignCenter, QStringLiteral("twelve songs"));
    return img;
}

// A disc label: rings around the hub.
QImage discLabel()
{
    QImage img(600, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(300, 300, 300);
    g.setColorAt(0, QColor(250, 240, 210));
    g.setColorAt(0.5, QColor(230, 150, 90));
    g.setColorAt(1, QColor(120, 40, 70));
    p.fillRect(img.rect(), g);
    p.setBrush(Qt::NoBrush);
    for (int r = 120; r < 300; r += 18) {
        p.setPen(QPen(QColor(255, 255, 255, 60), 4));
        p.drawEllipse(QPointF(300, 300), r, r);
    }
    QFont title(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(60, 20, 40));
    p.drawText(QRect(0, 430, 600, 60), Qt::AlignCenter, QStringLiteral("EVENING HILLS"));
    return img;
}

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output.png> [<quick-load.png>]", 2, 3);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    // The cut border and the disc outlines shown, no tip of the day.
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=1\r\nPRINTBORDER=1\r\nBORDERCOLOR=8421504\r\n"
                              "LASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n"))
        return 1;

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    QWidget *shown = Main(hooks);
    auto *window = qobject_cast<frmPelmora *>(shown);
    if (!window)
        return 1;

    const QImage pictures[2] = {frontCover(), discLabel()};
    for (std::int16_t side = 0; side < 2; ++side) {
        auto image = platform::ImgxImage::create();
        image->setQImage(pictures[side], platform::kNoUndo);
        window->loadCover(side, *image);
    }
    window->adjustSize();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();

    const QString out = session.argument(2);
    QDir().mkpath(QFileInfo(out).path());
    bool saved = window->grab().save(out, "PNG");
    if (session.argumentCount() == 3) {
        // The quick-load window, as its command opens it over the sides just loaded.
        frmQuickLoad *quick = frmQuickLoad::open(*window);
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        saved = quick->grab().save(session.argument(3), "PNG") && saved;
        quick->close();
    }
    delete window;
    return saved ? 0 : 1;
}
