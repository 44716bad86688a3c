#include "MainWindowTestSupport.h"

#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <tuple>

using mainwindowtest::MainWindowTest;

TEST_F(MainWindowTest, RotatingASideFourTimesAndUndoingFourSteps)
{
    frmPelmora &w = start();
    QImage img(60, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter(&img).fillRect(0, 0, 10, 10, Qt::red);
    igxBackup[1]->setQImage(img, platform::kNoUndo);
    const QImage start = igxBackup[1]->qimage();
    const int steps = igxBackup[1]->undoCount();
    w.cmdRotate[1]->click();
    EXPECT_EQ(igxBackup[1]->width(), 40);
    EXPECT_EQ(igxBackup[1]->height(), 60);
    for (int i = 0; i < 3; ++i)
        w.cmdRotate[1]->click();
    EXPECT_EQ(igxBackup[1]->qimage(), start);
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 4);
    // The side's undo button steps back one rotation at a time.
    w.cmdRefresh[1]->click();
    EXPECT_EQ(igxBackup[1]->width(), 40);
    for (int i = 0; i < 3; ++i)
        w.cmdRefresh[1]->click();
    EXPECT_EQ(igxBackup[1]->qimage(), start);
    EXPECT_EQ(igxBackup[1]->undoCount(), steps);

    w.cmdInvert[1]->click();
    EXPECT_EQ(QColor(igxBackup[1]->qimage().pixel(30, 30)), QColor(Qt::black));
    // The sharpen button sharpens by 15 %, filter size 3.
    auto reference = platform::ImgxImage::create();
    reference->importImage(*igxBackup[1], platform::kNoUndo);
    reference->sharpen(15, 3, true, platform::kNoUndo);
    w.cmdSharpen[1]->click();
    EXPECT_EQ(igxBackup[1]->qimage(), reference->qimage());
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 2);
    EXPECT_EQ(igxBackup[1]->undoText(igxBackup[1]->undoCount() - 1), "");
    EXPECT_TRUE(prompts().isEmpty());
}

namespace {
QImage halves()
{
    QImage img(60, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(200, 40, 40));
    QPainter(&img).fillRect(0, 0, 30, 40, QColor(40, 40, 200));
    return img;
}
} // namespace

TEST_F(MainWindowTest, EffectsPopupWorksOnTheSideOfItsButton)
{
    frmPelmora &w = start();
    for (int s = 0; s < 2; ++s)
        igxBackup[size_t(s)]->setQImage(halves(), platform::kNoUndo);
    const QImage left = igxBackup[0]->qimage();

    // Used once on the left, then everything on the right.
    popups->choices = {"mnuPopUpNegative"};
    w.cmdEffects[0]->click();
    EXPECT_NE(igxBackup[0]->qimage(), left);
    igxBackup[0]->undo();
    ASSERT_EQ(igxBackup[0]->qimage(), left);

    // The menu opens at the right edge of the button, level with its top.
    const QPoint corner = w.cmdEffects[1]->mapToGlobal(QPoint(w.cmdEffects[1]->width(), 0));
    popups->choices = {"mnuPopUpGrayscale"};
    w.cmdEffects[1]->click();
    EXPECT_EQ(popups->positions.back(), corner);
    const QColor grey(igxBackup[1]->qimage().pixel(45, 20));
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    // The preview shows the new image at once.
    const QColor shown = previewColor(1, 0.75, 0.5);
    EXPECT_LE(std::abs(shown.red() - shown.blue()), 2);

    // Flipping turns the halves around: blue on the right now.
    igxBackup[1]->setQImage(halves(), platform::kNoUndo);
    popups->choices = {"mnuPopUpFlipHorizontal"};
    w.cmdEffects[1]->click();
    const QColor flipped(igxBackup[1]->qimage().pixel(50, 20));
    EXPECT_GT(flipped.blue(), flipped.red());

    // The percentages are passed as they stand.
    for (const auto &[entry, percent, sharpen] : {std::tuple{"mnuPopUpSharpenPercent_25", 25, true},
                                                  std::tuple{"mnuPopUpSharpenPercent_75", 75, true},
                                                  std::tuple{"mnuPopUpSoftenPercent_50", 50, false},
                                                  std::tuple{"mnuPopUpSoftenPercent_100", 100, false}}) {
        auto reference = platform::ImgxImage::create();
        reference->importImage(*igxBackup[1], platform::kNoUndo);
        if (sharpen)
            reference->sharpen(percent, 3, true, platform::kNoUndo);
        else
            reference->soften(percent, platform::kNoUndo);
        popups->choices = {QString::fromLatin1(entry)};
        w.cmdEffects[1]->click();
        EXPECT_EQ(igxBackup[1]->qimage(), reference->qimage()) << entry;
    }

    const QImage right = igxBackup[1]->qimage();
    const int steps = igxBackup[1]->undoCount();
    const char *entries[] = {"mnuPopUpAutoBrightness", "mnuPopUpNegative", "mnuPopUpFlipHorizontal",
                             "mnuPopUpFlipVertical", "mnuPopUpSharpenPercent_25", "mnuPopUpSharpenPercent_100",
                             "mnuPopUpSoftenPercent_50", "mnuPopUpSoftenPercent_75"};
    int n = 0;
    for (const char *entry : entries) {
        popups->choices = {QString::fromLatin1(entry)};
        w.cmdEffects[1]->click();
        EXPECT_EQ(igxBackup[1]->undoCount(), steps + ++n) << entry;
    }
    EXPECT_EQ(igxBackup[0]->qimage(), left);
    EXPECT_NE(igxBackup[1]->qimage(), right);

    // The manual entries open the dialogs on the right side's image.
    popups->choices = {"mnuPopUpSharpenPercentManual"};
    w.cmdEffects[1]->click();
    popups->choices = {"mnuPopUpSoftenPercentManual"};
    w.cmdEffects[1]->click();
    popups->choices = {"mnuPopUpManualBrightness"};
    w.cmdEffects[1]->click();
    EXPECT_EQ(windows->opened, (std::vector<QString>{"frmSharpSoft sharpen", "frmSharpSoft soften", "frmBrightness"}));
    EXPECT_EQ(windows->dialogImage, igxBackup[1]);
    EXPECT_TRUE(w.mBoolReady);
    EXPECT_TRUE(prompts().isEmpty());

}

TEST_F(MainWindowTest, EffectsPopupSpeaksTheLanguageAndReportsAFailedEffect)
{
    options("LANGUAGE=Deutsch.dll\r\n");
    frmPelmora &w = start();
    // The entries carry the language's captions; the percentages keep theirs.
    const auto *sharpen25 = w.mnuPopUpEffects->findChild<QAction *>("mnuPopUpSharpenPercent_25");
    ASSERT_NE(sharpen25, nullptr);
    EXPECT_EQ(sharpen25->text(), "25%");
    EXPECT_EQ(w.mnuPopUpEffects->findChild<QMenu *>("mnuPopUpFlip")->title(), "Spiegeln");
    EXPECT_EQ(w.mnuPopUpEffects->findChild<QAction *>("mnuPopUpGrayscale")->text(), "Graustufen");

    // A side without an image object: the effect fails inside the menu's command and is
    // reported once, as the menu's error.
    igxBackup[0].reset();
    popups->choices = {"mnuPopUpSharpenPercent_50"};
    w.cmdEffects[0]->click();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("frmPelmora.doPopUpMenu")) << prompts()[0].toStdString();
}
