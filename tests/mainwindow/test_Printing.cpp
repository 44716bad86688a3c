#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsPrinter.h"
#include "platform/Rounding.h"
#include "platform/print/PrintLibrary.h"
#include "platform/widgets/ButtonPlus.h"

#include <QDir>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using mainwindowtest::MainWindowTest;
using mainwindowtest::pdfPage;

TEST(SheetTable, WhichSidesGoOnWhichSheet)
{
    using V = std::vector<SheetCall>;
    const std::array<double, 2> none{0, 0};
    EXPECT_EQ(sheetsFor(0, "All", 0, 2, none), (V{{2, 1}}));
    EXPECT_EQ(sheetsFor(0, "All", 1, 2, none), (V{{0, 2}, {1, 1}}));
    EXPECT_EQ(sheetsFor(0, "All", 0, 1, none), (V{{0, 1}, {1, 2}}));
    EXPECT_EQ(sheetsFor(0, "All", 1, 1, none), (V{{0, 2}, {1, 2}}));
    EXPECT_EQ(sheetsFor(0, "Left", 1, 0, none), (V{{0, 2}}));
    EXPECT_EQ(sheetsFor(0, "Right", 1, 0, none), (V{{1, 1}}));
    EXPECT_EQ(sheetsFor(1, "All", 1, 2, none), (V{{2, 2}}));
    EXPECT_EQ(sheetsFor(1, "All", 1, 4, none), (V{{0, 2}, {1, 2}}));
    EXPECT_EQ(sheetsFor(1, "All", 0, 2, none), (V{{0, 2}, {1, 2}}));
    EXPECT_EQ(sheetsFor(2, "All", 1, 1, none), (V{{0, 2}, {1, 1}}));  // the left side is asked first
    EXPECT_EQ(sheetsFor(2, "All", 0, 1, none), (V{{0, 1}, {1, 2}}));
    EXPECT_EQ(sheetsFor(2, "All", 0, 2, none), (V{{2, 1}}));
    EXPECT_EQ(sheetsFor(3, "All", 1, 3, none), (V{{2, 2}}));
    EXPECT_EQ(sheetsFor(3, "All", 1, 0, none), (V{{0, 2}, {1, 2}}));
    EXPECT_EQ(sheetsFor(3, "Left", 1, 0, none), (V{{0, 2}}));
    EXPECT_EQ(sheetsFor(4, "All", 0, 1, none), (V{{2, 1}}));
    EXPECT_EQ(sheetsFor(5, "All", 0, 1, {0, 1}), (V{{0, 1}, {1, 2}}));
    EXPECT_EQ(sheetsFor(5, "Right", 0, 1, {0, 1}), (V{{1, 2}}));
    EXPECT_TRUE(sheetsFor(6, "All", 0, 0, none).empty());
    EXPECT_TRUE(sheetsFor(0, "Both", 0, 0, none).empty());
}

namespace {

class Printing : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(out.isValid());
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"Office", "PDF"}, 600));
    }
    void TearDown() override
    {
        platform::Seam<platform::PrintLibrary>::reset();
        MainWindowTest::TearDown();
    }
    QStringList documents() const { return QDir(out.path()).entryList({"print-*.pdf"}, QDir::Files, QDir::Name); }
    // The first page of a document at 300 dpi.
    QImage page(const QString &pdf) const { return pdfPage(out.path() + "/" + pdf, {"-r", "300"}); }
    void solidSides()
    {
        for (int s = 0; s < 2; ++s) {
            QImage img(400, 400, QImage::Format_ARGB32_Premultiplied);
            img.fill(s == 0 ? QColor(255, 0, 0) : QColor(0, 0, 255));
            igxBackup[size_t(s)]->setQImage(img, platform::kNoUndo);
        }
    }
    QTemporaryDir out;
};

} // namespace

