#include "MainWindowTestSupport.h"

#include "mainwindow/Globals.h"

#include <QAction>
#include <QFile>

using mainwindowtest::MainWindowTest;

TEST_F(MainWindowTest, HelpOpensTheStartPageOfTheLanguage)
{
    QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/help/English.html"), path("help/English.html"));
    frmPelmora &w = start();
    w.menuHelp->trigger();
    ASSERT_EQ(urls->opened.size(), 1u);
    EXPECT_TRUE(urls->opened[0].endsWith("help/English.html"));
    EXPECT_TRUE(prompts().isEmpty());

    QFile::remove(path("help/English.html"));
    w.menuHelp->trigger();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("frmPelmora.menuHelp_Click"));

    w.menuFAQ->trigger();
    EXPECT_EQ(urls->opened.size(), 2u);
    EXPECT_TRUE(urls->opened[1].startsWith("https://"));
}
