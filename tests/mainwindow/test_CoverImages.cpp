// Cover images: dropped files and addresses, the open dialog, the question about a side's
// objects, the preview and the fitting of images to a side's box, and readers that fail.
#include "MainWindowTestSupport.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "support/LocalHttpServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace mainwindowtest;

namespace {


class CoverImages : public MainWindowTest {
protected:
    void drop(int side, QMimeData &data, Qt::DropActions actions)
    {
        mainwindowtest::sendDrop(window->picVisible[size_t(side)], data, actions);
    }
    void dropFiles(int side, const QStringList &paths) { mainwindowtest::dropFiles(window->picVisible[size_t(side)], paths); }
    void dropText(int side, const QString &text) { mainwindowtest::dropText(window->picVisible[size_t(side)], text); }
    QColor sideColor(int side) const
    {
        const platform::ImgxImage &img = *igxBackup[size_t(side)];
        return img.qimage().pixelColor(img.width() / 2, img.height() / 2);
    }
    // A side with one green picture object at (10, 10), as the editor leaves it.
    void giveObjects(int side)
    {
        auto pic = platform::ImgxImage::create();
        QImage green(40, 40, QImage::Format_ARGB32_Premultiplied);
        green.fill(Qt::green);
        pic->setQImage(green, platform::kNoUndo);
        auto &model = gObjPartMoveableObjects[size_t(side)];
        model->AddClsPictureObject(pic);
        for (auto &[key, o] : model->colMoveableObjects) {
            o->mObjPointMousePos->mLngX = 10;
            o->mObjPointMousePos->mLngY = 10;
        }
        gBoolPartHasObjects[size_t(side)] = true;
    }
};

} // namespace

TEST_F(CoverImages, ADroppedPictureFileLoadsIntoItsSideOnly)
{
    start();
    const QColor startColor = sideColor(0);
    dropFiles(1, {pngFile("in/blue.png", 300, 200, Qt::blue), pngFile("in/red.png", 50, 50, Qt::red)});
    EXPECT_EQ(sideColor(1), QColor(Qt::blue)) << "the first file is taken";
    EXPECT_EQ(igxBackup[1]->width(), 300);
    EXPECT_EQ(previewColor(1), QColor(Qt::blue));
    EXPECT_FALSE(window->lblLoadPic[1]->isVisibleTo(window.get()));
    EXPECT_TRUE(window->lblLoadPic[0]->isVisibleTo(window.get()));
    EXPECT_EQ(sideColor(0), startColor);
    EXPECT_GE(igxBackup[1]->undoLevels(), 16);
    EXPECT_TRUE(prompter->shown.empty());

    // A picture dropped over a finished one: Undo brings the finished one back, as it was
    // last changed; the steps made on it before are gone, so it is kept once.
    window->cmdInvert_Click(1);
    EXPECT_EQ(sideColor(1), QColor(Qt::yellow));
    dropFiles(1, {pngFile("in/green.png", 30, 30, Qt::green)});
    EXPECT_EQ(sideColor(1), QColor(Qt::green));
    EXPECT_EQ(previewColor(1), QColor(Qt::green));
    EXPECT_EQ(igxBackup[1]->undoCount(), 1);
    QTest::mouseClick(window->cmdRefresh[1], Qt::LeftButton);
    EXPECT_EQ(sideColor(1), QColor(Qt::yellow));
    EXPECT_EQ(previewColor(1), QColor(Qt::yellow));
    EXPECT_EQ(igxBackup[1]->width(), 300);
    EXPECT_EQ(igxBackup[1]->undoCount(), 0);
    QTest::mouseClick(window->cmdRefresh[1], Qt::LeftButton);
    EXPECT_EQ(sideColor(1), QColor(Qt::yellow)) << "the blue picture's steps went with the load";
}