TEST_F(Printing, PlacementInDevicePixels)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\nPRINTMARGIN=1\r\nMARGINTYPE=2\r\n"
            "LASTMEDIUM=0\r\nLASTCOVERLEFT=2\r\nLASTCOVERRIGHT=2\r\n");
    start();
    clsPrinter p;
    p.setFrontWidth(15);
    p.setFrontHeight(11.8f);
    p.setFrontLeftMargin(3);
    p.setFrontTopMargin(1.5f);
    const PrintPlacement pl = p.placement(0, 600, 600, 10, 20);
    EXPECT_EQ(pl.cover, QRect(709 - 10, 354 - 20, 3543, 2787));
    EXPECT_EQ(pl.borderWidth, 6);
    // Back inlay: spines of 0,65 cm on both sides, ticks above and below the cover.
    ASSERT_EQ(pl.foldLines.size(), 4u);
    const int xa = pl.cover.x() + roundToInt(0.65 / 15.0 * 3543);
    EXPECT_EQ(pl.foldLines[0].first.x(), xa);
    EXPECT_EQ(pl.foldLines[0].second.y(), pl.cover.y());
    EXPECT_EQ(pl.foldLines[1].first.y(), pl.cover.bottom() + 1);
    EXPECT_EQ(pl.foldLines[2].first.x(), pl.cover.x() + roundToInt(3543 - 0.65 / 15.0 * 3543));
}

TEST_F(Printing, BothCdSidesOnOnePortraitSheetAtTheirOffsets)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\nPRINTMARGIN=0\r\n"
            "LASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    solidSides();
    w.cmdPrint_Click(2);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    ASSERT_EQ(documents(), QStringList{"print-1.pdf"});
    const QImage img = page("print-1.pdf");
    ASSERT_FALSE(img.isNull());
    EXPECT_LT(img.width(), img.height()); // portrait
    // The front cover 12 x 12 at (4,5 | 1,5) cm: its top-left pixel at 531.5 | 177.2.
    const int x = roundToInt(4.5 / 2.54 * 300), y = roundToInt(1.5 / 2.54 * 300);
    auto isRed = [&](int px, int py) {
        const QColor c(img.pixel(px, py));
        return c.red() > 200 && c.green() < 60 && c.blue() < 60;
    };
    EXPECT_TRUE(isRed(x + 2, y + 2));
    EXPECT_FALSE(isRed(x - 6, y + 20));
    EXPECT_TRUE(isRed(x + roundToInt(12 / 2.54 * 300) - 3, y + 20));
    // The cut border: a black band of 3 pixels at 300 dpi just outside the left edge.
    const QColor band(img.pixel(x - 2, y + 100));
    EXPECT_LT(band.lightness(), 80);
    const QColor outside(img.pixel(x - 8, y + 100));
    EXPECT_GT(outside.lightness(), 200);
    // The back: the disc label 11,8 x 11,8 at (4,6 | 15,5).
    const QColor back(img.pixel(roundToInt(4.6 / 2.54 * 300) + 20, roundToInt(15.5 / 2.54 * 300) + 20));
    EXPECT_GT(back.blue(), 200);
    EXPECT_LT(back.red(), 60);
}

TEST_F(Printing, TheBookletGoesOnALandscapeSheetOfItsOwn)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=1\r\nLASTCOVERRIGHT=2\r\n");
    frmPelmora &w = start();
    solidSides();
    w.cmdPrint_Click(2);
    ASSERT_EQ(documents(), (QStringList{"print-1.pdf", "print-2.pdf"}));
    const QImage first = page("print-1.pdf");
    ASSERT_FALSE(first.isNull());
    EXPECT_GT(first.width(), first.height());
    const QImage second = page("print-2.pdf");
    EXPECT_LT(second.width(), second.height());
}

TEST_F(Printing, AMissingPrinterIsToldOnceAndNothingIsPrinted)
{
    options("PRINTERNAME=Gone\r\nPRINTERID=0\r\nPRINTWITHDEFAULT=1\r\n");
    frmPelmora &w = start();
    prompter->shown.clear();
    w.cmdPrint_Click(0);
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(documents().isEmpty());

    prompter->shown.clear();
    gIntPrinterId = -1;
    w.cmdPrint_Click(1);
    EXPECT_EQ(prompter->shown.size(), 1u); // told that nothing is printed
    EXPECT_TRUE(documents().isEmpty());
}

