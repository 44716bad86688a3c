// The editor of the user's own cover formats: opening, the checks of its fields, the drawing
// of the sheet and the cover, and what Save leaves in data/mycover.dat and the main window.
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "core/libCoverData.h"
#include "coverformats/frmEditCover.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/ShapeControl.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

using namespace mainwindowtest;

namespace {

const QByteArray kThreeOwn = "Booklet;12;24;1;2;1;2;0;0;0;0;0;0;0;0\r\n"
                             "Label;5,5;5,5;3;3;3;3;0;0;0;0;1;1;1;2\r\n"
                             "Inlay;11,8;15;2;2;2;2;0;0;0;0;0,7;0;0;1\r\n";

class CoverFormatEditor : public MainWindowTest {
protected:
    void startOnOwnFormats(const QByteArray &file)
    {
        writeFile("data/mycover.dat", file);
        options("LASTMEDIUM=5\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=0\r\n");
        start();
        window->show();
    }
    // The editor as the main window opens it for a side and a record (-2: a new one).
    std::unique_ptr<frmEditCover> open(int side, int profile)
    {
        gObjCover().setEditedIndex(std::int16_t(side));
        gObjCover().setProfileIndex(std::int16_t(profile));
        auto d = std::make_unique<frmEditCover>(window.get());
        d->show();
        return d;
    }
    // Entering a field, typing and leaving it.
    static void enter(frmEditCover &d, QLineEdit *field, const QString &text)
    {
        d.field_GotFocus(field);
        field->setText(text);
        d.field_LostFocus(field);
    }
    QString lastPrompt() const { return prompter->shown.empty() ? QString() : prompter->shown.back().prompt; }
    static QString error(const char *key)
    {
        return gObjLanguageStore().getVar(QStringLiteral("ERRORS.") + QLatin1String(key));
    }
};

} // namespace

TEST_F(CoverFormatEditor, ANewFormatOpensWithItsDefaultsAndIsSavedAsTheLastLineAndSelected)
{
    gStrDecimalSeparator = ".";
    startOnOwnFormats(kThreeOwn);
    windows->editorAction = [this] {
        auto d = std::make_unique<frmEditCover>(window.get());
        d->setWindowTitle(windows->editorCalls.back().caption);
        d->show();
        EXPECT_EQ(d->txtCoverName->text(), "New Cover");
        EXPECT_EQ(d->txtBreite->text(), "10");
        EXPECT_EQ(d->txtHoehe->text(), "10");
        EXPECT_EQ(d->txtLeftBorder->text(), "1.1");
        EXPECT_EQ(d->txtTopBorder->text(), "1.1");
        for (int i : {1, 2}) {
            EXPECT_EQ(d->txtBorder[size_t(i)]->text(), "0");
            EXPECT_FALSE(d->txtBorder[size_t(i)]->isEnabled());
        }
        EXPECT_TRUE(d->optBorder[0]->isChecked());
        EXPECT_TRUE(d->optOrientation[0]->isChecked());
        EXPECT_FALSE(d->editsExisting());
        EXPECT_TRUE(d->drawing().sheetVisible[0]);
        EXPECT_FALSE(d->drawing().sheetVisible[1]);

        enter(*d, d->txtCoverName, "Sleeve");
        enter(*d, d->txtBreite, "12.5");
        d->cmdSave->click();
        EXPECT_FALSE(d->isVisible()) << "Save closes the editor";
    };
    window->cmdCreateCover_Click(1);
    EXPECT_TRUE(prompter->shown.empty()) << lastPrompt().toStdString();

    const QStringList lines = dataLines("mycover.dat");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3), QString::fromUtf8(kThreeOwn).split("\r\n", Qt::SkipEmptyParts));
    EXPECT_EQ(lines[3], "Sleeve;10;12,5;1,1;1,1;1,1;1,1;0;0;0;0;0;0;0;0");
    // The main window lists the new format and has it selected on the side that asked.
    EXPECT_EQ(gObjCover().ProfileIndex(), 3);
    ASSERT_EQ(window->lstCoverNames[1]->count(), 4);
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 3);
    EXPECT_EQ(window->lstCoverNames[1]->item(3)->text(), "Sleeve");
    EXPECT_EQ(window->txtWidth[1]->text(), "12.5");
}

