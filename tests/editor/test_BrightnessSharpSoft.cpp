#include "MainWindowTestSupport.h"

#include "editor/frmBrightness.h"
#include "editor/frmSharpSoft.h"
#include "mainwindow/Globals.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QFile>
#include <QUrl>
#include <QTest>
#include <cmath>

using mainwindowtest::MainWindowTest;

namespace {

QImage sample()
{
    QImage img(300, 120, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(90, 110, 130));
    QPainter p(&img);
    p.fillRect(0, 0, 150, 120, QColor(30, 200, 60));
    p.fillRect(40, 30, 20, 20, Qt::white);
    return img;
}

platform::ImgxImagePtr copyOf(const platform::ImgxImage &image)
{
    auto copy = platform::ImgxImage::create();
    copy->importImage(image, platform::kNoUndo);
    return copy;
}

} // namespace

TEST_F(MainWindowTest, BrightnessDialogChangesTheSideAsItsPreviewShowed)
{
    options("LANGUAGE=English.dll\r\n");
    frmPelmora &w = start();
    igxBackup[0]->setQImage(sample(), platform::kNoUndo);
    const QImage before = igxBackup[0]->qimage();
    const int steps = igxBackup[0]->undoCount();

    // Applied: the bars at 40 and -25 change the side by one step, as the preview showed.
    std::function<void(frmBrightness &)> use = [&](frmBrightness &dlg) {
        EXPECT_EQ(dlg.lblBrightness->text(), "Brightness: 0");
        EXPECT_EQ(dlg.lblContrast->text(), "Contrast: 0");
        const auto &tpp = platform::Screen::get();
        const int boxW = int(dlg.picPreview->widthTwips() / tpp.twipsPerPixelX());
        const int boxH = int(dlg.picPreview->heightTwips() / tpp.twipsPerPixelY());
        ASSERT_TRUE(dlg.previewCopy());
        EXPECT_EQ(dlg.previewCopy()->width(), std::min(boxW, boxH));
        const QImage unchanged = dlg.previewCopy()->qimage();

        dlg.scrBrightness->setValue(30);
        EXPECT_EQ(dlg.lblBrightness->text(), "Brightness: 30");
        EXPECT_GT(qGray(dlg.picPreview->picture().pixel(2, 2)), qGray(unchanged.pixel(2, 2)));
        dlg.scrBrightness->setValue(0);
        EXPECT_EQ(dlg.picPreview->picture(), unchanged);

        dlg.scrBrightness->setValue(40);
        dlg.scrContrast->setValue(-25);
        EXPECT_EQ(dlg.lblContrast->text(), "Contrast: -25");
        auto shown = copyOf(*dlg.previewCopy());
        shown->brightnessContrast(40, -25, platform::kNoUndo);
        EXPECT_EQ(dlg.picPreview->picture(), shown->qimage());
        EXPECT_EQ(dlg.previewCopy()->qimage(), unchanged);
        dlg.cmdOK->click();
    };
    windows->windowAction = [&](const QString &name) {
        if (name != "frmBrightness")
            return;
        frmBrightness dlg(&w);
        dlg.Setup(windows->dialogImage);
        use(dlg);
    };
    w.cmdBrightness[0]->click();
    auto expected = platform::ImgxImage::create();
    expected->setQImage(before, platform::kNoUndo);
    expected->brightnessContrast(40, -25, platform::kNoUndo);
    EXPECT_EQ(igxBackup[0]->qimage(), expected->qimage());
    EXPECT_EQ(igxBackup[0]->undoCount(), steps + 1);
    w.cmdRefresh[0]->click();
    EXPECT_EQ(igxBackup[0]->qimage(), before);

    // Cancelled after moving the bars: nothing changes, nothing is recorded.
    use = [](frmBrightness &dlg) {
        dlg.scrBrightness->setValue(-60);
        dlg.scrContrast->setValue(70);
        dlg.cmdCancel->click();
    };
    const int afterUndo = igxBackup[0]->undoCount();
    w.cmdBrightness[0]->click();
    EXPECT_EQ(igxBackup[0]->qimage(), before);
    EXPECT_EQ(igxBackup[0]->undoCount(), afterUndo);
    EXPECT_TRUE(prompts().isEmpty());

    // A side without a picture: Setup reports, OK changes and records nothing.
    igxBackup[1]->setQImage(QImage(), platform::kNoUndo);
    use = [](frmBrightness &dlg) {
        dlg.scrBrightness->setValue(50);
        dlg.cmdOK->click();
    };
    w.cmdBrightness[1]->click();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("frmBrightness.Setup"));
    EXPECT_TRUE(igxBackup[1]->isEmpty());
    EXPECT_EQ(igxBackup[1]->undoCount(), 0);
}