TEST_F(Printing, InvalidSizesPrintNothingAndSayWhy)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\n");
    frmPelmora &w = start();
    prompter->shown.clear();
    w.txtWidth[0]->setText("abc");
    w.cmdPrint_Click(0);
    EXPECT_EQ(prompter->shown.size(), 1u);
    w.txtWidth[0]->setText("0");
    w.cmdPrint_Click(0);
    EXPECT_EQ(prompter->shown.size(), 2u);
    EXPECT_TRUE(documents().isEmpty());
    EXPECT_TRUE(w.mBoolReady);
}

TEST_F(Printing, TheMenuEntriesPrintLikeTheButtons)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nLASTMEDIUM=4\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=1\r\n");
    frmPelmora &w = start();
    w.menuPrintAll->trigger();
    EXPECT_EQ(documents(), QStringList{"print-1.pdf"});
    w.menuPrintLeft->trigger();
    w.menuPrintRight->trigger();
    EXPECT_EQ(documents().size(), 3);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
}

TEST_F(Printing, FoldMarksOfEveryKindAtTheScaledCreases)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTMARGIN=1\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=2\r\nLASTCOVERRIGHT=2\r\n");
    start();
    clsPrinter p;
    p.setFrontWidth(13); // the 15 cm back inlay printed 13 cm wide: marks scale with it
    p.setFrontHeight(11.8f);
    p.setFrontLeftMargin(2);
    p.setFrontTopMargin(2);
    for (int type = 0; type <= 2; ++type) {
        gByteMarginType = std::uint8_t(type);
        const PrintPlacement pl = p.placement(0, 600, 600, 0, 0);
        const QRect c = pl.cover;
        const int xa = c.x() + roundToInt(0.65 / 15.0 * c.width());
        ASSERT_FALSE(pl.foldLines.empty()) << type;
        EXPECT_EQ(pl.foldLines.front().first.x(), xa) << type;
        EXPECT_EQ(pl.foldLines.back().first.x(), c.x() + roundToInt(c.width() - 0.65 / 15.0 * c.width())) << type;
        if (type == 0) {
            EXPECT_EQ(pl.foldLines.size(), 2u);
            EXPECT_EQ(pl.foldLines[0].second.y() - pl.foldLines[0].first.y(), c.height());
        } else if (type == 1) {
            EXPECT_EQ(pl.foldLines.size(), 2u);
            EXPECT_EQ(pl.foldLines[0].second.y() - pl.foldLines[0].first.y(), roundToInt(c.height() * 0.01));
        } else {
            EXPECT_EQ(pl.foldLines.size(), 4u);
            EXPECT_EQ(pl.foldLines[0].first.y(), c.y() - roundToInt(c.height() * 0.025));
        }
    }
    gBytePrintMargin = 0;
    EXPECT_TRUE(p.placement(0, 600, 600, 0, 0).foldLines.empty());
}

namespace {
// True when some pixel of the page has colour (not a shade of grey).
bool hasColouredPixels(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c(img.pixel(x, y));
            if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 40)
                return true;
        }
    return false;
}
} // namespace

TEST_F(Printing, TheDefaultPrintsInColourAndOptionOneInBlackAndWhite)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    ASSERT_EQ(gBytePrinterColor, 0);
    solidSides();
    w.cmdPrint_Click(2);
    ASSERT_EQ(documents().size(), 1);
    const QImage colour = page("print-1.pdf");
    ASSERT_FALSE(colour.isNull());
    EXPECT_TRUE(hasColouredPixels(colour));

    gBytePrinterColor = 1;
    w.cmdPrint_Click(2);
    ASSERT_EQ(documents().size(), 2);
    EXPECT_FALSE(hasColouredPixels(page("print-2.pdf")));
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
}

