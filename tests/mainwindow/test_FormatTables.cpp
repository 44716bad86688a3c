// Saving a side's sizes into the format tables, and the formats of the user's own.
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "core/libCoverData.h"
#include "mainwindow/clsCover.h"
#include "platform/widgets/ButtonPlus.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

using namespace mainwindowtest;

namespace {

class FormatTables : public MainWindowTest {
protected:
    void type(int side, const QString &h, const QString &w, const QString &left, const QString &top)
    {
        const size_t k = size_t(side);
        window->txtHeight[k]->setText(h);
        window->txtWidth[k]->setText(w);
        window->txtLeftBorder[k]->setText(left);
        window->txtTopBorder[k]->setText(top);
    }
    static QStringList fields(const QString &line) { return line.split(u';'); }
    void startOnUserFormats(const QByteArray &file)
    {
        writeFile("data/mycover.dat", file);
        options("LASTMEDIUM=5\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=0\r\n");
        start();
    }
    QStringList names(int side) const
    {
        QStringList out;
        for (int i = 0; i < window->lstCoverNames[size_t(side)]->count(); ++i)
            out << window->lstCoverNames[size_t(side)]->item(i)->text();
        return out;
    }
};

const QByteArray kTwoOwn = "MINE_A;10;20;1;1;2;2;0;0;0;1;0;0;0;0\r\nMINE_B;5;5;3;3;4;4;0;0;0;0;0;0;0;0\r\n";

} // namespace

TEST_F(FormatTables, SavingTheRightSideChangesItsSizeAndRightOffsetsOnly)
{
    gStrDecimalSeparator = ",";
    const QByteArray before = readFile("data/CD.dat");
    const QStringList old = dataLines("CD.dat");
    start();
    window->lstCoverNames[1]->setCurrentRow(2); // CD back inlay
    type(1, "12,50", "1.015", "2,25", " 16 ");
    window->cmdSave[1]->click();
    EXPECT_TRUE(prompter->shown.empty());

    const QStringList now = dataLines("CD.dat");
    ASSERT_EQ(now.size(), old.size());
    for (int i = 0; i < now.size(); ++i) {
        if (i != 2) {
            EXPECT_EQ(now[i], old[i]);
            continue;
        }
        const QStringList a = fields(old[i]), b = fields(now[i]);
        ASSERT_EQ(b.size(), 15) << "no display name is written";
        for (int f = 0; f < 15; ++f) {
            if (f == 1 || f == 2 || f == 5 || f == 6)
                continue;
            EXPECT_EQ(b[f], a[f]) << "field " << f;
        }
        EXPECT_EQ(b[1], "12,5");
        EXPECT_EQ(b[2], "1015");
        EXPECT_EQ(b[5], "2,25");
        EXPECT_EQ(b[6], "16");
    }
    EXPECT_TRUE(readFile("data/CD.dat").contains("\r\n")) << "the file keeps its line ends";
    EXPECT_NE(readFile("data/CD.dat"), before);
    // The boxes show the saved values as the user's numbers, read back from the table.
    EXPECT_EQ(window->txtHeight[1]->text(), "12,5");
    EXPECT_EQ(window->txtWidth[1]->text(), "1015");
    EXPECT_EQ(gVarCoverTypesLoaded[0].at(2).number(2), 1015.0);
}

TEST_F(FormatTables, SaveWritesNothingWithAnInvalidBoxNoSelectionOrAnUnreadTable)
{
    const QByteArray cd = readFile("data/CD.dat");
    start();
    window->txtTopBorder[0]->setText("1O");
    window->cmdSave[0]->click();
    EXPECT_EQ(prompts(), QStringList({"Please enter a number."}));
    EXPECT_EQ(readFile("data/CD.dat"), cd);

    window->optMedia[5]->click();
    window->cmdSave[0]->click();
    EXPECT_EQ(readFile("data/mycover.dat"), QByteArray());

    // A file with a bad line is reported when read and is never written back.
    const QByteArray bad = "DVD_COVER;18,3;27,3\r\n";
    writeFile("data/DVD.dat", bad);
    prompter->shown.clear();
    loadCoverData();
    window->optMedia[1]->click();
    window->cmdSave[0]->click();
    EXPECT_EQ(readFile("data/DVD.dat"), bad);
}

