// The quick-load window: the copied previews, drops of files and addresses, saving at full
// size, printing through the main window and giving the main window back.
#include "MainWindowTestSupport.h"

#include "canvas/clsMoveableObjects.h"

#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmQuickLoad.h"
#include "platform/Rounding.h"
#include "platform/print/PrintLibrary.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "support/LocalHttpServer.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

using namespace mainwindowtest;

namespace {


QColor centre(const QImage &img) { return img.pixelColor(img.width() / 2, img.height() / 2); }

class QuickLoad : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(out.isValid());
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"Office", "PDF"}, 300));
    }
    void TearDown() override
    {
        quick.reset();
        platform::Seam<platform::PrintLibrary>::reset();
        MainWindowTest::TearDown();
    }

    frmQuickLoad &openQuick()
    {
        quick = std::make_unique<frmQuickLoad>();
        return *quick;
    }
    void drop(int side, QMimeData &data, Qt::DropActions actions)
    {
        mainwindowtest::sendDrop(quick->picVisible[size_t(side)], data, actions);
    }
    void dropFile(int side, const QString &file) { mainwindowtest::dropFiles(quick->picVisible[size_t(side)], {file}); }
    void dropText(int side, const QString &text) { mainwindowtest::dropText(quick->picVisible[size_t(side)], text); }
    QColor shown(int side) const { return centre(quick->picVisible[size_t(side)]->picture()); }
    QColor sideColor(int side) const { return centre(igxBackup[size_t(side)]->qimage()); }
    void loadSide(int side, int w, int h, QColor color)
    {
        auto img = platform::ImgxImage::create();
        img->setQImage(QImage::fromData(pngBytes(w, h, color)), platform::kNoUndo);
        window->loadCover(std::int16_t(side), *img);
    }
    // Runs the save of index with both dialogs cancelled and returns what they were asked.
    std::vector<platform::FileDialogRequest> cancelledSaveRequests(int index)
    {
        choosers->fileRequests.clear();
        choosers->files = {std::nullopt, std::nullopt};
        quick->cmdSave_Click(index);
        choosers->files.clear();
        return choosers->fileRequests;
    }
    QStringList documents() const { return QDir(out.path()).entryList({"print-*.pdf"}, QDir::Files, QDir::Name); }

    QTemporaryDir out;
    std::unique_ptr<frmQuickLoad> quick;
};

} // namespace

