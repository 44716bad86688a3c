#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/frmOptions.h"
#include "mainwindow/Globals.h"
#include "platform/print/PrintLibrary.h"
#include "platform/widgets/ShapeControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

using mainwindowtest::MainWindowTest;

class Options : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        printers({"Office", "Photo"});
    }
    void TearDown() override
    {
        dialog.reset();
        platform::Seam<platform::PrintLibrary>::reset();
        MainWindowTest::TearDown();
    }
    void printers(const QStringList &names)
    {
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), names, 300));
    }
    frmOptions &open()
    {
        if (!window)
            start();
        dialog = std::make_unique<frmOptions>(window.get());
        dialog->show();
        return *dialog;
    }
    // The keys of the options file with their values.
    QMap<QString, QString> keys() const
    {
        QMap<QString, QString> out;
        for (const QString &line : dataLines("pelmora.dat"))
            if (const qsizetype eq = line.indexOf(u'='); eq > 0)
                out.insert(line.left(eq), line.mid(eq + 1));
        return out;
    }

    // Accept with the user's decimal sign, presets off and no printer chosen.
    void acceptWith(const QString &separator)
    {
        options("LANGUAGE=English.dll\r\nPRINTWITHDEFAULT=0\r\nPRINTERNAME=Nowhere\r\nPRINTBORDER=1\r\n");
        start();
        gStrDecimalSeparator = separator;
        frmOptions &dlg = open();
        EXPECT_EQ(dlg.lstPrinter->currentIndex(), -1);
        EXPECT_EQ(dlg.lstPrinter->currentText(), "Please choose a printer");
        dlg.txtBorderWidth->setText(QStringLiteral("0") + separator + QStringLiteral("25"));
        EXPECT_EQ(dlg.updBorderWidth->value(), 175);
        choosers->colors = {0x123456u, std::nullopt};
        dlg.cmdBorderColor_Click();
        dlg.cmdMarginColor_Click(); // cancelled: the colour stays
        dlg.optMargin[2]->click();
        dlg.cmdAccept_Click();
        EXPECT_FALSE(dlg.isUnloaded());

        const auto k = keys();
        EXPECT_EQ(k.value("BORDERWIDTH"), "0,25");
        EXPECT_EQ(k.value("PRINTERID"), "-1");
        EXPECT_EQ(k.value("PRINTERNAME"), "Please choose a printer");
        EXPECT_EQ(k.value("LANGUAGE"), "English.dll");
        EXPECT_EQ(k.value("BORDERCOLOR"), QString::number(0x123456));
        EXPECT_EQ(k.value("MARGINCOLOR"), QString::number(gLngMarginColor));
        EXPECT_EQ(k.value("MARGINTYPE"), "2");
        EXPECT_EQ(k.value("PRINTWITHDEFAULT"), "0");
        for (const char *key : {"FOREGROUND", "SCANTOFILE", "SCANPATH", "STANDARDPATH", "MYMUSICPATH", "BORDERSTYLE",
                                "PRINTBORDER", "PRINTMARGIN", "PRINTERCOLOR", "PRINTERQUALITY"})
            EXPECT_TRUE(k.contains(key)) << key;
        EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.25);
        EXPECT_EQ(gLngBorderColor, 0x123456);
    }

    QTemporaryDir out;
    std::unique_ptr<frmOptions> dialog;
};

const QByteArray kFullOptions =
    "LANGUAGE=English.dll\r\nSHOWTIPS=1\r\nFOREGROUND=0\r\nSCANTOFILE=1\r\nSCANPATH=/scans\r\n"
    "STANDARDPATH=/pictures\r\nMYMUSICPATH=/music\r\nBORDERSTYLE=0\r\nBORDERWIDTH=0,5\r\n"
    "PRINTBORDER=1\r\nPRINTMARGIN=1\r\nBORDERCOLOR=255\r\nMARGINCOLOR=65280\r\nPRINTERCOLOR=1\r\n"
    "PRINTERQUALITY=2\r\nPRINTWITHDEFAULT=1\r\nPRINTERID=1\r\nPRINTERNAME=Photo\r\nMARGINTYPE=1\r\n";

} // namespace

