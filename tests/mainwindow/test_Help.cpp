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

    // In German the report says in German why there is no help: no program opened the page,
    // or the page is missing.
    window.reset();
    options("LANGUAGE=Deutsch.dll\r\n");
    QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/help/Deutsch.html"), path("help/Deutsch.html"));
    frmPelmora &german = start();
    urls->opens = false;
    german.menuHelp->trigger();
    EXPECT_EQ(urls->opened.size(), 3u);
    ASSERT_EQ(prompts().size(), 2);
    EXPECT_TRUE(prompts()[1].endsWith(QString::fromUtf8("Beschreibung: Kein Programm hat die Hilfedatei geöffnet."))) << prompts()[1].toStdString();
    QFile::remove(path("help/Deutsch.html"));
    german.menuHelp->trigger();
    ASSERT_EQ(prompts().size(), 3);
    EXPECT_TRUE(prompts()[2].endsWith("Beschreibung: Die Hilfedatei wurde nicht gefunden: " + path("help/Deutsch.html")))
        << prompts()[2].toStdString();
}
