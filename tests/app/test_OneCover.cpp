// One cover from the start of the program to the printed sheet: the program started as its
// main() starts it, a picture on each side, a track list of MP3 files set as a text in the
// graphics editor, and the printed PDF compared with the program's own drawing of the sides.
#include "app/AppStart.h"
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "core/libInitialize.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/clsPrinter.h"
#include "mainwindow/frmPelmora.h"
#include "platform/print/PrintLibrary.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "texteditor/frmTextedit.h"
#include "tracklists/frmDirMp3.h"
#include "tracklists/FolderList.h"

#include "mainwindow/MainWindowTestSupport.h"
#include "tracklists/TrackListTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QtMath>

#include <cmath>
#include <deque>

namespace {

// Works each window that becomes modal with the next queued action, once the window's own
// event loop runs; with no action left the test fails and the window is closed.
class ModalActions : public QObject {
public:
    ModalActions() { qApp->installEventFilter(this); }
    ~ModalActions() override { qApp->removeEventFilter(this); }

    void then(const char *className, std::function<void(QDialog &)> action)
    {
        queued.push_back({QByteArray(className), std::move(action)});
    }
    std::deque<std::pair<QByteArray, std::function<void(QDialog &)>>> queued;
    QStringList worked;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            if (w->isWindow() && w->isModal())
                QTimer::singleShot(0, this, [this] { workActiveModal(); });
        }
        return false;
    }

private:
    void workActiveModal()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const QByteArray name = dialog->metaObject()->className();
        worked << QString::fromLatin1(name);
        if (queued.empty() || queued.front().first != name) {
            ADD_FAILURE() << "an unexpected modal window: " << name.constData();
            dialog->reject();
            return;
        }
        auto action = std::move(queued.front().second);
        queued.pop_front();
        action(*dialog);
    }
};

struct Song {
    const char *artist;
    const char *title;
    int seconds;
};

// The fraction of pixels of a region whose colour differs in any channel by more than tol.
double differingShare(const QImage &a, const QImage &b, const QRect &region, int tol)
{
    qint64 differing = 0, all = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            ++all;
            if (std::abs(qRed(p) - qRed(q)) > tol || std::abs(qGreen(p) - qGreen(q)) > tol
                || std::abs(qBlue(p) - qBlue(q)) > tol)
                ++differing;
        }
    return all ? double(differing) / double(all) : 0.0;
}

int channelDistance(QRgb p, QRgb q)
{
    return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
}

constexpr int kDpi = 300;

class OneCover : public mainwindowtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The program's own windows, not the main-window tests' recording stand-in.
        platform::Seam<MainWindowServices>::reset();
        installProgramWindows();
        runner = &platform::Seam<tracklists::ModalRunner>::install(std::make_unique<tracktest::ScriptedRunner>());
        ASSERT_TRUE(out.isValid());
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"Office", "PDF"}, kDpi));
    }
    void TearDown() override
    {
        if (QWidget *editor = frmGrafik::instance())
            delete editor;
        platform::Seam<platform::PrintLibrary>::reset();
        platform::Seam<tracklists::ModalRunner>::reset();
        MainWindowTest::TearDown();
    }

    // An MP3 file of a tone with an ID3v1 tag, made by lame.
    bool mp3(const QString &file, const Song &song)
    {
        const int rate = 22050;
        QByteArray samples;
        for (int i = 0; i < rate * song.seconds; ++i) {
            const auto v = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
            samples.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
        }
        writeFile("tone.raw", samples);
        QProcess lame;
        lame.setStandardErrorFile(QProcess::nullDevice());
        lame.start("lame", {"--quiet", "-r", "-s", "22.05", "--bitwidth", "16", "--signed",
                                          "--little-endian", "-m", "m", "-b", "32", "--id3v1-only", "--tt",
                                          song.title, "--ta", song.artist, path("tone.raw"), file});
        return lame.waitForFinished(20000) && lame.exitCode() == 0;
    }

    // A picture of two colours, the second one in the top-left quarter.
    QString picture(const QString &relative, QColor ground, QColor corner) const
    {
        QImage img(640, 640, QImage::Format_RGB32);
        img.fill(ground);
        QPainter(&img).fillRect(0, 0, 320, 320, corner);
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).path());
        EXPECT_TRUE(img.save(p, "PNG"));
        return p;
    }

    // A side as the printer gets it: its picture fitted to the format, with the editor's
    // objects drawn onto it when withObjects is set.
    QImage side(int s, bool withObjects) const
    {
        auto copy = platform::ImgxImage::create();
        copy->importImage(*igxBackup[size_t(s)], platform::kNoUndo);
        adaptImageSizeOnInit(*copy, s);
        const auto &model = gObjPartMoveableObjects[size_t(s)];
        if (withObjects && gBoolPartHasObjects[size_t(s)] && model)
            for (const auto &[key, value] : model->colObjectLayers)
                if (const auto o = model->object(value))
                    o->DrawToImgX(*copy, model->dblZoomFactor, model->objEffects.get());
        return copy->qimage().convertToFormat(QImage::Format_RGB32);
    }

    ModalActions modals;
    tracktest::ScriptedRunner *runner = nullptr;
    QTemporaryDir out;
};

} // namespace

