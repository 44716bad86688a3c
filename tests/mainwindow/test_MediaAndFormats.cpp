// The main window's start and end, the medium buttons, the format lists and what a format
// choice does to a side.
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>

using namespace mainwindowtest;

namespace {

QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class MediaAndFormats : public MainWindowTest {
protected:
    QStringList boxes(int side) const
    {
        const size_t k = size_t(side);
        return {window->txtHeight[k]->text(), window->txtWidth[k]->text(), window->txtLeftBorder[k]->text(),
                window->txtTopBorder[k]->text()};
    }
    QSize previewTwips(int side) const
    {
        const PictureBox *b = window->picVisible[size_t(side)];
        return {int(b->widthTwips()), int(b->heightTwips())};
    }
};

} // namespace

TEST_F(MediaAndFormats, EachMediumFillsBothListsAndPreselectsTheFirstRecordsFormats)
{
    start();
    struct Case {
        int medium;
        QStringList names;
        int left, right;
    } cases[] = {
        {0, {"CD front cover", "CD booklet (2 pages)", "CD back inlay", "CD inlay without spines", "CD label"}, 0, 2},
        {1, {"DVD cover (complete)", "DVD front / back", "DVD label", "DVD booklet page", "Slim DVD cover (complete)"}, 0, 2},
        {2, {"Maxi-CD front / back", "Maxi-CD cover card (2 pages)", "Maxi-CD label"}, 0, 2},
        {3, {"Video sleeve (complete)", "Video front", "Video back with spine", "Video cassette label", "Video spine label"}, 0, 3},
        {4, {"MC inlay card (J-card)", "MC cassette label", "Zip disk label"}, 0, 1},
    };
    for (const Case &c : cases) {
        window->optMedia[size_t(c.medium)]->click();
        EXPECT_EQ(gObjCover().aktMedium(), c.medium);
        EXPECT_EQ(entries(window->lstCoverNames[0]), c.names) << c.medium;
        EXPECT_EQ(entries(window->lstCoverNames[1]), c.names) << c.medium;
        EXPECT_EQ(window->lstCoverNames[0]->currentRow(), c.left) << c.medium;
        EXPECT_EQ(window->lstCoverNames[1]->currentRow(), c.right) << c.medium;
        EXPECT_FALSE(window->cmdCreateCover[0]->isVisibleTo(window.get()));
        EXPECT_TRUE(window->cmdPrint[2]->isEnabled());
    }
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(MediaAndFormats, AnEmptyUserMediumLeavesOnlyTheCreateButtons)
{
    start();
    window->optMedia[5]->click();
    for (size_t s = 0; s < 2; ++s) {
        EXPECT_EQ(window->lstCoverNames[s]->count(), 0);
        EXPECT_EQ(boxes(int(s)), QStringList({"", "", "", ""}));
        EXPECT_TRUE(window->cmdCreateCover[s]->isVisibleTo(window.get()));
        EXPECT_TRUE(window->cmdCreateCover[s]->isEnabled());
        EXPECT_FALSE(window->cmdEditCover[s]->isEnabled());
        EXPECT_FALSE(window->cmdDeleteCover[s]->isEnabled());
        EXPECT_FALSE(window->shpCircle[s]->isVisibleTo(window.get()));
    }
    for (ButtonPlus *p : window->cmdPrint)
        EXPECT_FALSE(p->isEnabled());
}

TEST_F(MediaAndFormats, AFormatChoiceFillsTheFourBoxesAndSizesThePreview)
{
    writeFile("data/mycover.dat", "WIDE;10;30;1;2;3,5;4;0;0;0;1;0;0;1;0\r\n"
                                  "SQUARE;12;12;1;2;3;4;0;0;0;0;0;0;0;0\r\n"
                                  "LOW;12;12;1;2;3;4;0;1500;0;0;0;0;0;0\r\n");
    options("LASTMEDIUM=5\r\nLASTCOVERLEFT=1\r\nLASTCOVERRIGHT=0\r\n");
    start();
    // The left side shows the left print offsets, the right side the right ones.
    EXPECT_EQ(boxes(0), QStringList({"12", "12", "1", "2"}));
    EXPECT_EQ(boxes(1), QStringList({"10", "30", "3.5", "4"}));
    EXPECT_EQ(previewTwips(0), QSize(3495, 3495));
    EXPECT_EQ(window->picVisible[0]->size(), QSize(233, 233));
    EXPECT_EQ(previewTwips(1), QSize(5175, 3495)) << "10485 twips wide, capped";

    window->lstCoverNames[0]->setCurrentRow(2);
    EXPECT_EQ(previewTwips(0), QSize(1500, 1500));
    EXPECT_EQ(window->picVisible[0]->size(), QSize(100, 100));
    EXPECT_EQ(gObjCover().LeftListIndex(), 2);
}

TEST_F(MediaAndFormats, AFormatWithoutASizeIsReportedAndLeavesTheSideAsItWas)
{
    writeFile("data/mycover.dat", "GOOD;12;12;1;2;3;4;0;0;0;0;0;0;0;0\r\n"
                                  "FLAT;0;12;9;9;9;9;0;0;0;0;0;0;0;0\r\n");
    options("LASTMEDIUM=5\r\n");
    start();
    const QSize before = window->picVisible[0]->size();
    window->lstCoverNames[0]->setCurrentRow(1);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("The cover format could not be applied."));
    EXPECT_EQ(boxes(0), QStringList({"12", "12", "1", "2"}));
    EXPECT_EQ(window->picVisible[0]->size(), before);
}