TEST_F(Options, OpeningShowsTheOptionsAndCancelLeavesEveryKeyAsItWas)
{
    options(kFullOptions);
    QElapsedTimer clock;
    clock.start();
    frmOptions &dlg = open();
    EXPECT_LT(clock.elapsed(), 3000);
    const auto before = keys();

    EXPECT_EQ(dlg.tbsOptions->count(), 6);
    EXPECT_EQ(dlg.tbsOptions->tabText(1), "Border");
    EXPECT_EQ(dlg.windowTitle(), "Options");
    EXPECT_EQ(dlg.lstPrinter->currentText(), "Photo");
    EXPECT_EQ(dlg.lstPrinter->currentIndex(), 1);
    EXPECT_TRUE(dlg.optColor[1]->isChecked());
    EXPECT_TRUE(dlg.optQuality[2]->isChecked());
    EXPECT_TRUE(dlg.optMargin[1]->isChecked());
    EXPECT_EQ(dlg.txtBorderWidth->text(), "0.5");
    EXPECT_EQ(dlg.updBorderWidth->value(), 150);
    EXPECT_EQ(dlg.shpBorderColor->color(), 255u);
    EXPECT_EQ(dlg.txtMyMusicPath->text(), "/music");
    EXPECT_TRUE(dlg.chkScanToFile->isChecked());
    EXPECT_TRUE(dlg.txtScanPath->isEnabled());
    EXPECT_EQ(dlg.lstLanguage->currentItem()->text(), "English");

    // Edits show on the main window at once and are gone after cancel.
    dlg.optBorder[1]->click();
    EXPECT_EQ(dlg.txtBorderWidth->text(), "1");
    EXPECT_EQ(window->shpBorder[0]->borderStyle(), ShapeControl::kDot);
    dlg.chkDrawBorder->click();
    EXPECT_TRUE(window->shpBorder[0]->isHidden());
    EXPECT_FALSE(dlg.optBorder[0]->isEnabled());
    dlg.chkForeground->click();
    EXPECT_EQ(gByteForeground, 1);
    dlg.cmdCancel_Click();
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(keys(), before);
    EXPECT_EQ(gBytePrintBorder, 1);
    EXPECT_EQ(gByteForeground, 0);
    EXPECT_FALSE(window->menuForeground->isChecked());
    EXPECT_FALSE(window->shpBorder[0]->isHidden());
    EXPECT_EQ(window->shpBorder[0]->borderStyle(), ShapeControl::kSolid);
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(Options, AcceptWritesEveryKeyWithTheWidthInCommas)
{
    acceptWith(QStringLiteral("."));
}

TEST_F(Options, AcceptWritesTheWidthInCommasInACommaLocale)
{
    acceptWith(QStringLiteral(","));
}

TEST_F(Options, PrintingWithPresetsNeedsAChosenPrinter)
{
    // The stored printer is gone: opening says so once and chooses nothing.
    options("LANGUAGE=English.dll\r\nPRINTWITHDEFAULT=1\r\nPRINTERNAME=Gone\r\n");
    frmOptions &dlg = open();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("Gone"));
    EXPECT_EQ(dlg.lstPrinter->currentIndex(), -1);
    const auto before = keys();

    // OK: refused by Accept and by the closing, the dialog stays.
    dlg.cmdOK_Click();
    ASSERT_EQ(prompts().size(), 3);
    EXPECT_EQ(prompts()[1], "No printer selected as default.");
    EXPECT_EQ(prompts()[2], "No printer selected as default.");
    EXPECT_FALSE(dlg.isUnloaded());
    dlg.cmdCancel_Click();
    EXPECT_EQ(prompts().size(), 4);
    EXPECT_FALSE(dlg.isUnloaded());
    EXPECT_EQ(keys(), before);

    // Choosing a printer makes it the current one and lets OK through.
    dlg.lstPrinter->setCurrentIndex(1);
    dlg.lstPrinter_Click();
    EXPECT_EQ(gStrPrinterName, "Photo");
    EXPECT_EQ(platform::PrintLibrary::get().currentPrinter(), 1);
    dlg.cmdOK_Click();
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(keys().value("PRINTERNAME"), "Photo");
    EXPECT_EQ(keys().value("PRINTERID"), "1");
}

TEST_F(Options, WithoutPrintersTheListSaysSoAndTheDialogStillCloses)
{
    printers({});
    options("LANGUAGE=English.dll\r\nPRINTWITHDEFAULT=0\r\n");
    frmOptions &dlg = open();
    ASSERT_EQ(dlg.lstPrinter->count(), 1);
    EXPECT_EQ(dlg.lstPrinter->itemText(0), "No Printer available");
    EXPECT_EQ(dlg.lstPrinter->currentIndex(), -1);
    EXPECT_FALSE(dlg.fraPrinter->findChild<QComboBox *>()->isEnabled());
    dlg.cmdOK_Click();
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(keys().value("PRINTERID"), "-1");
}