TEST_F(CoverImages, DropsThatCannotBeReadLeaveTheSideAsItWas)
{
    // In German: a text named as a picture, opened and dropped, is called the same in the
    // program's language; so is a drop that holds nothing to load.
    options("LANGUAGE=Deutsch.dll\r\n");
    start();
    const QString invalid = QString::fromUtf8("Das gewählte Bild ist beschädigt oder wird nicht unterstützt.");
    const QColor before = sideColor(0);
    writeFile("in/fake.png", "no picture at all");
    choosers->files.push_back(platform::FileDialogResult{path("in/fake.png"), 1});
    window->pic_Click(0);
    dropFiles(0, {path("in/fake.png")});
    QMimeData odd;
    odd.setData("application/x-odd", "1");
    drop(0, odd, Qt::CopyAction);
    ASSERT_EQ(prompter->shown.size(), 3u);
    EXPECT_EQ(prompter->shown[0].prompt, invalid);
    EXPECT_TRUE(prompter->shown[1].prompt.endsWith(": " + invalid)) << prompter->shown[1].prompt.toStdString();
    EXPECT_TRUE(prompter->shown[2].prompt.endsWith(
        ": Die abgelegten Daten enthalten weder eine Datei noch eine Adresse."))
        << prompter->shown[2].prompt.toStdString();
    for (size_t i = 1; i < 3; ++i) {
        const QString &m = prompter->shown[i].prompt;
        EXPECT_TRUE(m.contains("Falsches Format: Pelmora kann dieses Bild nicht lesen.")) << m.toStdString();
        EXPECT_TRUE(m.contains("frmPelmora.pic_OLEDragDrop"));
        EXPECT_FALSE(m.contains("The ")) << m.toStdString();
    }
    EXPECT_EQ(sideColor(0), before);
    EXPECT_TRUE(window->lblLoadPic[0]->isVisibleTo(window.get()));

    // Files of the types ImageMagick reads, damaged: the report says so in the program's
    // words; the library's own text (its source files and functions) is not for the user.
    prompter->shown.clear();
    for (const char *name : {"in/broken.tga", "in/broken.pcx", "in/broken.psd"}) {
        writeFile(name, QByteArray(40, 0));
        dropFiles(0, {path(name)});
    }
    ASSERT_EQ(prompter->shown.size(), 3u);
    for (const auto &m : prompter->shown) {
        EXPECT_TRUE(m.prompt.endsWith(": " + invalid)) << m.prompt.toStdString();
        EXPECT_FALSE(m.prompt.contains("@")) << m.prompt.toStdString();
        EXPECT_FALSE(m.prompt.contains("Read")) << m.prompt.toStdString();
    }
    EXPECT_EQ(sideColor(0), before);
}

TEST_F(CoverImages, AnAddressServedLocallyLoadsIntoTheSide)
{
    testsupport::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.serve("/art/cover.png", pngBytes(120, 80, Qt::darkCyan));
    start();
    dropText(0, server.url("/art/cover.png"));
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_EQ(sideColor(0), QColor(Qt::darkCyan));
    EXPECT_EQ(previewColor(0), QColor(Qt::darkCyan));
    EXPECT_EQ(server.requestCount("/art/cover.png"), 1);
}

TEST_F(CoverImages, AddressesAreCheckedByTheirEndingAndLimitedInSize)
{
    testsupport::LocalHttpServer server;
    server.stream("/huge.png", 200000);
    start();
    const QColor before = sideColor(0);

    dropText(0, "just some words");
    EXPECT_TRUE(prompter->shown.empty()) << "a text that is no address does nothing";

    for (const char *refused : {"/photo.jpeg", "/scan.tiff"}) {
        dropText(0, server.url(refused));
        ASSERT_FALSE(prompter->shown.empty());
        EXPECT_EQ(prompter->shown.back().prompt, "This is not an image format Pelmora can read.");
        EXPECT_EQ(prompter->shown.back().title, "");
        EXPECT_EQ(server.requestCount(refused), 0);
    }

    dropText(0, server.url("/phone.wbmp")); // "bmp" is in the list: fetched, not found
    EXPECT_EQ(server.requestCount("/phone.wbmp"), 1);

    window->addressDownloadLimits.maxBytes = 10000;
    prompter->shown.clear();
    dropText(0, server.url("/huge.png"));
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("frmPelmora.pic_OLEDragDrop"));
    EXPECT_EQ(sideColor(0), before);
    EXPECT_EQ(platform::Downloader::get().limits().maxBytes, platform::DownloadLimits().maxBytes)
        << "the downloader's own limits come back";
}

