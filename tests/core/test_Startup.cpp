#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/mdlUtilWindows.h"

#include "support/TestSupport.h"

#include <QWidget>

namespace {

class Startup : public testsupport::ProgramTest {
protected:
    void options(const QByteArray &body) { writeFile("data/pelmora.dat", "[OPTIONS]\r\n" + body); }
    void load()
    {
        gObjOptionsStore().setInitFileName(optionsFilePath());
        gObjOptionsStore().initializeAll("OPTIONS");
        readOptions();
    }
    void englishLanguage() { writeFile("language/English.dll", "[frmPelmora]\nfrmPelmora=Localised\n[GENERAL]\nLANGUAGE_SHORTCUT=EN\n"); }
    StartupHooks hooks()
    {
        StartupHooks h;
        h.createCover = [this] { ++coversCreated; };
        h.createMainWindow = [] {
            auto *w = new QWidget;
            w->setObjectName("frmTest");
            return w;
        };
        return h;
    }
    int coversCreated = 0;
};

} // namespace

TEST_F(Startup, NoOptionsFileGivesTheDefaults)
{
    gIntLastCoverRight = 77;
    gDblBorderWidth = 9;
    load();
    EXPECT_EQ(gIntLastCoverLeft, 0);
    EXPECT_EQ(gIntLastCoverRight, 2);
    EXPECT_EQ(gIntLastMedium, 0);
    EXPECT_EQ(gStrLanguage, "English.dll");
    EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.25);
    EXPECT_EQ(gBytePrintMargin, 1);
    EXPECT_EQ(gBytePrintWithDefault, 1);
    EXPECT_EQ(gStrPrinterName, "0");
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(Startup, LastIndexesNegativeMeansZero)
{
    options("LASTCOVERRIGHT=-1\r\nLASTCOVERLEFT=5\r\nLASTMEDIUM=-3\r\nPRINTERID=-1\r\nBORDERCOLOR=16711680\r\n");
    load();
    EXPECT_EQ(gIntLastCoverRight, 0);
    EXPECT_EQ(gIntLastCoverLeft, 5);
    EXPECT_EQ(gIntLastMedium, 0);
    EXPECT_EQ(gIntPrinterId, -1);
    EXPECT_EQ(gLngBorderColor, 0xFF0000);
}

TEST_F(Startup, BorderWidthReadsUnderBothDecimalSigns)
{
    options("BORDERWIDTH=0,5\r\n");
    for (const char *sign : {".", ","}) {
        gStrDecimalSeparator = sign;
        load();
        EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.5) << sign;
    }
}

TEST_F(Startup, BadValuesAreReportedOnceAndKeepTheirDefaults)
{
    options("FOREGROUND=300\r\nSHOWTIPS=abc\r\nPRINTMARGIN=0\r\nBORDERWIDTH=1e400\r\nLANGUAGE=Deutsch.dll\r\n");
    gByteForeground = 9;
    load();
    EXPECT_EQ(gByteForeground, 0);
    EXPECT_EQ(gByteShowTips, 0);
    EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.25);
    EXPECT_EQ(gBytePrintMargin, 0);  // read after the bad keys
    EXPECT_EQ(gStrLanguage, "Deutsch.dll");
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("libInitialize.readOptions"));
}

TEST_F(Startup, FiltersAndSeparatorNames)
{
    buildImageFilters();
    EXPECT_TRUE(gStrOpenImageFilter.startsWith("All images|*.jpg;*.gif;*.bmp;*.png;*.psd;*.tif;*.pcx;*.tga;*.wbmp;*.wmf;*.emf;*.tla|"));
    EXPECT_TRUE(gStrOpenImageFilter.endsWith("Windows Meta File WMF|*.wmf|Windows Enhanced Meta File EMF|*.emf|"));
    EXPECT_EQ(gStrOpenImageFilter.count('|'), 24);
    const QStringList save = gStrSaveImageFilter.split('|');
    ASSERT_EQ(save.size(), 20);
    EXPECT_EQ(save[0], "Joint Photographic Experts Group JPG");
    EXPECT_EQ(save[15], "*.bmp");
    EXPECT_EQ(save[18], "Windows Enhanced Metafile EMF");
    EXPECT_EQ(save[19], "*.emf");
    loadSeparatorNames();
    EXPECT_EQ(gStrSepSpace, "Space");
    EXPECT_EQ(gStrSepTab, "Tab");
    EXPECT_EQ(getUserLocaleInfo(14).size(), 1);
}

TEST_F(Startup, MainFindsTheLanguageIgnoringCaseAndShowsTheWindow)
{
    englishLanguage();
    options("LANGUAGE=english.DLL\r\nFOREGROUND=1\r\n");
    std::unique_ptr<QWidget> w(Main(hooks()));
    ASSERT_TRUE(w);
    EXPECT_EQ(coversCreated, 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(isFormTopmost(w.get()));
    EXPECT_EQ(gObjLanguageStore().getVar("frmPelmora.frmPelmora"), "Localised");
    EXPECT_EQ(gIntPrintPrinterIndex, -1);
    EXPECT_FALSE(gStrOpenImageFilter.isEmpty());
    EXPECT_TRUE(gVarCoverTypes[0].isEmpty());
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(Startup, MissingLanguageFileEndsStartUpWithBuiltInTexts)
{
    writeFile("language/Other.dll", "[ERRORS]\nERR=Translated\nERR_INSTALL=Translated install\n");
    options("LANGUAGE=English.dll\r\n");
    EXPECT_EQ(Main(hooks()), nullptr);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].title, "Fehler / Error");
    const QStringList lines = prompter->shown[0].prompt.split("\r\n");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], "ERROR");
    EXPECT_EQ(lines[4], " libInitialize.Main");
}