TEST_F(CoverFormatEditor, EditingReplacesItsOwnLineOnlyWithCommaNumbersInEveryLocale)
{
    gStrDecimalSeparator = ",";
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, 1);
    EXPECT_TRUE(d->editsExisting());
    EXPECT_EQ(d->txtCoverName->text(), "Label");
    EXPECT_EQ(d->txtBreite->text(), "5,5");
    EXPECT_TRUE(d->optBorder[2]->isChecked());
    EXPECT_TRUE(d->optOrientation[1]->isChecked());
    EXPECT_EQ(d->orientation(), 1);

    enter(*d, d->txtBreite, "12,5");
    enter(*d, d->txtHoehe, "10,0");
    enter(*d, d->txtBorder[2], "0,25");
    d->cmdSave->click();
    EXPECT_TRUE(prompter->shown.empty()) << lastPrompt().toStdString();

    const QStringList lines = dataLines("mycover.dat");
    const QStringList before = QString::fromUtf8(kThreeOwn).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], before[0]);
    EXPECT_EQ(lines[2], before[2]);
    EXPECT_EQ(lines[1], "Label;10;12,5;3;3;3;3;0;0;0;0;1;0,25;1;2");
    EXPECT_EQ(window->lstCoverNames[0]->currentRow(), 1);
    EXPECT_EQ(window->txtWidth[0]->text(), "12,5");
}

TEST_F(CoverFormatEditor, LeavingAFieldRefusesWrongValuesWithTheirMessageAndTheOldText)
{
    gStrDecimalSeparator = ".";
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, -2);
    d->optBorder[2]->click();
    enter(*d, d->txtBorder[1], "10"); // equal to the width: accepted
    EXPECT_TRUE(prompter->shown.empty()) << lastPrompt().toStdString();
    EXPECT_EQ(d->txtBorder[1]->text(), "10");

    struct Case {
        QLineEdit *field;
        const char *typed;
        const char *key;
    };
    const std::vector<Case> refused = {
        {d->txtBreite, "9.5", "ERR_BORDER_SIZE"}, // smaller than crease 1
        {d->txtBorder[2], "10.5", "ERR_BORDER_SIZE"},
        {d->txtHoehe, "0", "ERR_NO_NUMBER"},
        {d->txtHoehe, "-3", "ERR_NO_NUMBER"},
        {d->txtHoehe, "abc", "ERR_NO_NUMBER"},
        {d->txtHoehe, "", "ERR_NO_NUMBER"},
        {d->txtBreite, "1e40", "ERR_NO_NUMBER"}, // beyond single precision
        {d->txtBreite, "12;5", "ERR_NO_NUMBER"},
        {d->txtLeftBorder, "-0.1", "ERR_NO_NUMBER"},
        {d->txtHoehe, "500", "ERR_BORDER_TOP"},
        {d->txtBreite, "20", "ERR_BORDER_LEFT"}, // 20 + 1.1 > 21
    };
    for (const Case &c : refused) {
        prompter->shown.clear();
        const QString old = c.field->text();
        enter(*d, c.field, QString::fromLatin1(c.typed));
        ASSERT_EQ(prompter->shown.size(), 1u) << c.typed;
        EXPECT_EQ(prompter->shown[0].prompt, error(c.key)) << c.typed;
        EXPECT_EQ(c.field->text(), old) << c.typed;
    }
    // Fits exactly, and within binary fractions.
    prompter->shown.clear();
    enter(*d, d->txtLeftBorder, "0");
    enter(*d, d->txtBreite, "21");
    enter(*d, d->txtLeftBorder, "0.1");
    EXPECT_EQ(prompter->shown.size(), 1u) << "21 + 0.1 does not fit";
    enter(*d, d->txtBreite, "20.9");
    enter(*d, d->txtLeftBorder, "0.1");
    EXPECT_EQ(prompter->shown.size(), 1u) << lastPrompt().toStdString();

    // The name: cut to 30 characters, blank names keep their blanks, ";" is refused.
    prompter->shown.clear();
    d->txtCoverName->setText(QString(31, u'x'));
    d->field_LostFocus(d->txtCoverName);
    EXPECT_EQ(d->txtCoverName->text(), QString(30, u'x'));
    d->txtCoverName->setText("   ");
    d->field_LostFocus(d->txtCoverName);
    EXPECT_EQ(d->txtCoverName->text(), "   ");
    d->txtCoverName->setText("A;B");
    d->field_LostFocus(d->txtCoverName);
    EXPECT_EQ(d->txtCoverName->text(), "A;B");
    ASSERT_EQ(prompter->shown.size(), 3u);
    EXPECT_EQ(prompter->shown[0].prompt, error("ERR_COVER_NAME"));
    EXPECT_EQ(prompter->shown[1].prompt, error("ERR_COVER_NAME"));
    EXPECT_EQ(prompter->shown[2].prompt, error("ERR_INVALID"));
}

