#include "MainWindowTestSupport.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "platform/widgets/PictureBox.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QUrl>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mainwindowtest {

void RecordingWindows::showCoverFormatEditor(QWidget *, const QString &caption)
{
    editorCalls.push_back({caption, gObjCover().ProfileIndex(), gObjCover().EditedIndex()});
    if (editorAction)
        editorAction();
}

QByteArray pngBytes(int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

QImage pdfPage(const QString &pdf, const QStringList &arguments)
{
    const QTemporaryDir out;
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"), QStringList(arguments) << "-png" << "-singlefile" << pdf << out.path() + "/page");
    const bool ran = tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit;
    EXPECT_TRUE(ran && tool.exitCode() == 0) << "pdftoppm could not render " << pdf.toStdString() << ": "
                                             << tool.errorString().toStdString() << tool.readAllStandardError().toStdString();
    return QImage(out.path() + "/page.png");
}

void sendDrop(QWidget *target, QMimeData &data, Qt::DropActions actions)
{
    target->window()->show();
    QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void dropFiles(QWidget *target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    sendDrop(target, data, Qt::CopyAction);
}

void dropText(QWidget *target, const QString &text)
{
    QMimeData data;
    data.setText(text);
    sendDrop(target, data, Qt::CopyAction | Qt::LinkAction);
}

void MainWindowTest::SetUp()
{
    ProgramTest::SetUp();
    static const bool registered = [] {
        testsupport::addStateReset([] {
            mainwindow::resetForTests();
            canvas::resetForTests();
        });
        return true;
    }();
    (void)registered;
    for (const QString &sub : {QStringLiteral("data"), QStringLiteral("language")}) {
        const QDir source(QStringLiteral(PELMORA_SOURCE_DIR "/resources/") + sub);
        for (const QString &f : source.entryList(QDir::Files)) {
            QFile::remove(path(sub + u'/' + f));
            ASSERT_TRUE(QFile::copy(source.filePath(f), path(sub + u'/' + f)));
        }
    }
    windows = &platform::Seam<MainWindowServices>::install(std::make_unique<RecordingWindows>());
}

void MainWindowTest::TearDown()
{
    window.reset();
    ProgramTest::TearDown();
}

void MainWindowTest::options(const QByteArray &lines) { writeFile("data/pelmora.dat", "[OPTIONS]\r\n" + lines); }

frmPelmora &MainWindowTest::start()
{
    gObjCover();
    gObjOptionsStore().setInitFileName(optionsFilePath());
    gObjOptionsStore().initializeAll(QStringLiteral("OPTIONS"));
    readOptions();
    getLanguageFiles();
    setLanguage(appPath() + QStringLiteral("/language/")
                + findLanguageFile(gObjOptionsStore().getVar("OPTIONS.LANGUAGE", "English.dll")));
    loadCoverData();
    buildImageFilters();
    window = std::make_unique<frmPelmora>();
    return *window;
}

QStringList MainWindowTest::dataLines(const QString &fileName) const
{
    QString text = QString::fromUtf8(readFile("data/" + fileName));
    text.replace("\r\n", "\n");
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString MainWindowTest::pngFile(const QString &relative, int w, int h, QColor color) const
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).path());
    EXPECT_TRUE(img.save(p, "PNG"));
    return p;
}

QColor MainWindowTest::previewColor(int side, double fx, double fy) const
{
    PictureBox *box = window->picVisible[size_t(side)];
    const QImage shot = box->grab().toImage();
    return shot.pixelColor(int(fx * (shot.width() - 1)), int(fy * (shot.height() - 1)));
}

QStringList MainWindowTest::prompts() const
{
    QStringList out;
    for (const auto &m : prompter->shown)
        out << m.prompt;
    return out;
}

void MainWindowTest::giveCoverObjects(int side, double zoom, QRect picture, QPoint text)
{
    auto &model = gObjPartMoveableObjects[size_t(side)];
    model->dblZoomFactor = zoom;
    auto green = platform::ImgxImage::create();
    green->blank(picture.width(), picture.height(), 0x00FF00, 255, 6, platform::kNoUndo);
    model->AddClsPictureObject(green);
    model->object(model->mStrFocusedObjectIndex)->mObjPointMousePos->mLngX = picture.x();
    model->object(model->mStrFocusedObjectIndex)->mObjPointMousePos->mLngY = picture.y();
    clsTextObject cover;
    cover.mstrText = QStringLiteral("Cover");
    cover.mfntFont = QFont(QStringLiteral("DejaVu Sans"));
    cover.setFontSize(48);
    cover.mlngColor = 0;
    model->AddClsTextObject(cover);
    model->object(model->mStrFocusedObjectIndex)->mObjPointMousePos->mLngX = text.x();
    model->object(model->mStrFocusedObjectIndex)->mObjPointMousePos->mLngY = text.y();
    gBoolPartHasObjects[size_t(side)] = true;
}

MainWindowTest::ShownObjects MainWindowTest::shownObjects(int side) const
{
    const QImage shot = window->picVisible[size_t(side)]->grab().toImage();
    ShownObjects shown;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
                shown.picture |= QRect(x, y, 1, 1);
            else if (std::max({c.red(), c.green(), c.blue()}) < 90)
                shown.text |= QRect(x, y, 1, 1);
        }
    return shown;
}

} // namespace mainwindowtest