// A failed address says why under the drop's message; a download in progress shows a wait
// window whose Cancel leaves the side as it was, without a message.
TEST_F(CoverImages, AFailedAddressNamesItsCauseAndACancelledOneLeavesTheSide)
{
    testsupport::LocalHttpServer server;
    server.hang("/slow.png");
    server.stream("/big.png", 8 << 20, true);
    auto closed = std::make_unique<testsupport::LocalHttpServer>();
    const QString refused = closed->url("/a.png");
    closed.reset();
    start();
    const QColor before = sideColor(0);
    window->addressDownloadLimits.timeoutMs = 500;

    const struct { QString url; const char *cause; } cases[] = {
        {server.url("/gone.png"), "404"},
        {server.url("/slow.png"), "timed out"},
        {refused, "refused"},
        {server.url("/elsewhere.png"), "The picture could not be loaded from http"},
    };
    server.redirect("/elsewhere.png", "ftp://127.0.0.1/a.png");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.cause);
        prompter->shown.clear();
        dropText(0, c.url);
        ASSERT_EQ(prompter->shown.size(), 1u);
        const QString prompt = prompter->shown[0].prompt;
        EXPECT_TRUE(prompt.contains("The picture could not be downloaded.")) << prompt.toStdString();
        EXPECT_FALSE(prompt.contains("not an image format")) << prompt.toStdString();
        EXPECT_TRUE(prompt.contains(c.cause)) << prompt.toStdString();
    }
    EXPECT_EQ(waits->shown.size(), 4u);
    EXPECT_EQ(waits->open, 0);

    window->addressDownloadLimits = platform::DownloadLimits{};
    waits->cancelWhen = [](qint64 done, qint64) { return done >= (1 << 20); };
    prompter->shown.clear();
    dropText(0, server.url("/big.png"));
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_GE(waits->lastDone, 1 << 20);
    EXPECT_LT(waits->lastDone, 8 << 20) << "the download stopped at the Cancel";
    EXPECT_EQ(sideColor(0), before);
    EXPECT_TRUE(window->lblLoadPic[0]->isVisibleTo(window.get()));
}

TEST_F(CoverImages, ANewPictureAsksWhetherToKeepTheSidesObjects)
{
    start();
    const QString red = pngFile("in/red.png", 60, 60, Qt::red);
    dropFiles(0, {red});
    EXPECT_TRUE(prompter->shown.empty()) << "a side without objects asks nothing";

    giveObjects(0);
    prompter->answers = {platform::MsgAnswer::Yes};
    dropFiles(0, {red});
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "This side holds texts and pictures. Keep all objects?");
    EXPECT_TRUE(gBoolPartHasObjects[0]);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);

    gObjMoveableObjects()->AddClsPictureObject(platform::ImgxImage::create());
    prompter->answers = {platform::MsgAnswer::No};
    dropFiles(0, {red});
    EXPECT_FALSE(gBoolPartHasObjects[0]);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 0);
    EXPECT_EQ(gObjMoveableObjects()->colMoveableObjects.count(), 0);
}