TEST_F(QuickLoad, LoadCopiesBothPreviewsStretchedAndStylesTheWindow)
{
    start();
    loadSide(0, 300, 300, Qt::red);
    loadSide(1, 400, 200, Qt::blue);
    frmQuickLoad &q = openQuick();

    for (int s = 0; s < 2; ++s) {
        const QImage &pic = q.picVisible[size_t(s)]->picture();
        EXPECT_EQ(pic.size(), q.picVisible[size_t(s)]->size()) << "stretched over the whole box, side " << s;
        EXPECT_NE(pic.size(), window->picVisible[size_t(s)]->picture().size());
        EXPECT_EQ(pic.pixelColor(2, 2), s == 0 ? QColor(Qt::red) : QColor(Qt::blue));
        EXPECT_EQ(pic.pixelColor(pic.width() - 3, pic.height() - 3), s == 0 ? QColor(Qt::red) : QColor(Qt::blue));
    }
    EXPECT_EQ(q.windowTitle(), "Quick load");
    EXPECT_EQ(q.cmdPrint[1]->text(), "Print right");
    EXPECT_EQ(q.cmdSave[2]->text(), "Save both");
    EXPECT_EQ(q.picVisible[0]->toolTip(), "Drop an image file or an image address here");
    for (size_t i = 0; i < 3; ++i)
        for (ButtonPlus *b : {q.cmdPrint[i], q.cmdSave[i]}) {
            EXPECT_EQ(b->font().family(), "MS Sans Serif");
            EXPECT_EQ(b->captionAlignment(), 4);
            EXPECT_EQ(b->pictureAlignment(), 3);
        }
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(QuickLoad, ADroppedFileShowsHereAndGoesIntoTheMainWindowsSide)
{
    start();
    const QColor leftBefore = sideColor(0);
    frmQuickLoad &q = openQuick();
    dropFile(1, pngFile("in/blue.png", 300, 200, Qt::blue));

    EXPECT_TRUE(prompter->shown.empty()) << prompts().join("|").toStdString();
    EXPECT_EQ(shown(1), QColor(Qt::blue));
    EXPECT_EQ(q.picVisible[1]->picture().size(), q.picVisible[1]->size());
    EXPECT_EQ(sideColor(1), QColor(Qt::blue));
    EXPECT_EQ(QSize(igxBackup[1]->width(), igxBackup[1]->height()), QSize(300, 200)) << "through loadCover";
    EXPECT_EQ(previewColor(1), QColor(Qt::blue));
    EXPECT_EQ(sideColor(0), leftBefore);
    EXPECT_EQ(q.rememberedFileName(1), "");

    // A file leaves no name behind: the save proposes JPEG and no name.
    const auto requests = cancelledSaveRequests(1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filterIndex, 1);
    EXPECT_EQ(requests[0].fileName, "");
}

TEST_F(QuickLoad, TheNameOfADroppedAddressIsCleanedAndChoosesTheFormat)
{
    const struct {
        const char *address, *name;
    } names[] = {
        {"http://host/art/cover.png", "cover.png"},
        {"http://host/a/b/c.png?size=2&x=a/b.gif#top.jpg", "c.png"},
        {"http://host/My%20Front%20Cover.png", "My Front Cover.png"},
        {"http://host/x/..%2F..%2Fetc%2Fpasswd.png", ".._.._etc_passwd.png"},
        {"http://host/a%5Cb%00c.tif", "a_bc.tif"},
        {"http://host/%2E%2E", ""},
        {"http://host/", ""},
    };
    for (const auto &c : names)
        EXPECT_EQ(frmQuickLoad::fileNameFromAddress(c.address), c.name) << c.address;

    const std::pair<const char *, int> filters[] = {
        {"a.jpg", 1}, {"a.PNG", 2}, {"a.psd", 3}, {"a.Tif", 4}, {"a.pcx", 5}, {"a.tga", 6}, {"a.wbmp", 7},
        {"a.bmp", 8}, {"a.wmf", 9}, {"a.emf", 1}, {"a.gif", 1}, {"a.jpeg", 1}, {"a.tiff", 1}, {"png", 1},
        {"", 1}, {"a.png.gif", 1}, {"a.gif.bmp", 8}};
    for (const auto &[name, index] : filters)
        EXPECT_EQ(frmQuickLoad::saveFilterIndexFor(name), index) << name;

    testsupport::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.serve("/art/My%20Cover.png", pngBytes(90, 60, Qt::darkCyan));
    server.serve("/scans/back.tif", pngBytes(60, 90, Qt::magenta)); // the content decides
    server.serve("/anim/photo.gif", pngBytes(50, 50, Qt::yellow));
    start();
    frmQuickLoad &q = openQuick();

    dropText(0, server.url("/art/My%20Cover.png"));
    dropText(1, server.url("/scans/back.tif"));
    EXPECT_TRUE(prompter->shown.empty()) << prompts().join("|").toStdString();
    EXPECT_EQ(q.rememberedFileName(0), "My Cover.png");
    EXPECT_EQ(q.rememberedFileName(1), "back.tif");
    EXPECT_EQ(shown(0), QColor(Qt::darkCyan));
    EXPECT_EQ(sideColor(0), QColor(Qt::darkCyan));
    EXPECT_EQ(sideColor(1), QColor(Qt::magenta));

    auto requests = cancelledSaveRequests(2);
    ASSERT_EQ(requests.size(), 2u) << "a cancelled left dialog still leads to the right one";
    EXPECT_EQ(requests[0].filterIndex, 2);
    EXPECT_EQ(requests[0].fileName, "My Cover.png");
    EXPECT_EQ(requests[1].filterIndex, 4);
    EXPECT_EQ(requests[1].fileName, "back.tif");

    // A format the save table lacks proposes JPEG, under the remembered name.
    dropText(0, server.url("/anim/photo.gif"));
    requests = cancelledSaveRequests(0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filterIndex, 1);
    EXPECT_EQ(requests[0].fileName, "photo.jpg");

    // A dropped file forgets the name.
    dropFile(0, pngFile("in/red.png", 20, 20, Qt::red));
    EXPECT_EQ(q.rememberedFileName(0), "");
    EXPECT_EQ(cancelledSaveRequests(0).at(0).fileName, "");
}

TEST_F(QuickLoad, FailedDropsChangeNothing)
{
    testsupport::LocalHttpServer server;
    server.serve("/good.png", pngBytes(80, 80, Qt::green));
    start();
    frmQuickLoad &q = openQuick();
    dropText(0, server.url("/good.png"));
    ASSERT_EQ(shown(0), QColor(Qt::green));
    const QColor rightShown = shown(1), rightSide = sideColor(1);

    dropText(0, "just some words");
    EXPECT_TRUE(prompter->shown.empty()) << "a text that is no address does nothing";

    dropText(0, server.url("/photo.jpeg"));
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "This is not an image format Pelmora can read.");
    EXPECT_EQ(prompter->shown[0].style, platform::MsgStyle::Information);
    EXPECT_EQ(server.requestCount("/photo.jpeg"), 0);

    prompter->shown.clear();
    dropText(0, server.url("/missing.png"));
    writeFile("in/broken.png", "no picture at all");
    dropFile(0, path("in/broken.png"));
    dropFile(1, path("in/broken.png"));
    ASSERT_EQ(prompter->shown.size(), 3u);
    for (const auto &m : prompter->shown) {
        const bool download = &m == &prompter->shown[0];
        EXPECT_EQ(m.prompt.contains("The picture could not be downloaded."), download) << m.prompt.toStdString();
        EXPECT_NE(m.prompt.contains("This is not an image format Pelmora can read."), download) << m.prompt.toStdString();
        EXPECT_TRUE(m.prompt.contains("frmQuickLoad.picVisible_OLEDragDrop")) << m.prompt.toStdString();
    }
    EXPECT_EQ(server.requestCount("/missing.png"), 1);

    EXPECT_EQ(shown(0), QColor(Qt::green));
    EXPECT_EQ(sideColor(0), QColor(Qt::green));
    EXPECT_EQ(q.rememberedFileName(0), "good.png");
    EXPECT_EQ(shown(1), rightShown);
    EXPECT_EQ(sideColor(1), rightSide);
}

