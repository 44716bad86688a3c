#include "MainWindowTestSupport.h"

#include "canvas/Globals.h"
#include "editor/frmNewCover.h"
#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QTest>

using mainwindowtest::MainWindowTest;

namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;

// Within the JPEG round trip's tolerance.
bool near(QRgb pixel, QColor expected)
{
    return std::abs(qRed(pixel) - expected.red()) < 24 && std::abs(qGreen(pixel) - expected.green()) < 24 &&
           std::abs(qBlue(pixel) - expected.blue()) < 24;
}

void setAspect(frmPelmora &w, double widthOverHeight)
{
    w.picVisible[0]->setHeightTwips(3000);
    w.picVisible[0]->setWidthTwips(3000 * widthOverHeight);
}

} // namespace

TEST_F(MainWindowTest, NewCoverFromTheMainWindowPaintsItsSide)
{
    frmPelmora &w = start();
    std::function<void(frmNewCover &)> act;
    windows->windowAction = [&](const QString &name) {
        if (name != "frmNewCover")
            return;
        frmNewCover dlg(&w);
        act(dlg);
    };

    // OK at once: plain white, 2000 wide, the flag cleared, nothing to undo.
    act = [](frmNewCover &dlg) { dlg.cmdOK->click(); };
    w.cmdNewCover[1]->click();
    EXPECT_FALSE(w.mBoolNewCoverCancelled);
    ASSERT_EQ(igxBackup[1]->width(), 2000);
    EXPECT_TRUE(near(igxBackup[1]->qimage().pixel(10, 10), Qt::white));
    EXPECT_EQ(igxBackup[1]->undoCount(), 0);
    EXPECT_FALSE(w.lblLoadPic[1]->isVisible());
    EXPECT_EQ(previewColor(1), QColor(Qt::white));

    // A plain colour, chosen on the swatch; a cancelled choice before it changes nothing.
    act = [&](frmNewCover &dlg) {
        choosers->colors = {std::nullopt, kBlue};
        QTest::mouseClick(dlg.lblBackColor, Qt::LeftButton);
        EXPECT_EQ(frmNewCover::swatchColor(dlg.lblBackColor), 0xFFFFFFu);
        dlg.cmdMarginColor->click();
        EXPECT_EQ(frmNewCover::swatchColor(dlg.lblBackColor), kBlue);
        EXPECT_TRUE(near(dlg.picPreview->picture().pixel(5, 5), Qt::blue));
        dlg.cmdOK->click();
    };
    w.cmdNewCover[0]->click();
    EXPECT_TRUE(near(igxBackup[0]->qimage().pixel(1000, 1000), Qt::blue));
    EXPECT_TRUE(near(previewColor(0).rgb(), Qt::blue));

    // A two-colour gradient from the top down.
    act = [&](frmNewCover &dlg) {
        dlg.chkGradient->click();
        choosers->colors = {kRed, kBlue};
        QTest::mouseClick(dlg.lblColor1, Qt::LeftButton);
        QTest::mouseClick(dlg.lblColor2, Qt::LeftButton);
        dlg.cmdUp->click();
        dlg.cmdOK->click();
    };
    w.cmdNewCover[0]->click();
    const int h = igxBackup[0]->height();
    EXPECT_TRUE(near(igxBackup[0]->qimage().pixel(1000, 2), Qt::red));
    EXPECT_TRUE(near(igxBackup[0]->qimage().pixel(1000, h - 3), Qt::blue));
    EXPECT_FALSE(w.mBoolNewCoverCancelled);

    // Cancel after changing everything: the side and its flag say nothing happened.
    const QImage before = igxBackup[0]->qimage();
    act = [&](frmNewCover &dlg) {
        dlg.chkGradient->click();
        dlg.chkRainbow->click();
        dlg.cmdCancel->click();
    };
    w.cmdNewCover[0]->click();
    EXPECT_TRUE(w.mBoolNewCoverCancelled);
    EXPECT_EQ(igxBackup[0]->qimage(), before);

    // No temporary file in the data folder: reported, the side and the flag as they were.
    QDir(home.path()).rename("data", "data.away");
    writeFile("data", "not a folder");
    act = [](frmNewCover &dlg) { dlg.cmdOK->click(); };
    w.cmdNewCover[0]->click();
    QFile::remove(path("data"));
    QDir(home.path()).rename("data.away", "data");
    EXPECT_TRUE(w.mBoolNewCoverCancelled);
    EXPECT_EQ(igxBackup[0]->qimage(), before);
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("frmNewCover.cmdOk_Click"));
    EXPECT_TRUE(QDir(path("data")).entryList({"vbn*"}).isEmpty());
}