TEST_F(CoverImages, NewPicturesKeepTheSidesObjectsWhereAndAsLargeAsTheyWereOnTheCover)
{
    start(); // a 12 x 12 front cover: a square preview
    window->timTip->stop();
    window->show();
    ASSERT_EQ(window->picVisible[0]->size(), QSize(233, 233));
    dropFiles(0, {pngFile("in/blue.png", 800, 800, Qt::blue)});
    // As the editor leaves them on the 800-pixel picture shown at a quarter of its size: the
    // picture covers an eighth to three eighths of the cover.
    giveCoverObjects(0, 0.25, QRect(25, 25, 50, 50), QPoint(50, 120));
    window->convertImageSizeToCover(0);
    const ShownObjects first = shownObjects(0);
    EXPECT_NEAR(first.picture.left(), 29, 1);
    EXPECT_NEAR(first.picture.right(), 87, 1);
    ASSERT_FALSE(first.text.isEmpty());
    EXPECT_GT(first.text.width(), 30);
    EXPECT_EQ(sideColor(0), QColor(Qt::blue)) << "the objects stay out of the side image";

    // The new-background dialog paints a 2000-pixel white side, as its OK does.
    windows->windowAction = [this](const QString &) {
        auto white = platform::ImgxImage::create();
        white->blank(2000, 2000, 0xFFFFFF, 255, 6, platform::kNoUndo);
        igxBackup[0]->clearUndo();
        igxBackup[0]->importImage(*white, platform::kNoUndo);
        window->mBoolNewCoverCancelled = false;
    };
    const struct {
        const char *way;
        std::function<void()> replace;
        QColor ground;
        bool asks;
    } ways[] = {
        {"a dropped file of 2000 pixels", [&] { dropFiles(0, {pngFile("in/red.png", 2000, 2000, Qt::red)}); }, Qt::red, true},
        {"Undo, back to 800 pixels", [&] { QTest::mouseClick(window->cmdRefresh[0], Qt::LeftButton); }, Qt::blue, false},
        {"the open dialog, 1000 x 640 pixels",
         [&] {
             choosers->files.push_back(platform::FileDialogResult{pngFile("in/yellow.png", 1000, 640, Qt::yellow), 1});
             QTest::mouseClick(window->picVisible[0], Qt::LeftButton);
         },
         Qt::yellow, true},
        {"the Background button, 2000 pixels", [&] { QTest::mouseClick(window->cmdNewCover[0], Qt::LeftButton); },
         Qt::white, true},
        {"a dropped file of 640 pixels", [&] { dropFiles(0, {pngFile("in/cyan.png", 640, 640, Qt::cyan)}); }, Qt::cyan, true},
    };
    int asked = 0;
    for (const auto &w : ways) {
        prompter->answers = {platform::MsgAnswer::Yes};
        w.replace();
        asked += w.asks ? 1 : 0;
        EXPECT_EQ(prompts().size(), asked) << w.way;
        EXPECT_EQ(previewColor(0, 0.8, 0.2), w.ground) << w.way;
        const ShownObjects shown = shownObjects(0);
        for (const auto &[now, before] : {std::pair{shown.picture, first.picture}, std::pair{shown.text, first.text}}) {
            EXPECT_NEAR(now.left(), before.left(), 1) << w.way;
            EXPECT_NEAR(now.top(), before.top(), 1) << w.way;
            EXPECT_NEAR(now.width(), before.width(), 2) << w.way;
            EXPECT_NEAR(now.height(), before.height(), 2) << w.way;
        }
    }

    // A turn of the picture under the objects leaves them where they are on the cover too:
    // on the back inlay's wider box the turned picture fits to another width.
    ASSERT_EQ(window->picVisible[1]->size(), QSize(296, 233));
    dropFiles(1, {pngFile("in/blue43.png", 800, 600, Qt::blue)});
    giveCoverObjects(1, 0.25, QRect(25, 25, 50, 50), QPoint(50, 120));
    window->convertImageSizeToCover(1);
    const ShownObjects upright = shownObjects(1);
    QTest::mouseClick(window->cmdRotate[1], Qt::LeftButton);
    ASSERT_EQ(igxBackup[1]->width(), 600);
    const ShownObjects turned = shownObjects(1);
    EXPECT_NEAR(turned.picture.left(), upright.picture.left(), 1);
    EXPECT_NEAR(turned.picture.width(), upright.picture.width(), 2);
    EXPECT_NEAR(turned.text.width(), upright.text.width(), 2);
}

