#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/frmOptions.h"
#include "mainwindow/Globals.h"
#include "platform/print/PrintLibrary.h"
#include "platform/widgets/PictureBox.h"
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
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QApplication>
#include <QFile>
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
    // Clicks a tab of the dialog, then a check box or option button on it, as a user does.
    static void clickOn(frmOptions &dlg, int tab, QAbstractButton *button)
    {
        QTabBar *bar = dlg.tbsOptions->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
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
        // No printer was chosen: the stored one stays, and no prompt text is stored.
        EXPECT_FALSE(k.contains("PRINTERID"));
        EXPECT_EQ(k.value("PRINTERNAME"), "Nowhere");
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
    clickOn(dlg, 1, dlg.optBorder[1]);
    EXPECT_EQ(dlg.txtBorderWidth->text(), "1");
    EXPECT_EQ(window->shpBorder[0]->borderStyle(), ShapeControl::kDot);
    clickOn(dlg, 1, dlg.chkDrawBorder);
    EXPECT_TRUE(window->shpBorder[0]->isHidden());
    EXPECT_FALSE(dlg.optBorder[0]->isEnabled());
    clickOn(dlg, 3, dlg.chkForeground);
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

TEST_F(Options, AFreshProgramFolderPrintsWithTheSystemsDefaultPrinterAndOkKeepsIt)
{
    // The options as shipped name printer "0" and print with the presets.
    platform::Seam<platform::PrintLibrary>::install(
        platform::makePdfPrintLibrary(out.path(), {"Office", "Photo"}, 300, "Photo"));
    start();
    const auto shipped = keys();
    ASSERT_EQ(shipped.value("PRINTERNAME"), "0");
    frmOptions &dlg = open();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_TRUE(dlg.chkPrinter->isChecked());
    EXPECT_EQ(dlg.lstPrinter->currentIndex(), -1);
    EXPECT_EQ(dlg.lstPrinter->currentText(), "The system's default printer (Photo)");
    // An untouched OK closes and keeps following the system's default printer.
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(keys(), shipped);

    // Escape cancels, whatever the printer box holds.
    frmOptions &second = open();
    clickOn(second, 3, second.chkForeground);
    QTest::keyClick(&second, Qt::Key_Escape);
    EXPECT_TRUE(second.isUnloaded());
    EXPECT_EQ(gByteForeground, 0);

    // Without the presets the printer keys stay as they are: printing asks each time.
    frmOptions &third = open();
    QTest::mouseClick(third.chkPrinter, Qt::LeftButton, {}, QPoint(8, third.chkPrinter->height() / 2));
    EXPECT_FALSE(third.chkPrinter->isChecked());
    QTest::mouseClick(third.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(third.isUnloaded());
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(keys().value("PRINTWITHDEFAULT"), "0");
    EXPECT_EQ(keys().value("PRINTERNAME"), "0");
    EXPECT_EQ(keys().value("PRINTERID"), "0");
}

TEST_F(Options, AnOptionsFileThatCannotBeWrittenKeepsTheDialogOpen)
{
    options(kFullOptions);
    frmOptions &dlg = open();
    const QByteArray before = readFile("data/pelmora.dat");
    QFile::setPermissions(path("data/pelmora.dat"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    clickOn(dlg, 3, dlg.chkForeground);
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("The data could not be saved.")) << prompts()[0].toStdString();
    EXPECT_FALSE(dlg.isUnloaded());
    EXPECT_TRUE(dlg.chkForeground->isChecked());
    EXPECT_EQ(readFile("data/pelmora.dat"), before);
    // Once the file can be written again, OK stores what is shown.
    QFile::setPermissions(path("data/pelmora.dat"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(keys().value("FOREGROUND"), "1");
    EXPECT_EQ(prompts().size(), 1);
}

TEST_F(Options, PrintingWithPresetsNeedsAChosenPrinter)
{
    // The stored printer is gone: opening says so once and chooses nothing.
    options("LANGUAGE=English.dll\r\nPRINTWITHDEFAULT=1\r\nPRINTERNAME=Gone\r\n");
    frmOptions &dlg = open();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].contains("Gone"));
    EXPECT_EQ(dlg.lstPrinter->currentIndex(), -1);
    EXPECT_EQ(dlg.lstPrinter->currentText(), "Please choose a printer");
    const auto before = keys();

    // OK says so once and the dialog stays; the close box cancels all the same.
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompts().size(), 2);
    EXPECT_EQ(prompts()[1], "No printer selected as default.");
    EXPECT_FALSE(dlg.isUnloaded());
    dlg.close();
    EXPECT_TRUE(dlg.isUnloaded());
    EXPECT_EQ(prompts().size(), 2);
    EXPECT_EQ(keys(), before);

    // Choosing a printer makes it the current one and lets OK through.
    frmOptions &again = open();
    testsupport::showActive(&again);
    again.lstPrinter->setFocus(Qt::TabFocusReason);
    QTest::keyClick(again.lstPrinter, Qt::Key_Down);
    EXPECT_EQ(gStrPrinterName, "Office");
    QTest::keyClick(again.lstPrinter, Qt::Key_Down);
    EXPECT_EQ(gStrPrinterName, "Photo");
    EXPECT_EQ(platform::PrintLibrary::get().currentPrinter(), 1);
    QTest::mouseClick(again.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(again.isUnloaded());
    EXPECT_EQ(keys().value("PRINTERNAME"), "Photo");
    EXPECT_EQ(keys().value("PRINTERID"), "1");
    // The message speaks the program's language.
    options("LANGUAGE=Deutsch.dll\r\nPRINTWITHDEFAULT=1\r\nPRINTERNAME=Gone\r\n");
    dialog.reset();
    window.reset();
    frmOptions &german = open();
    QTest::mouseClick(german.cmdOK, Qt::LeftButton);
    EXPECT_EQ(prompts().last(), QString::fromUtf8("Kein Drucker als Standard ausgewählt."));
    EXPECT_FALSE(german.isUnloaded());
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
    EXPECT_FALSE(keys().contains("PRINTERID"));
}

TEST_F(Options, ATickedBorderLiesRoundThePreviewAndItsWidthStaysWithinTheSpinnersRange)
{
    options("LANGUAGE=English.dll\r\nPRINTBORDER=0\r\nBORDERCOLOR=255\r\nBORDERWIDTH=0,25\r\n");
    start();
    window->show();
    QApplication::processEvents();
    frmOptions &dlg = open();
    testsupport::showActive(&dlg);
    clickOn(dlg, 1, dlg.chkDrawBorder);
    ASSERT_EQ(dlg.tbsOptions->currentIndex(), 1);
    ASSERT_TRUE(dlg.chkDrawBorder->isChecked());
    // While the dialog is open the main window shows the red border round its left preview,
    // and nowhere else.
    QApplication::processEvents();
    const PictureBox *preview = window->picVisible[0];
    const QImage side = preview->parentWidget()->grab().toImage();
    const QRect around = preview->geometry().adjusted(-3, -3, 3, 3);
    int onTheEdge = 0, elsewhere = 0;
    for (int y = 0; y < side.height(); ++y)
        for (int x = 0; x < side.width(); ++x) {
            const QColor c = side.pixelColor(x, y);
            if (c.red() < 200 || c.green() > 60 || c.blue() > 60 || preview->geometry().contains(x, y))
                continue;
            ++(around.contains(x, y) ? onTheEdge : elsewhere);
        }
    EXPECT_GT(onTheEdge, preview->width());
    EXPECT_EQ(elsewhere, 0);
    // Typed one key at a time, an empty box and a lone "-" stay as typed; leaving the box puts
    // it right (so does Enter, which is OK here).
    testsupport::typeInto(dlg.txtBorderWidth, "");
    EXPECT_EQ(dlg.txtBorderWidth->text(), "");
    QTest::keyClicks(dlg.txtBorderWidth, "-");
    EXPECT_EQ(dlg.txtBorderWidth->text(), "-");
    QTest::keyClicks(dlg.txtBorderWidth, "1");
    EXPECT_EQ(dlg.updBorderWidth->value(), 200);
    testsupport::leaveByTab(dlg.txtBorderWidth);
    EXPECT_EQ(dlg.txtBorderWidth->text(), "0.01");
    EXPECT_EQ(dlg.updBorderWidth->value(), 199);
    const auto typed = [&](const char *text) {
        testsupport::typeInto(dlg.txtBorderWidth, QString::fromLatin1(text));
        testsupport::leaveByTab(dlg.txtBorderWidth);
        return dlg.txtBorderWidth->text();
    };
    EXPECT_EQ(typed("5"), "2");
    EXPECT_EQ(dlg.updBorderWidth->value(), 0);
    EXPECT_EQ(typed("-1"), "0.01");
    EXPECT_EQ(dlg.updBorderWidth->value(), 199);
    EXPECT_EQ(typed("0"), "0");
    EXPECT_EQ(dlg.updBorderWidth->value(), 200);
    EXPECT_EQ(typed("0."), "0.");
    EXPECT_EQ(typed("1.5"), "1.5");
    EXPECT_EQ(typed("abc"), "1.5");
    // Numbers are read as in every other box: another locale's decimal sign is no number, so
    // of "0,5" only the 0 typed before it is taken.
    EXPECT_EQ(typed("0,5"), "0");
    gStrDecimalSeparator = QStringLiteral(",");
    EXPECT_EQ(typed("0.5"), "0");
    EXPECT_EQ(typed("0,5"), "0,5");
    EXPECT_EQ(dlg.updBorderWidth->value(), 150);
    gStrDecimalSeparator = QStringLiteral(".");
    EXPECT_EQ(typed("1.5"), "1.5");
    // The spinner's up arrow widens.
    dlg.updBorderWidth->triggerAction(QScrollBar::SliderSingleStepSub);
    EXPECT_EQ(dlg.txtBorderWidth->text(), "1.51");
    clickOn(dlg, 1, dlg.optBorder[1]);
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
    // The system names no default printer: printing takes its first one, and the box says so.
    ASSERT_TRUE(platform::PrintLibrary::get().defaultPrinterName().isEmpty());
    EXPECT_EQ(dlg.lstPrinter->currentText(), "The first printer (Office), as the system has no default printer");
    const auto german = dlg.lstLanguage->findItems("Deutsch", Qt::MatchExactly);
    ASSERT_EQ(german.size(), 1);
    dlg.lstLanguage->setCurrentItem(german[0]);
    dlg.cmdChangeLanguage_Click();

    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Pelmora - Cover für Ihre Medien"));
    EXPECT_EQ(dlg.windowTitle(), "Optionen");
    EXPECT_EQ(dlg.tbsOptions->tabText(1), "Rahmen");
    // Every tab shows whole, without scroll arrows, and the printer box speaks German.
    QApplication::processEvents();
    const QTabBar *bar = dlg.tbsOptions->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << bar->tabText(i).toStdString();
    for (const QToolButton *arrow : bar->findChildren<QToolButton *>())
        EXPECT_FALSE(arrow->isVisible());
    EXPECT_EQ(dlg.lstPrinter->currentText(), "Der erste Drucker (Office), da das System keinen Standarddrucker hat");
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