TEST_F(Printing, AFreshInstallationPrintsWithTheSystemsDefaultPrinter)
{
    // The options file as shipped: PRINTERNAME "0".
    auto &lib = platform::Seam<platform::PrintLibrary>::install(
        platform::makePdfPrintLibrary(out.path(), {"Office", "Laser", "PDF"}, 600, "Laser"));
    frmPelmora &w = start();
    w.show();
    const auto print = [&w] { QTest::mouseClick(w.cmdPrint[0], Qt::LeftButton); };
    print();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(documents().size(), 1);
    EXPECT_EQ(lib.currentPrinter(), 1);

    // An empty name is unset too; a system without a default prints with its first printer.
    gStrPrinterName.clear();
    gIntPrinterId = -1;
    auto &noDefault = platform::Seam<platform::PrintLibrary>::install(
        platform::makePdfPrintLibrary(out.path() + "/second", {"Office", "PDF"}, 600));
    QDir(out.path()).mkpath("second");
    print();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(noDefault.currentPrinter(), 0);
    EXPECT_EQ(QDir(out.path() + "/second").entryList({"*.pdf"}).size(), 1);

    // A printer the user chose that is gone is named.
    gStrPrinterName = "Gone";
    gIntPrinterId = 0;
    print();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "The printer Gone was not found. Please choose a printer in the options.");

    // Without the presets the printer dialog chooses for every print, whatever PRINTERID
    // holds; the prompt text an earlier options dialog stored names no printer.
    gBytePrintWithDefault = 0;
    gIntPrinterId = -1;
    gStrPrinterName = "Please choose a printer";
    prompter->shown.clear();
    print();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(QDir(out.path() + "/second").entryList({"*.pdf"}).size(), 2);
    gBytePrintWithDefault = 1;
    print();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    EXPECT_EQ(QDir(out.path() + "/second").entryList({"*.pdf"}).size(), 3);

    // Without any printer the user learns that none is installed.
    platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {}, 600));
    gStrPrinterName = "0";
    prompter->shown.clear();
    print();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "No printer is installed: nothing was printed.");
    EXPECT_EQ(documents().size(), 1);
}

TEST_F(Printing, FoldMarksAreAsWideOnPaperAtTwiceTheResolution)
{
    // The back inlay, 15 cm wide at (3 | 1,5) cm, with its fold 0,65 cm in.
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTMARGIN=1\r\nMARGINTYPE=0\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=2\r\n");
    platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"Office", "PDF"}, 1200));
    frmPelmora &w = start();
    QImage white(400, 400, QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    igxBackup[0]->setQImage(white, platform::kNoUndo);
    w.cmdPrint_Click(0);
    ASSERT_EQ(documents(), QStringList{"print-1.pdf"});
    // One row across the fold at 600 dpi, where 2 pixels at 600 dpi are 0,085 mm.
    const int x = roundToInt(3 / 2.54 * 600 + 0.65 / 2.54 * 600), y = roundToInt(5 / 2.54 * 600);
    const QImage row = pdfPage(out.path() + "/print-1.pdf", {"-r", "600", "-x", QString::number(x - 20), "-y",
                                                             QString::number(y), "-W", "40", "-H", "1"});
    ASSERT_FALSE(row.isNull());
    double ink = 0; // in pixels of full black
    for (int i = 0; i < row.width(); ++i)
        ink += (255 - QColor(row.pixel(i, 0)).lightness()) / 255.0;
    EXPECT_NEAR(ink, 2.0, 0.5);
    EXPECT_EQ(clsPrinter().placement(0, 300, 300, 0, 0).foldThickness, 1);
}

TEST_F(Printing, ACoverOutsideTheSheetIsToldBeforeAnythingIsPrinted)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    w.txtWidth[0]->setText("25"); // "2.5" typed where "," is the decimal sign
    w.cmdPrint_Click(2);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.startsWith("The left cover lies wholly or partly outside the page"));
    EXPECT_TRUE(documents().isEmpty());

    w.txtWidth[0]->setText("12");
    w.txtTopBorder[1]->setText("35"); // wholly below the sheet
    w.cmdPrint_Click(2);
    ASSERT_EQ(prompter->shown.size(), 2u);
    EXPECT_TRUE(prompter->shown[1].prompt.startsWith("The right cover lies wholly or partly outside the page"));
    EXPECT_TRUE(documents().isEmpty());

    w.txtTopBorder[1]->setText(formatUserNumber(15.5));
    w.cmdPrint_Click(2);
    EXPECT_EQ(prompter->shown.size(), 2u);
    EXPECT_EQ(documents().size(), 1);
}
