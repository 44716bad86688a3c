// Starts the program offscreen on a temporary program folder and makes one cover from start to
// print, saving a picture of each step: the main window with a picture on each side of a CD, the
// graphics editor with the track list set as a text, the text editor with the track list of a
// folder of MP3 files, and the printed sheet (the PDF page rendered by pdftoppm).
//
//   pelmora_screenshot_walkthrough <resources folder> <output folder>
#include "app/AppStart.h"
#include "core/libInitialize.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Choosers.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/frmTextedit.h"
#include "tracklists/FolderList.h"
#include "tracklists/ModalRunner.h"
#include "tracklists/frmDirMp3.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QRadialGradient>
#include <QTimer>

#include <cmath>

namespace {

// The open dialog answers with the next picture.
class PictureChooser final : public platform::Choosers {
public:
    std::optional<platform::FileDialogResult> chooseFile(const platform::FileDialogRequest &) override
    {
        if (pictures.isEmpty())
            return std::nullopt;
        return platform::FileDialogResult{pictures.takeFirst(), 1};
    }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }
    QStringList pictures;
};

// The MP3 dialog takes every file of the music folder with its default fields.
class Mp3Folder final : public tracklists::ModalRunner {
public:
    explicit Mp3Folder(QString folder) : m_folder(std::move(folder)) {}
    void run(QDialog &dialog) override
    {
        auto *mp3 = qobject_cast<frmDirMp3 *>(&dialog);
        if (!mp3) {
            dialog.reject();
            return;
        }
        mp3->Dir1->setPath(m_folder);
        mp3->cmdSelectAllFiles->click();
        mp3->cmdOK->click();
    }

private:
    QString m_folder;
};

bool makeMp3(const QString &file, const QString &artist, const QString &title, int seconds)
{
    const int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < rate * seconds; ++i) {
        const auto v = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        samples.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    }
    QFile raw(file + QStringLiteral(".raw"));
    if (!raw.open(QIODevice::WriteOnly))
        return false;
    raw.write(samples);
    raw.close();
    const int rc = QProcess::execute(QStringLiteral("lame"),
                                     {"--quiet", "-r", "-s", "22.05", "--bitwidth", "16", "--signed", "--little-endian",
                                      "-m", "m", "-b", "32", "--id3v1-only", "--tt", title, "--ta", artist,
                                      raw.fileName(), file});
    raw.remove();
    return rc == 0;
}

QString sunrise(const QString &file)
{
    QImage img(900, 900, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, img.height());
    sky.setColorAt(0, QColor(250, 220, 150));
    sky.setColorAt(1, QColor(230, 120, 70));
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(QPointF(450, 640), 180);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(img.rect(), sun);
    p.fillRect(0, 700, 900, 200, QColor(70, 60, 90));
    p.end();
    img.save(file, "PNG");
    return file;
}

QString sea(const QString &file)
{
    QImage img(1200, 900, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient water(0, 0, 0, img.height());
    water.setColorAt(0, QColor(120, 190, 230));
    water.setColorAt(0.45, QColor(200, 230, 245));
    water.setColorAt(0.46, QColor(30, 100, 170));
    water.setColorAt(1, QColor(10, 40, 90));
    p.fillRect(img.rect(), water);
    p.end();
    img.save(file, "PNG");
    return file;
}

// The editor with the focus marks, which the canvas draws outside its paint.
QPixmap editorShot(frmGrafik &editor)
{
    QPixmap shot = editor.grab();
    QPainter p(&shot);
    p.drawImage(editor.igxMain->mapTo(&editor, QPoint(0, 0)), editor.igxMain->renderToImage());
    return shot;
}

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    const QString home = session.home();
    const QString out = session.argument(2);
    QDir().mkpath(out);
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=1\r\nLASTMEDIUM=1\r\nPRINTERNAME=PDF\r\n"
                              "PRINTERID=1\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\nPRINTMARGIN=1\r\nMARGINTYPE=2\r\n"))
        return 1;
    QDir(home).mkpath(QStringLiteral("music"));
    QDir(home).mkpath(QStringLiteral("print"));
    if (!makeMp3(home + QStringLiteral("/music/1.mp3"), QStringLiteral("Aurora"), QStringLiteral("First Light"), 2)
        || !makeMp3(home + QStringLiteral("/music/2.mp3"), QStringLiteral("Aurora"), QStringLiteral("Harbour"), 3)
        || !makeMp3(home + QStringLiteral("/music/3.mp3"), QStringLiteral("Brass Band"), QStringLiteral("Late Train"), 4))
        return 1;

    installProgramWindows();
    auto chooser = std::make_unique<PictureChooser>();
    chooser->pictures = {sunrise(home + QStringLiteral("/sunrise.png")), sea(home + QStringLiteral("/sea.png"))};
    platform::Seam<platform::Choosers>::install(std::move(chooser));
    platform::Seam<tracklists::ModalRunner>::install(std::make_unique<Mp3Folder>(home + QStringLiteral("/music")));
    platform::Seam<platform::PrintLibrary>::install(
        platform::makePdfPrintLibrary(home + QStringLiteral("/print"), {QStringLiteral("PDF")}, 150));

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    auto *window = qobject_cast<frmPelmora *>(Main(hooks));
    if (!window)
        return 1;
    screenshot::settle();

    // The CD with a picture on each side.
    window->optMedia[0]->click();
    window->pic_Click(0);
    window->pic_Click(1);
    screenshot::settle();
    bool ok = window->grab().save(out + QStringLiteral("/walkthrough-main-window.png"), "PNG");

    // The editor on the left side; the text editor with the track list, then the text on the cover.
    window->cmdEditor_Click(0);
    frmGrafik *editor = frmGrafik::instance();
    if (!editor)
        return 1;
    screenshot::settle();
    // Works the text editor once it is the active modal window.
    std::function<void()> workTextEditor = [&] {
        auto *text = qobject_cast<frmTextedit *>(QApplication::activeModalWidget());
        if (!text) {
            QTimer::singleShot(0, workTextEditor);
            return;
        }
        text->cboFont->setCurrentIndex(text->cboFont->findText(QStringLiteral("DejaVu Sans")));
        text->cboSize->setCurrentIndex(text->cboSize->findText(QStringLiteral("36")));
        text->cmdBold->click();
        text->cmdListMP3->click();
        text->doPreview();
        screenshot::settle();
        ok = text->grab().save(out + QStringLiteral("/walkthrough-text-editor.png"), "PNG") && ok;
        text->cmdOK->click();
    };
    QTimer::singleShot(0, workTextEditor);
    editor->cmdText->click();
    screenshot::settle();
    ok = editorShot(*editor).save(out + QStringLiteral("/walkthrough-editor.png"), "PNG") && ok;
    editor->cmdOK->click();
    screenshot::settle();

    // Both sides on one sheet, and the sheet as a picture.
    window->cmdPrint[2]->click();
    const QString pdf = home + QStringLiteral("/print/print-1.pdf");
    ok = QFile::exists(pdf)
         && QProcess::execute(QStringLiteral("pdftoppm"),
                              {"-r", "60", "-png", "-singlefile", pdf, out + QStringLiteral("/walkthrough-print")})
                == 0
         && ok;
    delete window;
    return ok ? 0 : 1;
}