TEST_F(CoverImages, TheOpenDialogLoadsTheChosenFileAndChoosesItsFormat)
{
    options("STANDARDPATH=" + path("pictures").toUtf8() + "\r\n");
    QDir().mkpath(path("pictures"));
    start();
    choosers->files.push_back(std::nullopt);
    window->pic_Click(1);
    ASSERT_EQ(choosers->fileRequests.size(), 1u);
    const auto &request = choosers->fileRequests[0];
    EXPECT_EQ(request.filter, gStrOpenImageFilter);
    EXPECT_EQ(request.initialDir, path("pictures"));
    EXPECT_EQ(request.captions.value("OpenButtonCaption"), "Open");
    EXPECT_TRUE(window->mBoolReady);
    EXPECT_TRUE(window->lblLoadPic[1]->isVisibleTo(window.get()));

    writeFile("pictures/broken_front.png", "not a picture");
    choosers->files.push_back(platform::FileDialogResult{path("pictures/broken_front.png"), 1});
    window->pic_Click(1);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].title, "Invalid Image");
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 2) << "nothing is chosen for an unreadable file";

    choosers->files.push_back(platform::FileDialogResult{pngFile("pictures/disc_LABEL.png", 80, 80, Qt::yellow), 1});
    window->pic_Click(1);
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 4);
    EXPECT_EQ(sideColor(1), QColor(Qt::yellow));
    EXPECT_TRUE(window->mBoolReady);
}

TEST_F(CoverImages, ImagesAreFittedToTheShapeOfTheSidesPreview)
{
    EXPECT_EQ(fittedImageSize({400, 200}, {300, 300}), QSize(400, 400));
    EXPECT_EQ(fittedImageSize({200, 400}, {300, 150}), QSize(800, 400));
    EXPECT_EQ(fittedImageSize({200, 400}, {0, 150}), QSize(200, 400));

    writeFile("data/mycover.dat", "HALF;10;20;1;1;1;1;0;2400;0;0;0;0;0;0\r\n"); // 320 x 160 pixels
    options("LASTMEDIUM=5\r\nLASTCOVERRIGHT=0\r\n");
    start();
    ASSERT_EQ(previewBoxPixels(1), QSize(320, 160));
    auto image = platform::ImgxImage::create();
    image->blank(400, 400, 0xFFFFFF, 255, 6, platform::kNoUndo);
    adaptImageSizeOnInit(*image, 1);
    EXPECT_EQ(QSize(image->width(), image->height()), QSize(400, 200));
    EXPECT_EQ(image->undoCount(), 0);

    window->mIntActualSide = 1;
    image->blank(100, 300, 0xFFFFFF, 255, 6, platform::kNoUndo);
    adaptImageSizeOnInit(*image);
    EXPECT_EQ(QSize(image->width(), image->height()), QSize(600, 300));
}

