#include "MainWindowTestSupport.h"

#include "canvas/clsMoveableObjects.h"
#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

using mainwindowtest::MainWindowTest;

namespace {

QStringList entries(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            out << (a->menu() ? a->menu()->objectName() : a->objectName());
    return out;
}

void giveObjects(int side)
{
    auto pic = platform::ImgxImage::create();
    QImage green(20, 20, QImage::Format_ARGB32_Premultiplied);
    green.fill(Qt::green);
    pic->setQImage(green, platform::kNoUndo);
    gObjPartMoveableObjects[size_t(side)]->AddClsPictureObject(pic);
    gBoolPartHasObjects[size_t(side)] = true;
}

} // namespace

TEST_F(MainWindowTest, MenuEntriesOpenTheirWindowsAndFreeTheWindowAfterwards)
{
    frmPelmora &w = start();
    w.timTip->stop(); // no tip of the day among the windows
    QStringList bar;
    for (const QAction *a : w.menuBar()->actions())
        bar << a->menu()->objectName();
    EXPECT_EQ(bar, QStringList({"menuFile", "menuTools", "menuQuestionMark"}));
    EXPECT_EQ(entries(w.menuFile), QStringList({"menuPrint", "menuScanner", "menuForeground", "menuOptions", "menuExit"}));
    EXPECT_EQ(entries(w.menuPrint), QStringList({"menuPrintAll", "menuPrintLeft", "menuPrintRight"}));
    EXPECT_EQ(entries(w.menuScanner), QStringList({"menuSelectSource", "menuScanLeft", "menuScanRight"}));
    EXPECT_EQ(entries(w.menuTools), QStringList({"menuPreview", "menuQuickLoad", "menuSearch", "mnuUpdateCheck2"}));
    EXPECT_EQ(entries(w.menuQuestionMark), QStringList({"menuHelp", "menuTip", "menuFAQ", "mnuUpdateCheck", "menuInfo"}));
    EXPECT_EQ(w.menuScanner->title(), "&Scanner");

    // While a window is open the main window is busy and not on top.
    std::vector<std::pair<bool, bool>> during;
    windows->windowAction = [&](const QString &) { during.push_back({w.mBoolReady, isFormTopmost(&w)}); };
    gByteForeground = 1;
    for (QAction *a : {w.menuOptions, w.menuPreview, w.menuSearch, w.mnuUpdateCheck, w.mnuUpdateCheck2, w.menuTip,
                       w.menuInfo})
        a->trigger();
    w.cmdPreview->click();
    w.cmdSearch->click();
    EXPECT_EQ(windows->opened, (std::vector<QString>{"frmOptions", "frmBrowse", "frmSearch", "frmUpdateCheck",
                                                      "frmUpdateCheck", "frmTip", "frmAbout", "frmBrowse", "frmSearch"}));
    ASSERT_EQ(during.size(), 9u);
    std::vector<bool> ready;
    for (const auto &[r, onTop] : during) {
        ready.push_back(r);
        EXPECT_FALSE(onTop);
    }
    // Only the update check leaves the window ready while it is open.
    EXPECT_EQ(ready, (std::vector<bool>{false, false, false, true, true, false, false, false, false}));
    EXPECT_TRUE(w.mBoolReady);
    // Only the search of the menu puts the window back on top.
    w.menuSearch->trigger();
    EXPECT_TRUE(isFormTopmost(&w));
    w.cmdSearch->click();
    EXPECT_FALSE(isFormTopmost(&w));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(MainWindowTest, EditorHidesTheMainWindowOnlyWhenItOpened)
{
    frmPelmora &w = start();
    w.timTip->stop(); // no tip of the day among the windows
    w.show();
    windows->editorOpens = false;
    w.cmdEditor[1]->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.mBoolReady);
    EXPECT_EQ(w.mIntActualSide, 1);

    windows->editorOpens = true;
    w.cmdEditor[0]->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.mBoolReady) << "the editor gives the window back when it closes";
    EXPECT_EQ(w.mIntActualSide, 0);
}

