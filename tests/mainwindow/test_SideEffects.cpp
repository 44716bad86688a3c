#include "MainWindowTestSupport.h"

#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"

#include <QPainter>

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
    for (int i = 0; i < 4; ++i)
        igxBackup[1]->undo();
    EXPECT_EQ(igxBackup[1]->qimage(), start);

    w.cmdInvert[1]->click();
    EXPECT_EQ(QColor(igxBackup[1]->qimage().pixel(30, 30)), QColor(Qt::black));
    w.cmdSharpen[1]->click();
    EXPECT_EQ(igxBackup[1]->undoCount(), steps + 2);
    EXPECT_EQ(igxBackup[1]->undoText(igxBackup[1]->undoCount() - 1), "");
    EXPECT_TRUE(prompts().isEmpty());
}