TEST_F(MainWindowTest, NewCoverDirectionsColoursAndAspect)
{
    frmPelmora &w = start();
    w.mIntActualSide = 0;

    // The side's aspect decides the height; a narrow or flat box still gives ratio 1.
    for (auto [aspect, ratio, height] : {std::tuple{1.2, 1, 2000}, {2.6, 3, 667}, {0.4, 1, 2000}, {0.0, 1, 2000}}) {
        setAspect(w, aspect);
        frmNewCover dlg(&w);
        EXPECT_EQ(dlg.sideRatio(), ratio) << aspect;
        EXPECT_EQ(dlg.backgroundHeight(), height) << aspect;
    }
    w.picVisible[0]->setWidthTwips(3000);
    w.picVisible[0]->setHeightTwips(0);
    {
        frmNewCover flat(&w);
        EXPECT_EQ(flat.sideRatio(), 3000);
        EXPECT_EQ(flat.backgroundHeight(), 1);
    }
    setAspect(w, 2.6);

    // Each direction: colour 1 at its start point, colour 2 at its end point.
    gObjDefaultTextGradient->mlngColor1 = 5;
    struct Direction {
        ButtonPlus *frmNewCover::*button;
        QPoint start, end;
    };
    const int W = 1999, H = 666;
    const Direction directions[] = {
        {&frmNewCover::cmdUp, {1000, 0}, {1000, H}},       {&frmNewCover::cmdDown, {1000, H}, {1000, 0}},
        {&frmNewCover::cmdLeft, {0, 300}, {W, 300}},       {&frmNewCover::cmdRight, {W, 300}, {0, 300}},
        {&frmNewCover::cmdUpLeft, {0, 0}, {W, H}},         {&frmNewCover::cmdUpRight, {W, 0}, {0, H}},
        {&frmNewCover::cmdDownLeft, {0, H}, {W, 0}},       {&frmNewCover::cmdDownRight, {W, H}, {0, 0}},
    };
    for (const Direction &d : directions) {
        frmNewCover dlg(&w);
        // Loading starts from the default gradient again.
        EXPECT_EQ(gObjDefaultTextGradient->mlngColor1, 0xFFFFFF);
        EXPECT_EQ(gObjDefaultTextGradient->mObjPointEnd->mLngX, 2000);
        EXPECT_FALSE(dlg.chkGradient->isChecked());
        dlg.chkGradient->click();
        choosers->colors = {kRed, kBlue};
        QTest::mouseClick(dlg.lblColor1, Qt::LeftButton);
        QTest::mouseClick(dlg.lblColor2, Qt::LeftButton);
        (dlg.*d.button)->click();
        EXPECT_FALSE(dlg.gradient().mBoolCenter);
        dlg.cmdOk_Click();
        const QImage img = igxBackup[0]->qimage();
        ASSERT_EQ(img.size(), QSize(2000, 667)) << prompts().join("|").toStdString();
        EXPECT_TRUE(near(img.pixel(d.start), Qt::red)) << d.start.x() << "," << d.start.y();
        EXPECT_TRUE(near(img.pixel(d.end), Qt::blue)) << d.end.x() << "," << d.end.y();
    }

    // Radial: colour 1 in the centre of the background, colour 2 at radius W / 2 and beyond.
    {
        setAspect(w, 1.0);
        frmNewCover dlg(&w);
        dlg.chkGradient->click();
        dlg.cmdSwitchColors->click();
        dlg.cmdCenter->click();
        EXPECT_TRUE(dlg.gradient().mBoolCenter);
        EXPECT_EQ(dlg.gradient().mlngColor1, 0);
        dlg.cmdOk_Click();
        const QImage img = igxBackup[0]->qimage();
        EXPECT_TRUE(near(img.pixel(1000, 1000), Qt::black));
        EXPECT_TRUE(near(img.pixel(1000, 2), Qt::white));
        EXPECT_TRUE(near(img.pixel(2, 2), Qt::white));
        EXPECT_FALSE(near(img.pixel(1000, 500), Qt::white));
    }

    // The rainbow greys the swatches and keeps the colours for later; switching between
    // plain and gradient turns it off.
    frmNewCover dlg(&w);
    dlg.chkGradient->click();
    choosers->colors = {kRed};
    QTest::mouseClick(dlg.lblColor1, Qt::LeftButton);
    dlg.chkRainbow->click();
    EXPECT_EQ(frmNewCover::swatchColor(dlg.lblColor1), frmNewCover::kButtonFace);
    EXPECT_EQ(frmNewCover::swatchColor(dlg.lblColor2), frmNewCover::kButtonFace);
    EXPECT_FALSE(dlg.cmdSwitchColors->isEnabled());
    EXPECT_TRUE(dlg.gradient().mBoolRainbow);
    EXPECT_EQ(dlg.gradient().mlngColor1, std::int32_t(kRed));
    QTest::mouseClick(dlg.lblColor2, Qt::LeftButton);   // no choice while greyed
    dlg.chkRainbow->click();
    EXPECT_EQ(frmNewCover::swatchColor(dlg.lblColor1), kRed);
    EXPECT_EQ(frmNewCover::swatchColor(dlg.lblColor2), 0u);
    EXPECT_TRUE(dlg.cmdSwitchColors->isEnabled());
    dlg.chkRainbow->click();
    dlg.chkGradient->click();
    dlg.chkGradient->click();
    EXPECT_FALSE(dlg.chkRainbow->isChecked());
    EXPECT_EQ(frmNewCover::swatchColor(dlg.lblColor1), kRed);

    // The gradient's controls stack 20 twips apart.
    const double tpp = 15.0;
    EXPECT_NEAR(dlg.fraGradient->y() - (dlg.chkGradient->y() + dlg.chkGradient->height()), 20 / tpp, 1.0);
    EXPECT_EQ(dlg.fraOthers->y(), dlg.fraGradient->y());
    EXPECT_NEAR(dlg.picPreview->y() - (dlg.lblPreview->y() + dlg.lblPreview->height()), 20 / tpp, 1.0);
    EXPECT_EQ(dlg.cmdOK->y(), dlg.cmdCancel->y());
    EXPECT_TRUE(prompts().isEmpty());
}