TEST_F(MainWindowTest, NewBackgroundAsksAboutObjectsOnlyWhenItWasChosen)
{
    frmPelmora &w = start();
    w.timTip->stop(); // no tip of the day among the windows
    w.show();
    giveObjects(1);
    const QImage before = igxBackup[1]->qimage();

    // Cancelled: no question, no change, the hint stays.
    w.cmdNewCover[1]->click();
    EXPECT_EQ(windows->opened, std::vector<QString>{"frmNewCover"});
    EXPECT_TRUE(prompts().isEmpty());
    EXPECT_TRUE(w.lblLoadPic[1]->isVisible());
    EXPECT_EQ(igxBackup[1]->qimage(), before);

    // Chosen: the dialog paints the side; "No" empties the side's objects.
    windows->windowAction = [&](const QString &) {
        igxBackup[size_t(w.mIntActualSide)]->blank(80, 60, 0x0000FF00, 255, 0, QString());
        w.mBoolNewCoverCancelled = false;
    };
    prompter->answers = {platform::MsgAnswer::No};
    w.cmdNewCover[1]->click();
    EXPECT_EQ(prompts(), QStringList({"This side holds texts and pictures. Keep all objects?"}));
    EXPECT_FALSE(gBoolPartHasObjects[1]);
    EXPECT_EQ(gObjPartMoveableObjects[1]->colMoveableObjects.count(), 0);
    EXPECT_FALSE(w.lblLoadPic[1]->isVisible());
    EXPECT_EQ(previewColor(1), QColor(0, 255, 0));
    EXPECT_TRUE(w.mBoolReady);

    // A side without objects asks nothing, nor one whose objects were all deleted or undone;
    // "Yes" keeps them.
    w.cmdNewCover[0]->click();
    EXPECT_EQ(prompts().size(), 1);
    giveObjects(0);
    for (const auto &[key, o] : gObjPartMoveableObjects[0]->colMoveableObjects)
        o->mBoolDeleted = true;
    w.cmdNewCover[0]->click();
    EXPECT_EQ(prompts().size(), 1);
    giveObjects(0);
    prompter->answers = {platform::MsgAnswer::Yes};
    w.cmdNewCover[0]->click();
    EXPECT_EQ(prompts().size(), 2);
    EXPECT_TRUE(gBoolPartHasObjects[0]);
    EXPECT_EQ(gObjPartMoveableObjects[0]->colMoveableObjects.count(), 2);
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesForTheRunningProgramOnly)
{
    options("FOREGROUND=0\r\n");
    frmPelmora &w = start();
    w.timTip->stop(); // no tip of the day among the windows
    const QByteArray stored = readFile("data/pelmora.dat");
    EXPECT_FALSE(w.menuForeground->isChecked());
    w.menuForeground->trigger();
    EXPECT_TRUE(isFormTopmost(&w));
    EXPECT_TRUE(w.menuForeground->isChecked());
    EXPECT_EQ(gByteForeground, 1);
    w.menuForeground->trigger();
    EXPECT_FALSE(isFormTopmost(&w));
    EXPECT_FALSE(w.menuForeground->isChecked());
    EXPECT_EQ(gByteForeground, 0);
    EXPECT_EQ(readFile("data/pelmora.dat"), stored);
}

TEST_F(MainWindowTest, UndoButtonStepsBackUntilNothingIsLeft)
{
    frmPelmora &w = start();
    w.timTip->stop();
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    igxBackup[0]->setQImage(img, platform::kNoUndo);
    igxBackup[0]->clearUndo();
    // Seventeen negatives: the side keeps the last sixteen steps.
    for (int i = 0; i < 17; ++i)
        w.cmdInvert[0]->click();
    EXPECT_EQ(QColor(igxBackup[0]->qimage().pixel(20, 20)), QColor(Qt::black));
    EXPECT_EQ(igxBackup[0]->undoCount(), 16);
    for (int i = 0; i < 18; ++i)
        w.cmdRefresh[0]->click();
    EXPECT_EQ(igxBackup[0]->undoCount(), 0);
    // The first negative is beyond reach.
    EXPECT_EQ(QColor(igxBackup[0]->qimage().pixel(20, 20)), QColor(Qt::black));
    EXPECT_EQ(previewColor(0), QColor(Qt::black));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(MainWindowTest, QuickLoadStandsInForTheMainWindowUntilItCloses)
{
    frmPelmora &w = start();
    w.show();
    w.menuQuickLoad->trigger();
    EXPECT_FALSE(w.isVisible());
    QWidget *quick = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets())
        if (t->objectName() == "frmQuickLoad" && t->isVisible())
            quick = t;
    ASSERT_NE(quick, nullptr);
    EXPECT_TRUE(isFormTopmost(quick));
    quick->close();
    EXPECT_TRUE(w.isVisible());
}