TEST_F(MainWindowTest, SharpSoftDialogFiltersTheSideByTheChosenPercentage)
{
    options("LANGUAGE=English.dll\r\n");
    frmPelmora &w = start();
    igxBackup[1]->setQImage(sample(), platform::kNoUndo);
    const QImage before = igxBackup[1]->qimage();
    const int steps = igxBackup[1]->undoCount();

    std::function<void(frmSharpSoft &)> use;
    windows->windowAction = [&](const QString &name) {
        if (!name.startsWith("frmSharpSoft"))
            return;
        frmSharpSoft dlg(&w);
        dlg.mBoolSharpen = name.endsWith("sharpen");
        dlg.Form_Load();
        dlg.Setup(windows->dialogImage);
        use(dlg);
    };

    // Sharpening: caption, label and help topic of the mode; every preview starts from the
    // unfiltered copy; OK sharpens the side directly, one step.
    use = [&](frmSharpSoft &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Sharpen");
        EXPECT_EQ(dlg.lblSharpSoft->text(), "Sharpen by %: 0");
        EXPECT_EQ(dlg.helpContextID(), 1210);
        ASSERT_TRUE(dlg.previewImage());
        const auto &tpp = platform::Screen::get();
        const int boxW = int(std::lround(dlg.picPreview->widthTwips() / tpp.twipsPerPixelX()));
        const int boxH = int(std::lround(dlg.picPreview->heightTwips() / tpp.twipsPerPixelY()));
        EXPECT_EQ(dlg.previewImage()->width(), std::max(boxW, boxH));
        auto single = copyOf(*dlg.previewImage());
        single->sharpen(30, 3, false, platform::kNoUndo);
        dlg.scrSharpSoft->setValue(90);
        dlg.scrSharpSoft->setValue(30);
        EXPECT_EQ(dlg.picPreview->picture(), single->qimage());
        dlg.scrSharpSoft->setValue(50);
        EXPECT_EQ(dlg.lblSharpSoft->text(), "Sharpen by %: 50");

        // F1 without the help file: its report; with it, the help at the dialog's topic.
        QTest::keyClick(&dlg, Qt::Key_F1);
        QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/help/English.html"), path("help/English.html"));
        chooseHelpFile();
        QTest::keyClick(&dlg, Qt::Key_F1);
        dlg.cmdOk->click();
    };
    popups->choices = {"mnuPopUpSharpenPercentManual"};
    w.cmdEffects[1]->click();
    auto expected = platform::ImgxImage::create();
    expected->setQImage(before, platform::kNoUndo);
    expected->sharpen(50, 3, true, platform::kNoUndo);
    EXPECT_EQ(igxBackup[1]->qimage(), expected->qimage());
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 1);
    // F1 went the way of the main window's help: without the help file, its report; with it,
    // the page at the anchor of the topic, which the page has.
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("frmSharpSoft"));
    ASSERT_EQ(urls->opened.size(), 1u);
    EXPECT_EQ(urls->opened[0], QUrl::fromLocalFile(path("help/English.html")).toString() + "#topic1210");
    EXPECT_TRUE(readFile("help/English.html").contains("id=\"topic1210\""));

    // Softening at 0 % (the bar not moved) still filters, one step.
    use = [&](frmSharpSoft &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Soften");
        EXPECT_EQ(dlg.lblSharpSoft->text(), "Soften by %: 0");
        EXPECT_EQ(dlg.helpContextID(), 1215);
        QTest::keyClick(&dlg, Qt::Key_F1);
        dlg.cmdOk->click();
    };
    popups->choices = {"mnuPopUpSoftenPercentManual"};
    w.cmdEffects[1]->click();
    expected->soften(0, platform::kNoUndo);
    EXPECT_EQ(igxBackup[1]->qimage(), expected->qimage());
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 2);
    ASSERT_EQ(urls->opened.size(), 2u);
    EXPECT_TRUE(urls->opened[1].endsWith("/help/English.html#topic1215"));
    EXPECT_TRUE(readFile("help/English.html").contains("id=\"topic1215\""));

    // Cancel after moving the bar changes nothing.
    use = [](frmSharpSoft &dlg) {
        dlg.scrSharpSoft->setValue(80);
        dlg.cmdCancel->click();
    };
    popups->choices = {"mnuPopUpSoftenPercentManual"};
    w.cmdEffects[1]->click();
    EXPECT_EQ(igxBackup[1]->qimage(), expected->qimage());
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 2);
    EXPECT_EQ(prompts().size(), 1);
}