TEST_F(CoverFormatEditor, TwoWrongFieldsNeverPassTheFocusAndMessagesBetweenThem)
{
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, -2);
    window->hide();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    d->txtHoehe->setFocus(Qt::TabFocusReason);
    d->txtHoehe->setText("abc");
    d->txtBreite->setFocus(Qt::TabFocusReason);
    d->txtBreite->setText("xyz");
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, error("ERR_NO_NUMBER"));
    EXPECT_EQ(QApplication::focusWidget(), d->txtHoehe);
    EXPECT_EQ(d->txtHoehe->text(), "10");
    // Leaving the corrected field checks it once more, with its own old text.
    d->txtHoehe->setText("12");
    d->txtLeftBorder->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(d->txtHoehe->text(), "12");
}

TEST_F(CoverFormatEditor, TheDrawingPlacesTheCoverItsMarkersAndItsCreasesInTwips)
{
    gStrDecimalSeparator = ",";
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, -2);
    d->optBorder[2]->click();
    enter(*d, d->txtBorder[1], "1");
    enter(*d, d->txtBorder[2], "1");
    EXPECT_TRUE(prompter->shown.empty()) << lastPrompt().toStdString();

    const CoverFormatDrawing &g = d->drawing();
    const double x0 = 1440 + 71.5, y0 = 0 + 1.1 / 29.7 * 1935;
    EXPECT_DOUBLE_EQ(g.cover.left, x0);
    EXPECT_NEAR(g.cover.top, 71.7, 0.05);
    EXPECT_DOUBLE_EQ(g.cover.top, y0);
    EXPECT_EQ(g.cover.width, 650);
    EXPECT_EQ(g.cover.height, 652);
    EXPECT_TRUE(g.lineBorderLeft.visible);
    EXPECT_DOUBLE_EQ(g.lineBorderLeft.x1, x0);
    EXPECT_EQ(g.lineBorderLeft.y2, 1935);
    EXPECT_DOUBLE_EQ(g.lineBorderTop.y1, y0);
    EXPECT_EQ(g.lineBorderTop.x2, 1440 + 1365);
    ASSERT_TRUE(g.lineBorder[0].visible && g.lineBorder[1].visible);
    EXPECT_DOUBLE_EQ(g.lineBorder[0].x1, x0 + 65);
    EXPECT_DOUBLE_EQ(g.lineBorder[1].x1, x0 + 650 - 65 - 4);
    EXPECT_DOUBLE_EQ(g.lineBorder[1].y2, y0 + 652 - 2);
    // The shape follows the twips at the screen's 15 twips a pixel.
    EXPECT_EQ(d->shpCover->width(), 650 / 15 + 1);
    EXPECT_EQ(d->shpCover->x(), qRound((x0 - 960) / 15));

    // One crease: the second marker goes, the first one runs the cover's full height.
    d->optBorder[1]->click();
    enter(*d, d->txtBorder[1], "2");
    EXPECT_FALSE(d->drawing().lineBorder[1].visible);
    EXPECT_DOUBLE_EQ(d->drawing().lineBorder[0].x1, x0 + 130);
    EXPECT_DOUBLE_EQ(d->drawing().lineBorder[0].y2, y0 + 652);
    // A crease 1 that is no number (a hand-edited file) leaves the markers as they are; no
    // layout hides them.
    const TwipLine before = d->drawing().lineBorder[0];
    d->txtBorder[1]->setText("abc");
    d->optBorder_Click(1);
    EXPECT_TRUE(d->drawing().lineBorder[0].visible);
    EXPECT_DOUBLE_EQ(d->drawing().lineBorder[0].x1, before.x1);
    d->optBorder[0]->click();
    EXPECT_FALSE(d->drawing().lineBorder[0].visible);
    EXPECT_FALSE(d->txtBorder[1]->isEnabled());
}

