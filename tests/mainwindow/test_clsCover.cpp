// The cover state record: its medium, the keyword choice of a side's format and the file
// hand-over.
#include "MainWindowTestSupport.h"

#include "core/AppError.h"
#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"

#include <QListWidget>
#include <QRadioButton>

using namespace mainwindowtest;

namespace {

class CoverState : public MainWindowTest {
protected:
    int entry(int side) const { return window->lstCoverNames[size_t(side)]->currentRow(); }
    // Starts on a medium with both lists on entries the keywords never choose first.
    void startOn(int medium)
    {
        options("LASTMEDIUM=" + QByteArray::number(medium) + "\r\n");
        start();
        window->selectCoverEntry(0, 3);
        window->selectCoverEntry(1, 3);
    }
};

} // namespace

TEST_F(CoverState, TheKeywordThatStartsEarliestInTheFileNameChoosesTheFormat)
{
    startOn(0);
    struct Case {
        const char *path;
        int expected; // -1: the selection stays
    } cases[] = {
        {"/images/Back_of_front.jpg", 2}, // BACK starts first
        {"/images/frontal.bmp", 0},
        {"/images/my CD label.png", 4},
        {"/Front/cover.jpg", -1},         // the folder is not searched
        {"/images/BAC.jpg", -1},
    };
    for (const Case &c : cases) {
        window->selectCoverEntry(0, 3);
        gObjCover().chkType(c.path, 0);
        EXPECT_EQ(entry(0), c.expected < 0 ? 3 : c.expected) << c.path;
        EXPECT_EQ(entry(1), 3) << "the other side stays: " << c.path;
    }
}

TEST_F(CoverState, KeywordEntriesFollowTheMediumAndSkipCassettesAndOwnFormats)
{
    startOn(1);
    gObjCover().chkType("xxLabel.JPG", 1);
    EXPECT_EQ(entry(1), 2);

    window.reset();
    startOn(3);
    window->selectCoverEntry(0, 4);
    gObjCover().chkType("video-label.jpg", 0);
    EXPECT_EQ(entry(0), 3);

    window.reset();
    options("LASTMEDIUM=4\r\n");
    start();
    window->selectCoverEntry(0, 2);
    gObjCover().chkType("xxLabel.JPG", 0);
    EXPECT_EQ(entry(0), 2);
}

TEST_F(CoverState, AKeywordEntryTheListLacksIsIgnored)
{
    writeFile("data/CD.dat", "CD_FRONT;12;12;4,5;1,5;4,5;15,5;0;0;0;1;0;0;0;0\r\n"
                             "CD_BACK;11,8;15;3;1,5;3;15,5;0;0;0;0;0,65;0,65;0;2\r\n");
    start();
    window->selectCoverEntry(0, 1);
    gObjCover().chkType("cd_label.jpg", 0);
    EXPECT_EQ(entry(0), 1);
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(CoverState, MediumIsAByteAndComesFromTheFirstSetMediumButton)
{
    start();
    window->selectMedium(3);
    EXPECT_EQ(gObjCover().aktMedium(), 3);
    EXPECT_THROW(gObjCover().setAktMedium(300), AppError);
    EXPECT_EQ(gObjCover().aktMedium(), 3);

    for (QRadioButton *b : window->optMedia) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    gObjCover().getAktMedium();
    EXPECT_EQ(gObjCover().aktMedium(), 3);
}

TEST_F(CoverState, AnExternalFileLosesItsQuotesAndChoosesTheLeftFormat)
{
    startOn(0);
    const QString file = pngFile("in/back.jpg", 4, 4, Qt::red); // a PNG under a JPEG name
    QString quoted = u'"' + file + u'"';
    gObjCover().LoadExternalFile(quoted);
    EXPECT_EQ(quoted, file);
    EXPECT_EQ(entry(0), 2);

    window->selectCoverEntry(0, 3);
    QString png = pngFile("in/front.png", 4, 4, Qt::red);
    gObjCover().LoadExternalFile(png);
    EXPECT_EQ(entry(0), 3) << "only GIF, JPG, BMP and JPEG files are looked at";
}