TEST_F(QuickLoad, SavingBothSidesAsksLeftThenRightAndWritesFullSizeImages)
{
    QDir().mkpath(path("pictures"));
    options("STANDARDPATH=" + path("pictures").toUtf8() + "\r\n");
    testsupport::LocalHttpServer server;
    server.serve("/big/left.png", pngBytes(640, 480, Qt::darkCyan));
    start();
    loadSide(1, 500, 300, Qt::yellow); // before the window: nothing is dropped on the right
    frmQuickLoad &q = openQuick();
    dropText(0, server.url("/big/left.png"));
    ASSERT_TRUE(prompter->shown.empty()) << prompts().join("|").toStdString();
    // Another format refits the side's image; the window keeps the picture as dropped.
    window->selectCoverEntry(0, 2);
    ASSERT_NE(QSize(igxBackup[0]->width(), igxBackup[0]->height()), QSize(640, 480));

    choosers->files = {platform::FileDialogResult{path("pictures/left.png"), 2},
                       platform::FileDialogResult{path("pictures/right"), 1}};
    q.cmdSave[2]->click();
    EXPECT_TRUE(prompter->shown.empty()) << prompts().join("|").toStdString();
    ASSERT_EQ(choosers->fileRequests.size(), 2u);
    const auto &left = choosers->fileRequests[0];
    EXPECT_EQ(left.fileName, "left.png") << "the left side is asked first";
    EXPECT_TRUE(left.save);
    EXPECT_TRUE(left.confirmOverwrite);
    EXPECT_EQ(left.filter, gStrSaveImageFilter);
    EXPECT_EQ(left.initialDir, path("pictures"));
    EXPECT_EQ(left.captions.value("SaveButtonCaption"), "Save");
    EXPECT_EQ(choosers->fileRequests[1].fileName, "");

    QImageReader png(path("pictures/left.png"));
    EXPECT_EQ(png.format(), "png");
    const QImage leftImage = png.read();
    EXPECT_EQ(leftImage.size(), QSize(640, 480)) << "the picture as dropped, not the preview";
    EXPECT_EQ(centre(leftImage), QColor(Qt::darkCyan));

    QImageReader jpeg(path("pictures/right.jpg")); // the extension of the chosen format is added
    EXPECT_EQ(jpeg.format(), "jpeg");
    EXPECT_EQ(jpeg.read().size(), QSize(500, 300)) << "the side's own picture at full size";
    EXPECT_FALSE(QFile::exists(path("pictures/right")));
}