TEST_F(FormatTables, CreateAndEditHandTheSideAndTheRecordToTheEditor)
{
    startOnUserFormats(kTwoOwn);
    window->cmdCreateCover[1]->click();
    window->lstCoverNames[0]->setCurrentRow(1);
    window->cmdEditCover[0]->click();
    ASSERT_EQ(windows->editorCalls.size(), 2u);
    EXPECT_EQ(windows->editorCalls[0].caption, "Create a Cover/Label");
    EXPECT_EQ(windows->editorCalls[0].profileIndex, -2);
    EXPECT_EQ(windows->editorCalls[0].editedIndex, 1);
    EXPECT_EQ(windows->editorCalls[1].caption, "Edit Cover");
    EXPECT_EQ(windows->editorCalls[1].profileIndex, 1);
    EXPECT_EQ(windows->editorCalls[1].editedIndex, 0);
    EXPECT_TRUE(window->mBoolReady);
    EXPECT_EQ(readFile("data/mycover.dat"), kTwoOwn) << "nothing changes until the editor saves";
}

TEST_F(FormatTables, OwnFormatsRoundTripThroughTheUserFile)
{
    startOnUserFormats(kTwoOwn);
    // What the editor does when it has saved a new format.
    windows->editorAction = [this] {
        writeFile("data/mycover.dat", readFile("data/mycover.dat") + "MINE_C;8;9;1;1;1;1;0;0;0;0;0;0;0;0\r\n");
        loadCoverData();
        window->selectMedium(5);
    };
    window->cmdCreateCover[0]->click();
    EXPECT_EQ(names(0), QStringList({"MINE_A", "MINE_B", "MINE_C"}));
    EXPECT_EQ(names(1), names(0));

    window->lstCoverNames[1]->setCurrentRow(1);
    prompter->answers = {platform::MsgAnswer::No};
    window->cmdDeleteCover[1]->click();
    EXPECT_EQ(dataLines("mycover.dat").size(), 3);

    prompter->answers = {platform::MsgAnswer::Yes};
    window->cmdDeleteCover[1]->click();
    EXPECT_EQ(prompter->shown.back().prompt, "Do you really want to delete this cover format?");
    EXPECT_EQ(dataLines("mycover.dat"), QStringList({"MINE_A;10;20;1;1;2;2;0;0;0;1;0;0;0;0", "MINE_C;8;9;1;1;1;1;0;0;0;0;0;0;0;0"}));
    EXPECT_EQ(names(0), QStringList({"MINE_A", "MINE_C"}));
    EXPECT_EQ(names(1), names(0));
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 1) << "the file's preselection";
}

TEST_F(FormatTables, DeletingTheLastOwnFormatEmptiesTheFileAndDisablesPrinting)
{
    startOnUserFormats("ONLY;10;20;1;1;2;2;0;0;0;0;0;0;0;0\r\n");
    prompter->answers = {platform::MsgAnswer::Yes};
    window->cmdDeleteCover[0]->click();
    EXPECT_EQ(readFile("data/mycover.dat"), QByteArray());
    for (size_t s = 0; s < 2; ++s) {
        EXPECT_EQ(window->lstCoverNames[s]->count(), 0);
        EXPECT_FALSE(window->cmdEditCover[s]->isEnabled());
        EXPECT_FALSE(window->cmdDeleteCover[s]->isEnabled());
    }
    EXPECT_FALSE(window->cmdPrint[0]->isEnabled());

    const size_t questions = prompter->shown.size();
    window->cmdDeleteCover_Click(0); // nothing left to delete: no question
    EXPECT_EQ(prompter->shown.size(), questions);
}