TEST_F(MediaAndFormats, StoredMediumAndFormatsThatNameNothingStartWithTheFirst)
{
    struct Case {
        QByteArray options;
        int medium, left, right;
    } cases[] = {
        {"LASTMEDIUM=3\r\nLASTCOVERLEFT=1\r\nLASTCOVERRIGHT=4\r\n", 3, 1, 4},
        {"LASTMEDIUM=-1\r\n", 0, 0, 2},
        {"LASTMEDIUM=\r\n", 0, 0, 2},
        {"LASTMEDIUM=9\r\nLASTCOVERLEFT=1\r\n", 0, 1, 2},
        {"LASTMEDIUM=abc\r\n", 0, 0, 2},
        {"LASTMEDIUM=4\r\nLASTCOVERLEFT=7\r\nLASTCOVERRIGHT=200\r\n", 4, 0, 0},
    };
    for (const Case &c : cases) {
        window.reset();
        mainwindow::resetForTests();
        options(c.options);
        start();
        EXPECT_EQ(gObjCover().aktMedium(), c.medium) << c.options.constData();
        EXPECT_TRUE(window->optMedia[size_t(c.medium)]->isChecked());
        EXPECT_EQ(window->lstCoverNames[0]->currentRow(), c.left) << c.options.constData();
        EXPECT_EQ(window->lstCoverNames[1]->currentRow(), c.right) << c.options.constData();
    }
    for (const auto &m : prompter->shown)
        EXPECT_FALSE(m.prompt.contains("frmPelmora_Load")) << m.prompt.toStdString();
}

TEST_F(MediaAndFormats, RepeatedFormatChoicesKeepTheSideImageSize)
{
    start();
    window->optMedia[3]->click(); // video: tall sleeve parts and wide labels
    const QSize loaded = QSize(igxBackup[0]->width(), igxBackup[0]->height());
    QSize afterFirstRound;
    for (int round = 0; round < 4; ++round) {
        for (int entry : {1, 3, 4, 0}) // portrait, landscape, a narrow strip, wide
            window->lstCoverNames[0]->setCurrentRow(entry);
        const QSize now(igxBackup[0]->width(), igxBackup[0]->height());
        if (round == 0)
            afterFirstRound = now;
        EXPECT_EQ(now, afterFirstRound) << "round " << round;
    }
    EXPECT_LE(std::max(afterFirstRound.width(), afterFirstRound.height()),
              4 * std::max(loaded.width(), loaded.height()));
}

TEST_F(MediaAndFormats, ClosingStoresTheMediumAndBothFormats)
{
    start();
    window->show();
    window->optMedia[1]->click();
    window->lstCoverNames[0]->setCurrentRow(4);
    window->lstCoverNames[1]->setCurrentRow(3);
    window->txtWidth[0]->setText("wide"); // closing asks nothing about the boxes
    window->close();
    const QString stored = QString::fromUtf8(readFile("data/pelmora.dat"));
    EXPECT_TRUE(stored.contains("LASTMEDIUM=1")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("LASTCOVERLEFT=4"));
    EXPECT_TRUE(stored.contains("LASTCOVERRIGHT=3"));
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MediaAndFormats, ExitWithAnInvalidBoxKeepsTheProgramRunning)
{
    options("");
    start();
    window->show();
    window->txtHeight[1]->setText("");
    window->menuExit->trigger();
    EXPECT_EQ(prompts(), QStringList({"Please enter a number."}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QString::fromUtf8(readFile("data/pelmora.dat")).contains("LASTCOVERLEFT"));

    window->txtHeight[1]->setText("12");
    window->cmdExit->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QString::fromUtf8(readFile("data/pelmora.dat")).contains("LASTCOVERLEFT=0"));
}

TEST_F(MediaAndFormats, TheTipOfTheDayOpensOnceAfterTheStartUnlessSwitchedOff)
{
    start();
    EXPECT_EQ(windows->tips, 0) << "not while the window starts";
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(windows->tips, 1);
    EXPECT_FALSE(window->timTip->isActive());
    EXPECT_TRUE(window->mBoolReady);

    window.reset();
    options("SHOWTIPS=1\r\n");
    start();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(windows->tips, 1);
}

TEST_F(MediaAndFormats, TheWindowSpeaksTheLanguageOfItsLanguageFile)
{
    options("LANGUAGE=Deutsch.dll\r\n");
    start();
    EXPECT_EQ(window->optMedia[5]->text(), "Eigene");
    EXPECT_EQ(window->cmdPrint[2]->text(), "Beide drucken");
    EXPECT_EQ(window->lstCoverNames[0]->item(0)->text(), "CD-Frontcover");
    EXPECT_EQ(window->picVisible[1]->toolTip(),
              "Klicken, um ein Bild zu laden, oder eine Bilddatei oder -adresse hierher ziehen");
}

TEST_F(MediaAndFormats, AnExitThatCannotStoreTheLastChoicesSaysSoOnce)
{
    options("LASTMEDIUM=0\r\n");
    start();
    window->show();
    QFile::setPermissions(path("data/pelmora.dat"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    window->cmdExit->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts(), QStringList({"The chosen medium and cover formats could not be stored for the next start: "
                                      "the options file cannot be written."}));
    EXPECT_FALSE(QString::fromUtf8(readFile("data/pelmora.dat")).contains("LASTCOVERLEFT"));
    QFile::setPermissions(path("data/pelmora.dat"), QFile::ReadOwner | QFile::WriteOwner);
}