TEST_F(CoverImages, APictureOverTheLimitsIsCalledTooLargeWithItsSize)
{
    // Past the limits by its header, named with its size; within them by its header but past
    // the memory its reading may take.
    const struct {
        const char *file, *says;
    } pictures[] = {
        {"cut-huge.jpg", "too large (16000 x 16000 pixels)"},
        {"progressive-huge.jpg", "too large: reading it needs more memory"},
    };
    start();
    const QColor before = sideColor(0);
    for (const auto &p : pictures) {
        const QString huge = QStringLiteral(PELMORA_SOURCE_DIR "/tests/data/hostile-pictures/") + QLatin1String(p.file);
        prompter->shown.clear();
        choosers->files.push_back(platform::FileDialogResult{huge, 1});
        window->pic_Click(0);
        dropFiles(0, {huge});
        ASSERT_EQ(prompter->shown.size(), 2u);
        for (const auto &m : prompter->shown) {
            EXPECT_TRUE(m.prompt.contains(QLatin1String(p.says))) << m.prompt.toStdString();
            EXPECT_FALSE(m.prompt.contains("corrupt")) << m.prompt.toStdString();
        }
        // The limit is named as a number a user can check against a picture's size.
        static_assert(platform::kMaxImagePixels == 134217728 && platform::kMaxImageSide == 16384);
        if (QLatin1String(p.file) == QLatin1String("cut-huge.jpg")) {
            EXPECT_TRUE(prompter->shown[0].prompt.contains("134,217,728 pixels")) << prompter->shown[0].prompt.toStdString();
        }
        // The drop's report is headed by its cause.
        EXPECT_TRUE(prompter->shown[1].prompt.contains("The picture is too large for Pelmora.\r\n")) << prompter->shown[1].prompt.toStdString();
        EXPECT_EQ(sideColor(0), before);
    }
}

TEST_F(CoverImages, AReaderThatCrashesOrHangsLeavesTheSideItsObjectsAndUndoAsTheyWere)
{
    start();
    prompter->answers = {platform::MsgAnswer::Yes};
    giveObjects(0);
    dropFiles(0, {pngFile("in/blue.png", 60, 60, Qt::blue)});
    ASSERT_EQ(igxBackup[0]->undoCount(), 1);
    prompter->shown.clear();
    {
        const testsupport::MisbehavingPictureReader misbehaving;
        // Opened and dropped: each says why in its own words, the drop headed by its cause; a
        // reader that cannot read says so, not that the picture is damaged.
        const QString broken = path(QStringLiteral("broken-reader"));
        QFile script(broken);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 127\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QByteArray misbehavingReader = qgetenv("PELMORA_DECODER_HELPER");
        const struct {
            const char *file, *says, *headline;
            QString reader;
        } failing[] = {{"crash.png", "corrupt", "not an image format Pelmora can read", {}},
                       {"spin.png", "takes too long to read", "Reading the picture took too long.", {}},
                       {"nofilter.png", "cannot be read safely on this system", "Pelmora cannot read pictures here.", {}},
                       {"fine.png", "reader of Pelmora (pelmora-decoder) is missing", "Pelmora cannot read pictures here.",
                        path(QStringLiteral("no-reader"))},
                       {"fine.png", "cannot be started", "Pelmora cannot read pictures here.", broken}};
        for (const auto &f : failing) {
            SCOPED_TRACE(f.file);
            qputenv("PELMORA_DECODER_HELPER", f.reader.isEmpty() ? misbehavingReader : QFile::encodeName(f.reader));
            const QString file = pngFile(QLatin1String("in/") + QLatin1String(f.file), 50, 50, Qt::red);
            prompter->shown.clear();
            choosers->files.push_back(platform::FileDialogResult{file, 1});
            window->pic_Click(0);
            dropFiles(0, {file});
            ASSERT_EQ(prompter->shown.size(), 2u);
            for (const auto &m : prompter->shown)
                EXPECT_TRUE(m.prompt.contains(QLatin1String(f.says))) << m.prompt.toStdString();
            EXPECT_TRUE(prompter->shown[1].prompt.contains(QLatin1String(f.headline))) << prompter->shown[1].prompt.toStdString();
            EXPECT_EQ(sideColor(0), QColor(Qt::blue));
            EXPECT_EQ(igxBackup[0]->undoCount(), 1);
            EXPECT_TRUE(gBoolPartHasObjects[0]);
            EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
        }
        qputenv("PELMORA_DECODER_HELPER", misbehavingReader);
    }
    // The next picture loads as ever, asking about the objects.
    prompter->shown.clear();
    prompter->answers = {platform::MsgAnswer::Yes};
    dropFiles(0, {pngFile("in/green.png", 60, 60, Qt::green)});
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(sideColor(0), QColor(Qt::green));
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 1);
}