TEST_F(Options, BorderWidthStaysWithinTheSpinnersRange)
{
    options("LANGUAGE=English.dll\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\n");
    frmOptions &dlg = open();
    const auto typed = [&](const QString &text) {
        dlg.txtBorderWidth->setText(text);
        return dlg.txtBorderWidth->text();
    };
    EXPECT_EQ(typed("5"), "2");
    EXPECT_EQ(dlg.updBorderWidth->value(), 0);
    EXPECT_EQ(typed("-1"), "0.01");
    EXPECT_EQ(dlg.updBorderWidth->value(), 199);
    EXPECT_EQ(typed("0"), "0");
    EXPECT_EQ(dlg.updBorderWidth->value(), 200);
    EXPECT_EQ(typed("0."), "0.");
    EXPECT_EQ(typed("0,"), "0,");
    EXPECT_EQ(typed("1.5"), "1.5");
    EXPECT_EQ(typed("abc"), "1.5");
    // The spinner's up arrow widens.
    dlg.updBorderWidth->triggerAction(QScrollBar::SliderSingleStepSub);
    EXPECT_EQ(dlg.txtBorderWidth->text(), "1.51");
    dlg.optBorder[1]->click();
    EXPECT_EQ(dlg.txtBorderWidth->text(), "1");
    EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.25);
}

TEST_F(Options, FolderPicksAndResets)
{
    options(kFullOptions);
    frmOptions &dlg = open();
    // Cancelled, the same folder, a new one.
    choosers->folders = {QString(), QStringLiteral("/music"), QStringLiteral("/new music")};
    dlg.cmdMyMusicPath_Click();
    EXPECT_EQ(dlg.txtMyMusicPath->text(), "/music");
    EXPECT_EQ(gStrMyMusicPath, "/music");
    dlg.cmdMyMusicPath_Click();
    EXPECT_EQ(dlg.txtMyMusicPath->text(), "/music");
    dlg.cmdMyMusicPath_Click();
    EXPECT_EQ(dlg.txtMyMusicPath->text(), "/new music");
    EXPECT_EQ(gStrMyMusicPath, "/new music");

    dlg.cmdDeleteImagePath_Click();
    EXPECT_EQ(dlg.txtStandardPath->text(), "");
    EXPECT_EQ(gStrStandardPath, "");
    dlg.cmdDeleteScanPath_Click();
    EXPECT_EQ(dlg.txtScanPath->text(), "");
    EXPECT_EQ(gStrScanPath, "/scans");
    dlg.cmdCancel_Click();
    EXPECT_EQ(gStrStandardPath, "/pictures");
    EXPECT_EQ(gStrMyMusicPath, "/music");
    EXPECT_EQ(keys().value("MYMUSICPATH"), "/music");
}

TEST_F(Options, LanguageSwitchRelocalisesAndKeepsTheListPositions)
{
    options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\n");
    QDir(home.path()).mkpath("help");
    writeFile("help/English.html", "<html></html>");
    start();
    EXPECT_TRUE(gStrHelpFile.endsWith("/help/English.html"));
    window->selectCoverEntry(0, 2);
    window->selectCoverEntry(1, 3);
    const QString firstEntry = window->lstCoverNames[0]->item(0)->text();
    frmOptions &dlg = open();
    const auto german = dlg.lstLanguage->findItems("Deutsch", Qt::MatchExactly);
    ASSERT_EQ(german.size(), 1);
    dlg.lstLanguage->setCurrentItem(german[0]);
    dlg.cmdChangeLanguage_Click();

    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Pelmora - Cover für Ihre Medien"));
    EXPECT_EQ(dlg.windowTitle(), "Optionen");
    EXPECT_EQ(dlg.tbsOptions->tabText(1), "Rahmen");
    EXPECT_NE(window->lstCoverNames[0]->item(0)->text(), firstEntry);
    EXPECT_EQ(window->lstCoverNames[0]->currentRow(), 2);
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 3);
    EXPECT_TRUE(window->mBoolInitialised);
    EXPECT_TRUE(gStrHelpFile.endsWith("/help/Deutsch.html"));
    EXPECT_EQ(gStrLanguage, "Deutsch.dll");
    // The choice reaches the file only on accept.
    EXPECT_EQ(keys().value("LANGUAGE"), "English.dll");
    dlg.chkPrinter->setChecked(false);
    dlg.cmdAccept_Click();
    EXPECT_EQ(keys().value("LANGUAGE"), "Deutsch.dll");
}

TEST_F(Options, OddStoredValuesAndAMissingLanguageAreSurvived)
{
    options("LANGUAGE=Klingon.dll\r\nBORDERSTYLE=7\r\nPRINTERQUALITY=-3\r\nBORDERWIDTH=abc\r\nMARGINTYPE=200\r\n"
            "PRINTWITHDEFAULT=0\r\nPRINTBORDER=1\r\n");
    frmOptions &dlg = open();
    EXPECT_TRUE(dlg.lstLanguage->selectedItems().isEmpty());
    // Without a chosen language the button does nothing and Accept keeps the stored one.
    const QString language = gStrLanguage;
    dlg.cmdChangeLanguage_Click();
    EXPECT_EQ(gStrLanguage, language);
    dlg.cmdOK_Click();
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(keys().value("LANGUAGE"), "Klingon.dll");
}