TEST_F(QuickLoad, ASideWithObjectsIsSavedWithThemAndANameIsNotReplacedUnasked)
{
    start();
    loadSide(1, 300, 300, Qt::yellow);
    auto pic = platform::ImgxImage::create();
    QImage green(40, 40, QImage::Format_ARGB32_Premultiplied);
    green.fill(Qt::green);
    pic->setQImage(green, platform::kNoUndo);
    auto &model = gObjPartMoveableObjects[1];
    model->AddClsPictureObject(pic);
    for (auto &[key, o] : model->colMoveableObjects) {
        o->mObjPointMousePos->mLngX = 10;
        o->mObjPointMousePos->mLngY = 10;
    }
    gBoolPartHasObjects[1] = true;
    frmQuickLoad &q = openQuick();

    // "cover" typed without an extension would become the cover.png there already: asked,
    // and "No" keeps it.
    writeFile("cover.png", "keep me");
    choosers->files = {platform::FileDialogResult{path("cover"), 2}};
    prompter->answers = {platform::MsgAnswer::No};
    q.cmdSave[1]->click();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("cover.png already exists")) << prompts()[0].toStdString();
    EXPECT_EQ(readFile("cover.png"), "keep me");

    choosers->files = {platform::FileDialogResult{path("cover"), 2}};
    prompter->answers = {platform::MsgAnswer::Yes};
    q.cmdSave[1]->click();
    const QImage saved(path("cover.png"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.pixelColor(20, 20), QColor(Qt::green)) << "the picture object is on the saved cover";
    EXPECT_EQ(saved.pixelColor(200, 200), QColor(Qt::yellow));
}

TEST_F(QuickLoad, ACancelledDialogSavesNothingAndAFailureEndsTheSave)
{
    start();
    frmQuickLoad &q = openQuick();
    choosers->files = {std::nullopt, platform::FileDialogResult{path("right.bmp"), 8}};
    q.cmdSave_Click(2);
    EXPECT_EQ(choosers->fileRequests.size(), 2u);
    EXPECT_EQ(QDir(home.path()).entryList({"*.bmp", "*.jpg"}, QDir::Files), QStringList{"right.bmp"});
    EXPECT_EQ(QImageReader(path("right.bmp")).format(), "bmp");
    EXPECT_TRUE(prompter->shown.empty());

    choosers->fileRequests.clear();
    choosers->files = {platform::FileDialogResult{path("no/such/folder/left.png"), 2}};
    q.cmdSave_Click(2);
    EXPECT_EQ(choosers->fileRequests.size(), 1u) << "no right dialog after a failure";
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("The cover could not be drawn at full size."));
    EXPECT_TRUE(prompter->shown[0].prompt.contains("frmQuickLoad.cmdSave_Click"));
    EXPECT_FALSE(QFile::exists(path("no/such/folder/left.png")));
}

