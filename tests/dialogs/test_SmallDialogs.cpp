#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "core/Version.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmProgressBar.h"
#include "dialogs/frmTip.h"
#include "mainwindow/frmPelmora.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>

namespace {

class SmallDialogs : public mainwindowtest::MainWindowTest {
protected:
    QString tip(int n) const { return gObjLanguageStore().getVar(QStringLiteral("TIP.TIP_%1").arg(n)); }
    QString storedShowTips() const
    {
        for (const QString &line : dataLines("pelmora.dat"))
            if (line.startsWith("SHOWTIPS="))
                return line.mid(9);
        return QStringLiteral("(missing)");
    }
};

} // namespace

TEST_F(SmallDialogs, TipsStartWithTheFirstAndNeverRepeatInARow)
{
    options("LANGUAGE=English.dll\r\n");
    start();
    // Draws: 0.0 -> tip 1, 0.05 -> tip 1 again (drawn anew), 0.99 -> tip 12.
    std::deque<double> draws = {0.0, 0.05, 0.99, 0.5};
    frmTip dlg(window.get(), [&] {
        const double d = draws.front();
        draws.pop_front();
        return d;
    });
    EXPECT_EQ(dlg.currentTip(), 0);
    EXPECT_EQ(dlg.lblTipText->text(), tip(0));
    EXPECT_FALSE(tip(0).isEmpty());
    dlg.cmdNextTip->click();
    EXPECT_EQ(dlg.currentTip(), 1);
    EXPECT_EQ(dlg.lblTipText->text(), tip(1));
    dlg.cmdNextTip->click();
    EXPECT_EQ(dlg.currentTip(), 12);
    EXPECT_EQ(dlg.lblTipText->text(), tip(12));
    EXPECT_EQ(draws.size(), 1u);

    // A missing key shows checked and writes nothing; the box writes "1" and "0".
    EXPECT_TRUE(dlg.chkLoadTipsAtStartup->isChecked());
    EXPECT_EQ(storedShowTips(), "(missing)");
    dlg.chkLoadTipsAtStartup->click();
    EXPECT_EQ(storedShowTips(), "1");
    dlg.chkLoadTipsAtStartup->click();
    EXPECT_EQ(storedShowTips(), "0");

    // The real source: thirteen different tips, none twice in a row.
    frmTip random(window.get());
    QSet<QString> seen{random.lblTipText->text()};
    int previous = random.currentTip();
    for (int i = 0; i < 300; ++i) {
        random.showRandomTip();
        EXPECT_NE(random.currentTip(), previous);
        EXPECT_GE(random.currentTip(), 1);
        EXPECT_LE(random.currentTip(), 12);
        previous = random.currentTip();
        seen.insert(random.lblTipText->text());
    }
    EXPECT_EQ(seen.size(), 13);
}

TEST_F(SmallDialogs, TheStoredChoiceShowsInTheTipBox)
{
    options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\n");
    start();
    {
        frmTip dlg(window.get());
        EXPECT_FALSE(dlg.chkLoadTipsAtStartup->isChecked());
        EXPECT_EQ(dlg.windowTitle(), "Tips and tricks");
    }
    gObjOptionsStore().saveVar(QStringLiteral("OPTIONS.SHOWTIPS"), QStringLiteral("0"));
    frmTip dlg(window.get());
    EXPECT_TRUE(dlg.chkLoadTipsAtStartup->isChecked());
    EXPECT_EQ(storedShowTips(), "0");
}

TEST_F(SmallDialogs, AboutBoxNamesTheVersionAndOpensItsLinks)
{
    options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\n");
    start();
    const QString version = QStringLiteral("%1.%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR);
    {
        frmAbout about(window.get());
        EXPECT_EQ(about.windowTitle(), "Pelmora " + version);
        EXPECT_EQ(about.lblProductName->text(), "Pelmora " + version);
        EXPECT_EQ(about.lblEmail->text(), "e-mail:" + gStrSupportAddress);
        EXPECT_EQ(about.lblInternet->text(), gStrHomePageURL);
        about.lblInternet_Click();
        about.picLogo_Click();
        about.lblEmail_Click();
        ASSERT_EQ(urls->opened.size(), 3u);
        EXPECT_EQ(urls->opened[0], gStrHomePageURL);
        EXPECT_EQ(urls->opened[1], gStrHomePageURL);
        EXPECT_TRUE(urls->opened[2].startsWith("mailto:"));
        EXPECT_TRUE(prompter->shown.empty());

        // Without a program for the links, a click on one says so.
        urls->opens = false;
        QTest::mouseClick(about.lblInternet, Qt::LeftButton);
        QTest::mouseClick(about.lblEmail, Qt::LeftButton);
        ASSERT_EQ(prompter->shown.size(), 2u);
        EXPECT_EQ(prompter->shown[0].prompt,
                  "No program opened " + gStrHomePageURL + ". Is a web browser or a mail program installed?");
        EXPECT_EQ(prompter->shown[1].prompt,
                  "No program opened " + gStrSupportAddress + ". Is a web browser or a mail program installed?");
        EXPECT_FALSE(prompter->shown[1].prompt.contains("mailto:"));
        EXPECT_EQ(prompter->shown[1].title, "Message");
    }
    // Without the program's name in the language file the caption begins with a blank.
    gObjLanguageStore().envVars().Remove(QStringLiteral("GENERAL.APP_NAME"));
    frmAbout about(window.get());
    EXPECT_EQ(about.windowTitle(), " " + version);
}

TEST_F(SmallDialogs, TheProgressWindowDropsAndRestoresTheMainWindowsTopmostState)
{
    options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\nFOREGROUND=1\r\n");
    start();
    window->show();
    restoreMainFormTopmost(window.get());
    auto progress = std::make_unique<frmProgressBar>(window.get());
    EXPECT_FALSE(isFormTopmost(window.get()));
    EXPECT_EQ(progress->windowTitle(), "Progress");
    EXPECT_EQ(progress->progBar->maximum(), 100);
    progress->show();
    progress->close();
    EXPECT_TRUE(isFormTopmost(window.get()));
}

TEST_F(SmallDialogs, ALanguageFileWithoutTheirKeysLeavesTabsAndTipsEmpty)
{
    writeFile("language/Mini.dll", "[GENERAL]\r\nLANGUAGE_SHORTCUT=EN\r\n");
    options("LANGUAGE=Mini.dll\r\nSHOWTIPS=1\r\nPRINTWITHDEFAULT=0\r\n");
    start();
    frmOptions options(window.get());
    for (int i = 0; i < options.tbsOptions->count(); ++i)
        EXPECT_EQ(options.tbsOptions->tabText(i), "") << i;
    frmTip tip(window.get());
    EXPECT_EQ(tip.lblTipText->text(), "");
    EXPECT_EQ(tip.windowTitle(), "Tips und Tricks");
}