TEST_F(CoverFormatEditor, AnOrientationTheCoverDoesNotFitIsRefusedAndTheOtherOneStays)
{
    gStrDecimalSeparator = ".";
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, -2);
    enter(*d, d->txtTopBorder, "1");
    enter(*d, d->txtHoehe, "25");
    d->optOrientation[1]->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, error("ERR_COVER_LANDSCAPE"));
    EXPECT_TRUE(d->optOrientation[0]->isChecked());
    EXPECT_EQ(d->orientation(), 0);
    EXPECT_EQ(d->sheetHeight(), 29.7);

    prompter->shown.clear();
    enter(*d, d->txtHoehe, "10");
    d->optOrientation[1]->click();
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_EQ(d->orientation(), 1);
    EXPECT_TRUE(d->drawing().sheetVisible[1]);
    EXPECT_FALSE(d->drawing().sheetVisible[0]);
    enter(*d, d->txtLeftBorder, "1");
    enter(*d, d->txtBreite, "25");
    d->optOrientation[0]->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, error("ERR_COVER_PORTRAIT"));
    EXPECT_TRUE(d->optOrientation[1]->isChecked());
    EXPECT_EQ(d->orientation(), 1);
    EXPECT_EQ(d->sheetWidth(), 29.7);
}

TEST_F(CoverFormatEditor, AHandEditedRecordOpensWithoutAMessageLoopAndCannotBeSavedUntilCorrected)
{
    gStrDecimalSeparator = ".";
    // 40 x 40 fits no sheet; the orientation and the layout are no buttons' indexes.
    startOnOwnFormats("Huge;40;40;0;0;0;0;0;0;0;0;abc;0;7;9\r\n");
    prompter->shown.clear();
    auto d = open(0, 0);
    EXPECT_LE(prompter->shown.size(), 4u) << "each message once";
    EXPECT_GE(prompter->shown.size(), 1u);
    const QByteArray before = readFile("data/mycover.dat");

    prompter->shown.clear();
    d->cmdSave->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(readFile("data/mycover.dat"), before);

    // Corrected, it saves.
    d->txtBorder[1]->setText("0");
    d->txtHoehe->setText("20");
    d->txtBreite->setText("15");
    prompter->shown.clear();
    d->cmdSave->click();
    EXPECT_TRUE(prompter->shown.empty()) << lastPrompt().toStdString();
    EXPECT_EQ(dataLines("mycover.dat"), QStringList{"Huge;20;15;0;0;0;0;0;0;0;0;0;0;0;0"});
}

TEST_F(CoverFormatEditor, SaveWritesNothingAndStaysOpenWhenAValueOrTheFileIsWrong)
{
    gStrDecimalSeparator = ".";
    startOnOwnFormats(kThreeOwn);
    const QByteArray before = readFile("data/mycover.dat");
    auto d = open(1, -2);
    struct Case {
        QLineEdit *field;
        const char *typed;
        const char *key;
    };
    const std::vector<Case> refused = {
        {d->txtBreite, "0", "ERR_WRONG_WIDTH_HEIGHT"},
        {d->txtHoehe, "-1", "ERR_NO_NUMBER"},
        {d->txtCoverName, "A;B", "ERR_INVALID"},
        {d->txtCoverName, "  ", "ERR_COVER_NAME"},
        {d->txtLeftBorder, "15", "ERR_BORDER_LEFT"},
    };
    for (const Case &c : refused) {
        prompter->shown.clear();
        const QString old = c.field->text();
        c.field->setText(QString::fromLatin1(c.typed));
        d->cmdSave->click();
        ASSERT_EQ(prompter->shown.size(), 1u) << c.typed;
        EXPECT_TRUE(prompter->shown[0].prompt.contains(error(c.key))) << c.typed;
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(readFile("data/mycover.dat"), before);
        c.field->setText(old);
    }
    d.reset();

    // A table with a bad line is never written back.
    writeFile("data/mycover.dat", "Good;1;1;0;0;0;0;0;0;0;0;0;0;0;0\r\nbad line\r\n");
    gVarCoverTypesLoaded[5] = ReadUserData("mycover.dat", false);
    gVarCoverTypes[5] = gVarCoverTypesLoaded[5];
    const QByteArray bad = readFile("data/mycover.dat");
    d = open(0, -2);
    prompter->shown.clear();
    d->cmdSave->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(error("ERR_SAVE_COVER")));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(readFile("data/mycover.dat"), bad);
}

TEST_F(CoverFormatEditor, AProfileIndexTheTableDoesNotHoldOpensANewFormat)
{
    startOnOwnFormats(kThreeOwn);
    auto d = open(0, 7);
    EXPECT_FALSE(d->editsExisting());
    EXPECT_EQ(d->txtCoverName->text(), "New Cover");
    d->cmdSave->click();
    EXPECT_EQ(dataLines("mycover.dat").size(), 4);
}