TEST_F(OneCover, FromStartToPrintedSheet)
{
    for (const char *tool : {"lame", "pdfinfo", "pdftoppm"})
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty()) << tool << " is missing: run scripts/install-deps";
    const Song songs[] = {{"Aurora", "First Light", 2}, {"Aurora", "Harbour", 3}, {"Brass Band", "Late Train", 4}};
    QDir().mkpath(path("music"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(mp3(path(QStringLiteral("music/%1.mp3").arg(i + 1)), songs[i]));

    options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\nLASTMEDIUM=1\r\nSTANDARDPATH=" + path("pictures").toUtf8()
            + "\r\nPRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\nPRINTMARGIN=1\r\n"
              "MARGINTYPE=2\r\n");

    // The start, as main() does it, with the tip of the day switched off.
    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    window.reset(qobject_cast<frmPelmora *>(Main(hooks)));
    ASSERT_TRUE(window);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(modals.worked.isEmpty()) << modals.worked.join(' ').toStdString();

    // The CD, its front cover on the left and its back inlay on the right.
    window->optMedia[0]->click();
    EXPECT_EQ(gObjCover().aktMedium(), 0);
    window->lstCoverNames[0]->setCurrentRow(0);
    window->lstCoverNames[1]->setCurrentRow(2);
    ASSERT_EQ(window->lstCoverNames[0]->currentItem()->text(), "CD front cover");
    ASSERT_EQ(window->lstCoverNames[1]->currentItem()->text(), "CD back inlay");

    // A picture through the open dialog on the left, one dropped on the right.
    choosers->files.push_back(platform::FileDialogResult{picture("pictures/sunrise.png", QColor(250, 230, 170), QColor(200, 40, 40)), 1});
    window->pic_Click(0);
    mainwindowtest::dropFiles(window->picVisible[1], {picture("pictures/sea.png", QColor(40, 90, 200), QColor(60, 180, 90))});
    EXPECT_EQ(window->lstCoverNames[0]->currentRow(), 0);
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 2);
    EXPECT_EQ(previewColor(0, 0.75, 0.75), QColor(250, 230, 170));
    EXPECT_EQ(previewColor(1, 0.75, 0.75), QColor(40, 90, 200));

    // The graphics editor on the left side, a text from the track list of the MP3 folder.
    window->cmdEditor_Click(0);
    frmGrafik *editor = frmGrafik::instance();
    ASSERT_TRUE(editor);
    runner->then<frmDirMp3>([this](frmDirMp3 &d) {
        d.Dir1->setPath(path("music"));
        d.cmdSelectAllFiles->click();
        d.cmdOK->click();
    });
    QString trackList;
    modals.then("frmTextedit", [&trackList](QDialog &dialog) {
        auto &textEditor = static_cast<frmTextedit &>(dialog);
        textEditor.cmdListMP3->click();
        trackList = textEditor.host().text();
        textEditor.cmdOK->click();
    });
    editor->cmdText->click();
    EXPECT_TRUE(modals.queued.empty());
    EXPECT_TRUE(runner->scripts.empty());
    EXPECT_EQ(trackList.replace("\r\n", "\n"), "Aurora - First Light - 00:02\nAurora - Harbour - 00:03\nBrass Band - Late Train - 00:04");
    ASSERT_EQ(gObjMoveableObjects()->colObjectLayers.count(), 1);
    editor->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmGrafik::instance());
    ASSERT_TRUE(gBoolPartHasObjects[0]);

    // Both sides on one sheet.
    window->cmdPrint[2]->click();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    ASSERT_EQ(QDir(out.path()).entryList({"*.pdf"}, QDir::Files), QStringList{"print-1.pdf"});
    const QString pdf = out.path() + "/print-1.pdf";
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(infoText.contains(QRegularExpression("Pages:\\s+1\\n"))) << infoText.toStdString();
    EXPECT_TRUE(infoText.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))) << infoText.toStdString();
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", QString::number(kDpi), "-png", "-singlefile", pdf, out.path() + "/page"}), 0);
    const QImage page = QImage(out.path() + "/page.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(page.width(), 2480);
    ASSERT_NEAR(page.height(), 3508, 1);

    // The program's own drawing of the same sheet: each side at its place, the cut border
    // around it and the fold marks of the back inlay's spines.
    clsPrinter printer;
    printer.setFrontWidth(window->txtWidth[0]->text().replace(',', '.').toFloat());
    printer.setFrontHeight(window->txtHeight[0]->text().replace(',', '.').toFloat());
    printer.setFrontLeftMargin(window->txtLeftBorder[0]->text().replace(',', '.').toFloat());
    printer.setFrontTopMargin(window->txtTopBorder[0]->text().replace(',', '.').toFloat());
    printer.setBackWidth(window->txtWidth[1]->text().replace(',', '.').toFloat());
    printer.setBackHeight(window->txtHeight[1]->text().replace(',', '.').toFloat());
    printer.setBackLeftMargin(window->txtLeftBorder[1]->text().replace(',', '.').toFloat());
    printer.setBackTopMargin(window->txtTopBorder[1]->text().replace(',', '.').toFloat());
    const platform::PrintLibrary &lib = platform::PrintLibrary::get();
    const PrintPlacement front = printer.placement(0, kDpi, kDpi, lib.physicalOffsetX(), lib.physicalOffsetY());
    const PrintPlacement back = printer.placement(1, kDpi, kDpi, lib.physicalOffsetX(), lib.physicalOffsetY());
    // The front cover, 12 x 12 cm at 4,5 | 1,5 cm.
    EXPECT_EQ(front.cover, QRect(531, 177, 1417, 1417));
    EXPECT_GT(front.borderWidth, 1);
    EXPECT_TRUE(front.foldLines.empty());
    EXPECT_EQ(back.foldLines.size(), 4u);

    QImage expected(page.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    QImage plainFront;
    {
        QPainter p(&expected);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int s = 0; s < 2; ++s) {
            const PrintPlacement &pl = s == 0 ? front : back;
            const int b = pl.borderWidth;
            p.fillRect(pl.cover.adjusted(-b, -b, b, b), Qt::black);
            p.drawImage(pl.cover, side(s, true));
            p.setPen(QPen(Qt::black, pl.foldThickness, Qt::SolidLine, Qt::FlatCap));
            for (const auto &[a, z] : pl.foldLines)
                p.drawLine(a, z);
        }
    }
    plainFront = side(0, false).scaled(front.cover.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage textFront = side(0, true).scaled(front.cover.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    // The whole sheet matches but for the odd pixel at the edges.
    EXPECT_LT(differingShare(page, expected, page.rect(), 48), 0.005);
    for (const PrintPlacement *pl : {&front, &back}) {
        EXPECT_LT(differingShare(page, expected, pl->cover.adjusted(2, 2, -2, -2), 48), 0.01);
        // The cut border: dark just outside the cover, white beyond it.
        const QPoint left(pl->cover.left() - 1 - pl->borderWidth / 2, pl->cover.center().y());
        EXPECT_LT(qGray(page.pixel(left)), 80);
        EXPECT_GT(qGray(page.pixel(left.x() - pl->borderWidth - 4, left.y())), 230);
    }
    for (const auto &[a, z] : back.foldLines)
        EXPECT_LT(qGray(page.pixel((a + z) / 2)), 128) << a.x() << "," << a.y();

    // The track list: where the text lies on the front, the sheet shows the text and not the
    // bare picture.
    int textPixels = 0, shown = 0;
    for (int y = 2; y < front.cover.height() - 2; ++y)
        for (int x = 2; x < front.cover.width() - 2; ++x) {
            const QRgb withText = textFront.pixel(x, y), bare = plainFront.pixel(x, y);
            if (channelDistance(withText, bare) < 150)
                continue;
            ++textPixels;
            const QRgb printed = page.pixel(front.cover.topLeft() + QPoint(x, y));
            if (channelDistance(printed, withText) < channelDistance(printed, bare))
                ++shown;
        }
    EXPECT_GT(textPixels, 500);
    EXPECT_GT(shown, textPixels * 3 / 4); // the rest are the letters' soft edges
}
