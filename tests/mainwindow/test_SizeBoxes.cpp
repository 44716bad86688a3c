// The size and print-offset boxes: the check on leaving a box and the numbers of the
// user's locale.
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "platform/widgets/ButtonPlus.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace mainwindowtest;

namespace {

class SizeBoxes : public MainWindowTest {
protected:
    void startActive()
    {
        start();
        window->show();
        window->activateWindow();
        for (int i = 0; i < 20 && QApplication::activeWindow() != window.get(); ++i)
            QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), window.get());
    }
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    void leaveByTab(QLineEdit *box)
    {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Tab);
        settle();
    }
};

} // namespace

TEST_F(SizeBoxes, LeavingAnInvalidBoxShowsItsMessageOnceAndPutsTheCursorBack)
{
    startActive();
    QLineEdit *width = window->txtWidth[0];
    width->clear();
    leaveByTab(width);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "Please enter a number.");
    EXPECT_EQ(prompter->shown[0].title, "Error");
    EXPECT_EQ(prompter->shown[0].style, 16);
    EXPECT_EQ(QApplication::focusWidget(), width);
    EXPECT_EQ(width->text(), "") << "the text stays as typed";

    width->setText("1,234.5"); // grouping signs are allowed
    leaveByTab(width);
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), window->txtLeftBorder[0]);

    // A grouping sign where the locale writes none is no number: "1,5" is not 15 cm.
    QLineEdit *top = window->txtTopBorder[0];
    top->clear();
    testsupport::typeInto(top, "1,5");
    QTest::keyClick(top, Qt::Key_Tab);
    settle();
    ASSERT_EQ(prompter->shown.size(), 2u);
    EXPECT_EQ(prompter->shown[1].prompt, "Please enter a number.");
    EXPECT_EQ(QApplication::focusWidget(), top);
    EXPECT_EQ(top->text(), "1,5");
    window->printSides(0);
    settle();
    EXPECT_EQ(prompter->shown.size(), 3u) << "nothing is printed 15 cm down";
}

TEST_F(SizeBoxes, TwoInvalidBoxesNeverPassTheMessageBackAndForth)
{
    startActive();
    QLineEdit *width = window->txtWidth[0];
    QLineEdit *left = window->txtLeftBorder[0];
    width->setText("x");
    left->setText("y");
    leaveByTab(width); // into the other invalid box
    settle();
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), width);

    QTest::mouseClick(left, Qt::LeftButton);
    settle();
    EXPECT_EQ(prompter->shown.size(), 2u) << "leaving it again shows the message again, once";
    EXPECT_EQ(QApplication::focusWidget(), width);
}

TEST_F(SizeBoxes, SavingWithAnInvalidBoxSaysSoOnce)
{
    startActive();
    const QStringList before = dataLines("CD.dat");
    QLineEdit *width = window->txtWidth[0];
    width->setText("abc");
    width->setFocus(Qt::TabFocusReason);
    settle();
    QTest::mouseClick(window->cmdSave[0], Qt::LeftButton); // the button takes the focus first
    settle();
    EXPECT_EQ(prompts(), QStringList{"Please enter a number."});
    EXPECT_EQ(QApplication::focusWidget(), width);
    EXPECT_EQ(dataLines("CD.dat"), before);

    // Saving without leaving the box (the keyboard's default button) says so too.
    window->cmdSave_Click(0);
    settle();
    EXPECT_EQ(prompter->shown.size(), 2u);
}

TEST_F(SizeBoxes, PrintingWithAnInvalidBoxSaysSoOnce)
{
    startActive();
    QLineEdit *height = window->txtHeight[1];
    testsupport::typeInto(height, "abc");
    QTest::keyClick(height, Qt::Key_Tab);
    settle();
    ASSERT_EQ(prompts(), QStringList{"Please enter a number."});
    ASSERT_EQ(QApplication::focusWidget(), height);

    QTest::mouseClick(window->cmdPrint[2], Qt::LeftButton); // print both: the button takes the focus first
    settle();
    EXPECT_EQ(prompts(), (QStringList{"Please enter a number.", "Please enter a number."}));
    EXPECT_EQ(QApplication::focusWidget(), height);

    // Printing without leaving the box (the menu) says so too.
    window->printSides(2);
    settle();
    EXPECT_EQ(prompter->shown.size(), 3u);
}

TEST_F(SizeBoxes, BoxesOfASideWithoutFormatsAreNotChecked)
{
    startActive();
    window->optMedia[5]->click(); // no formats of the user's own
    leaveByTab(window->txtHeight[1]);
    EXPECT_TRUE(window->validateSizeBoxes());
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(SizeBoxes, ValidationCountsEveryInvalidBoxButIsSilentOnceClosingStarted)
{
    startActive();
    window->txtHeight[0]->setText("");
    window->txtTopBorder[1]->setText("--1");
    EXPECT_FALSE(window->validateSizeBoxes());
    EXPECT_EQ(prompter->shown.size(), 2u);

    window->Form_QueryUnload();
    EXPECT_FALSE(window->validateSizeBoxes());
    leaveByTab(window->txtHeight[0]);
    EXPECT_EQ(prompter->shown.size(), 2u);
}

TEST(LocaleNumbers, TypedNumbersFollowTheUsersDecimalSign)
{
    gStrDecimalSeparator = ",";
    EXPECT_EQ(parseUserNumber("12,50"), 12.5);
    EXPECT_EQ(formatUserNumber(12.5), "12,5");
    EXPECT_EQ(parseUserNumber(" 1.234,5 "), 1234.5);
    EXPECT_EQ(parseUserNumber("-3,5e2"), -350.0);
    EXPECT_EQ(formatUserNumber(0.65), "0,65");
    for (const char *bad : {"", "  ", "abc", "1,2,3", "12cm", "1e", "1.5", "12.50", "1.2345", "1234.567", ".500",
                            "1.234.5", "1,2.345"})
        EXPECT_FALSE(isUserNumeric(bad)) << bad;

    // The grouping sign counts where the locale writes it: before every three digits of the
    // whole part, never after the decimal sign.
    gStrDecimalSeparator = ".";
    EXPECT_EQ(parseUserNumber("12.5"), 12.5);
    EXPECT_EQ(formatUserNumber(15.25), "15.25");
    EXPECT_EQ(parseUserNumber("1,500"), 1500.0);
    EXPECT_EQ(parseUserNumber(" -1,234,567.25 "), -1234567.25);
    EXPECT_EQ(parseUserNumber("1,500e1"), 15000.0);
    for (const char *bad : {"1,5", "12,50", "4,5", "1,5000", "1234,567", ",500", "1.5,000", "1,500.000,1"})
        EXPECT_FALSE(isUserNumeric(bad)) << bad;
}