TEST_F(QuickLoad, JpegFilesAreSavedAtQuality95)
{
    // Noise, so that the quality shows in the file size.
    QImage noise(160, 120, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    ASSERT_TRUE(noise.save(path("in-noise.png"), "PNG"));
    start();
    openQuick();
    dropFile(0, path("in-noise.png"));
    choosers->files = {platform::FileDialogResult{path("noise.jpg"), 1}};
    quick->cmdSave_Click(0);
    ASSERT_TRUE(prompter->shown.empty()) << prompts().join("|").toStdString();

    auto reference = platform::ImgxImage::create();
    ASSERT_TRUE(reference->loadFile(path("in-noise.png"), platform::kNoUndo));
    for (int quality : {50, 90, 95})
        ASSERT_TRUE(reference->saveFile(path(QString("q%1.jpg").arg(quality)), platform::SaveType::Jpeg, quality));
    const QByteArray saved = readFile("noise.jpg");
    EXPECT_EQ(saved, readFile("q95.jpg"));
    EXPECT_NE(saved, readFile("q90.jpg"));
    EXPECT_GT(saved.size(), readFile("q50.jpg").size());
}

TEST_F(QuickLoad, PrintsOneSideOrBothThroughTheMainWindow)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTBORDER=0\r\nPRINTMARGIN=0\r\n"
            "LASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    start();
    frmQuickLoad &q = openQuick();
    dropFile(0, pngFile("in/red.png", 300, 300, Qt::red));

    q.cmdPrint[0]->click();
    EXPECT_EQ(documents(), QStringList{"print-1.pdf"});
    q.cmdPrint[1]->click();
    EXPECT_EQ(documents().size(), 2);
    q.cmdPrint[2]->click();
    EXPECT_EQ(documents().size(), 3);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_FALSE(window->isVisible()) << "printing leaves the main window as it was";

    // The left sheet holds the dropped picture on the front cover at (4,5 | 1,5) cm, 12 cm wide.
    const QImage page = pdfPage(out.path() + "/print-1.pdf", {"-r", "150"});
    ASSERT_FALSE(page.isNull());
    const QColor c(page.pixel(roundToInt(10.5 / 2.54 * 150), roundToInt(7.5 / 2.54 * 150)));
    EXPECT_GT(c.red(), 200);
    EXPECT_LT(c.green(), 60);
    EXPECT_LT(c.blue(), 60);
}

TEST_F(QuickLoad, ClosingGivesTheMainWindowBack)
{
    options("FOREGROUND=1\r\n");
    start();
    window->show();
    QPointer<frmQuickLoad> q = frmQuickLoad::open(*window);
    ASSERT_TRUE(q);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(q->isVisible());
    EXPECT_TRUE(isFormTopmost(q));
    EXPECT_EQ(q->picVisible[0]->picture().pixelColor(5, 5), window->picVisible[0]->picture().pixelColor(5, 5));

    q->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(isFormTopmost(window.get())) << "OPTIONS.FOREGROUND is 1";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(q) << "the window goes when it is closed";

    gByteForeground = 0;
    q = frmQuickLoad::open(*window);
    EXPECT_FALSE(window->isVisible());
    q->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(isFormTopmost(window.get()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(QuickLoad, ABoxRaisedByADropStandsInFrontOfTheWindowDroppedOn)
{
    testsupport::LocalHttpServer server;
    start();
    openQuick();
    window->show();
    quick->show();
    // The real message box; a timer answers it and notes the window it belongs to.
    platform::Seam<platform::Prompter>::install(platform::makeQtPrompter());
    std::vector<QPointer<QWidget>> owners;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&owners] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                owners.emplace_back(box->parentWidget());
                box->done(0);
            }
    });
    answer.start();

    // An address dragged from a browser: another program is the active one.
    QApplication::setActiveWindow(nullptr);
    dropText(0, server.url("/photo.jpeg")); // refused: "not an image format"
    ASSERT_EQ(owners.size(), 1u);
    EXPECT_EQ(owners[0], quick.get()) << "the always-on-top window the user dropped on";

    // A drop on the main window while the quick-load window is the active one.
    QApplication::setActiveWindow(quick.get());
    mainwindowtest::dropText(window->picVisible[0], server.url("/photo.jpeg"));
    ASSERT_EQ(owners.size(), 2u);
    EXPECT_EQ(owners[1], window.get());

    // With no window to go by, the main window.
    quick->hide();
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(platform::dialogOwner(), window.get());
}
