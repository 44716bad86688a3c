#include "TextEffectDialogsTestSupport.h"

#include "platform/widgets/ButtonPlus.h"
#include "texteditor/frmTextShadow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QThread>
#include <functional>
#include <initializer_list>

using effectstest::TextEffectTest;
using effectstest::sameShadow;

namespace {

struct Typed {
    const char *text;
    double whileTyped; // what the box holds while the text stays in it as typed
    double stored;     // and once it was left
    const char *shown;
};

// Types each text into the box one key at a time and leaves the box with Enter or Tab; the
// spinner, where given, stands at top minus the number stored.
void typeRows(QLineEdit *box, const std::function<double()> &stored, std::initializer_list<Typed> rows, bool enter,
              const QScrollBar *spinner = nullptr, int top = 0)
{
    for (const Typed &t : rows) {
        testsupport::typeInto(box, QString::fromLatin1(t.text));
        EXPECT_EQ(box->text(), t.text);
        EXPECT_EQ(stored(), t.whileTyped) << t.text;
        if (enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            testsupport::leaveByTab(box);
        EXPECT_EQ(stored(), t.stored) << t.text;
        EXPECT_EQ(box->text(), t.shown) << t.text;
        if (spinner) {
            EXPECT_EQ(spinner->value(), top - int(t.stored)) << t.text;
        }
    }
}

} // namespace

TEST_F(TextEffectTest, ShadowBoxesTakeWhatIsTypedAndShowTheirRangesOnLeaving)
{
    editor.autoPreviewOn = false;
    frmTextShadow dlg(editor);
    testsupport::showActive(&dlg);
    EXPECT_EQ(dlg.windowTitle(), "Shadow effect");
    EXPECT_EQ(dlg.txtXPos->text(), "10");
    EXPECT_EQ(dlg.txtBlur->text(), "100");
    EXPECT_EQ(dlg.txtTransparency->text(), "170");

    // A number on its way ("-", "2.", an empty box) stays as typed; what reads as a number is
    // taken at once, within the box's range. Leaving the box (Tab or Enter) shows what is stored.
    const auto x = [&] { return double(dlg.workShadow().mLngX); };
    const auto y = [&] { return double(dlg.workShadow().mLngY); };
    const std::initializer_list<Typed> offsets = {
        {"-", 10, 0, "0"},         {"-45", -45, -45, "-45"},   {"abc", -45, 0, "0"},      {"12abc", 12, 12, "12"},
        {"   7", 7, 7, "7"},       {"", 7, 0, "0"},            {"300", 200, 200, "200"},  {"-999", -200, -200, "-200"},
        {"2.5", 2, 2, "2"},        {"3.5", 4, 4, "4"},         {"2.", 2, 2, "2"},         {"1e999", 200, 200, "200"},
        {"-1e999", -200, -200, "-200"}, {"1234567890123456789012345", 200, 200, "200"}, {"-5", -5, -5, "-5"}};
    typeRows(dlg.txtXPos, x, offsets, true, dlg.updXPos, 200);
    typeRows(dlg.txtYPos, y, offsets, false);
    const auto opacity = [&] { return double(dlg.workShadow().mByteOpacitiy); };
    typeRows(dlg.txtTransparency, opacity,
             {{"-5", 0, 0, "0"}, {"300", 255, 255, "255"}, {"1e999", 255, 255, "255"}, {"254.5", 254, 254, "254"},
              {"x9", 254, 0, "0"}, {"99", 99, 99, "99"}},
             true, dlg.updTransparency, 32767);
    // The blur keeps its fraction. Numbers are read as in every other number box: where the
    // user's locale writes a point, a comma is no decimal sign, and "2,5" is read as the 2
    // before it.
    const auto blur = [&] { return dlg.workShadow().mDblBlurLevel; };
    typeRows(dlg.txtBlur, blur,
             {{"2.", 2, 2, "2"}, {"2,5", 2, 2, "2"}, {"300", 255, 255, "255"}, {"-1", 0, 0, "0"},
              {"1e999", 255, 255, "255"}, {"3,5", 3, 3, "3"}, {"1,500", 255, 255, "255"}},
             false);
    typeRows(dlg.txtBlur, blur, {{"2.5", 2.5, 2.5, "2.5"}}, true);
    // The spinner follows the fractional blur without writing the box back rounded.
    EXPECT_EQ(dlg.updBlur->value(), 252);
    testsupport::typeInto(dlg.txtXPos, "5");
    QTest::keyClick(dlg.txtXPos, Qt::Key_Return);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 2.5);
    EXPECT_EQ(dlg.txtBlur->text(), "2.5");
    EXPECT_EQ(editor.previews, 0);
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
    EXPECT_EQ(gObjTextShadow()->mLngX, 5);
    EXPECT_EQ(gObjTextShadow()->mDblBlurLevel, 2.5);
}

TEST_F(TextEffectTest, ShadowBlurKeepsItsFractionWithTheLocalesDecimalSign)
{
    using testsupport::typeInto;
    gStrDecimalSeparator = QStringLiteral(",");
    gObjTextShadow()->mDblBlurLevel = 12.25;
    frmTextShadow dlg(editor);
    testsupport::showActive(&dlg);
    EXPECT_EQ(dlg.txtBlur->text(), "12,25");
    // Any later change reads the box back as it was written.
    typeInto(dlg.txtXPos, "3");
    QTest::keyClick(dlg.txtXPos, Qt::Key_Return);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 12.25);
    typeInto(dlg.txtBlur, "2,");
    EXPECT_EQ(dlg.txtBlur->text(), "2,");
    QTest::keyClicks(dlg.txtBlur, "5");
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 2.5);
    QTest::keyClick(dlg.txtBlur, Qt::Key_Return);
    EXPECT_EQ(dlg.txtBlur->text(), "2,5");
    // A point is no decimal sign here: "7.5" is read as the 7 before it.
    typeInto(dlg.txtBlur, "7.5");
    testsupport::leaveByTab(dlg.txtBlur);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 7);
    EXPECT_EQ(dlg.txtBlur->text(), "7");
    typeInto(dlg.txtBlur, "7,5");
    testsupport::leaveByTab(dlg.txtBlur);
    dlg.cmdOK->click();
    EXPECT_EQ(gObjTextShadow()->mDblBlurLevel, 7.5);
}

TEST_F(TextEffectTest, ShadowSpinnersStepOnePreviewAtATime)
{
    frmTextShadow dlg(editor);
    dlg.show();
    editor.previews = 0;
    editor.shadowsPreviewed.clear();

    // The upper arrow raises the number; each step's preview shows the number just stepped to.
    dlg.updXPos->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(dlg.txtXPos->text(), "11");
    EXPECT_EQ(dlg.workShadow().mLngX, 11);
    EXPECT_EQ(gObjTextShadow()->mLngX, 11);
    ASSERT_EQ(editor.shadowsPreviewed.size(), 1u);
    EXPECT_EQ(editor.shadowsPreviewed.back().mLngX, 11);
    dlg.updBlur->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dlg.txtBlur->text(), "99");
    EXPECT_EQ(editor.previews, 2);
    EXPECT_EQ(editor.shadowsPreviewed.back().mDblBlurLevel, 99.0);
    EXPECT_EQ(editor.shadowsPreviewed.back().mLngX, 11);
    // So does a number typed into a box, kept as typed.
    dlg.txtYPos->setText("-7");
    EXPECT_EQ(editor.previews, 3);
    EXPECT_EQ(editor.shadowsPreviewed.back().mLngY, -7);
    EXPECT_EQ(gObjTextShadow()->mLngY, -7);
    EXPECT_EQ(dlg.updYPos->value(), 207);

    // At 255 the opacity's upper arrow shows 256 for a moment and ends at 255, in one preview.
    dlg.txtTransparency->setText("255");
    editor.previews = 0;
    QStringList shown;
    QObject::connect(dlg.txtTransparency, &QLineEdit::textChanged, [&](const QString &t) { shown << t; });
    dlg.updTransparency->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_TRUE(shown.contains("256"));
    EXPECT_EQ(dlg.txtTransparency->text(), "255");
    EXPECT_EQ(dlg.workShadow().mByteOpacitiy, 255);
    EXPECT_EQ(dlg.updTransparency->value(), 32767 - 255);
    EXPECT_EQ(editor.previews, 1);
    EXPECT_EQ(editor.shadowsPreviewed.back().mByteOpacitiy, 255);

    // Enter saves and applies once more: the preview has the value just typed.
    dlg.txtYPos->setText("33");
    QTest::keyClick(dlg.txtYPos, Qt::Key_Return);
    EXPECT_EQ(gObjTextShadow()->mLngY, 33);
    EXPECT_EQ(editor.shadowsPreviewed.back().mLngY, 33);
    EXPECT_TRUE(dlg.isVisible()) << "Enter must not press a button";
}

TEST_F(TextEffectTest, HoldingAShadowSpinnerLeavesNoBacklogOfPreviews)
{
    frmTextShadow dlg(editor);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    // A preview slower than the spinner's repeat.
    editor.onPreview = [] { QThread::msleep(40); };
    editor.previews = 0;
    QStyleOptionSlider opt;
    opt.initFrom(dlg.updXPos);
    opt.orientation = Qt::Vertical;
    opt.minimum = dlg.updXPos->minimum();
    opt.maximum = dlg.updXPos->maximum();
    opt.sliderPosition = opt.sliderValue = dlg.updXPos->value();
    opt.singleStep = 1;
    opt.pageStep = 1;
    const QRect up = dlg.updXPos->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSubLine,
                                                          dlg.updXPos);
    ASSERT_FALSE(up.isEmpty());
    QTest::mousePress(dlg.updXPos, Qt::LeftButton, {}, up.center());
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 800)
        QTest::qWait(10);
    QTest::mouseRelease(dlg.updXPos, Qt::LeftButton, {}, up.center());
    const int steps = dlg.workShadow().mLngX - 10;
    EXPECT_GT(steps, 1);
    EXPECT_EQ(editor.previews, steps);
    QTest::qWait(300);
    EXPECT_EQ(editor.previews, steps);
    EXPECT_EQ(dlg.workShadow().mLngX - 10, steps);
    dlg.cmdOK->click();
}

TEST_F(TextEffectTest, ShadowDirectionButtonsStepByTheDefaultOffsets)
{
    frmTextShadow dlg(editor);
    struct Direction {
        ButtonPlus *frmTextShadow::*button;
        int x, y;
    };
    const Direction directions[] = {
        {&frmTextShadow::cmdUp, 0, -10},      {&frmTextShadow::cmdDown, 0, 10},
        {&frmTextShadow::cmdLeft, -10, 0},    {&frmTextShadow::cmdRight, 10, 0},
        {&frmTextShadow::cmdUpLeft, -10, -10}, {&frmTextShadow::cmdUpRight, 10, -10},
        {&frmTextShadow::cmdDownLeft, -10, 10}, {&frmTextShadow::cmdDownRight, 10, 10},
        {&frmTextShadow::cmdCenter, 1, 1},
    };
    for (const Direction &d : directions) {
        (dlg.*d.button)->click();
        EXPECT_EQ(dlg.workShadow().mLngX, d.x) << (dlg.*d.button)->objectName().toStdString();
        EXPECT_EQ(dlg.workShadow().mLngY, d.y) << (dlg.*d.button)->objectName().toStdString();
        EXPECT_EQ(dlg.txtXPos->text(), QString::number(d.x));
        EXPECT_EQ(dlg.updYPos->value(), 200 - d.y);
        EXPECT_EQ(gObjTextShadow()->mLngX, d.x);
    }
    // The step is whatever the default shadow holds when the button is pressed.
    gObjDefaultTextShadow()->mLngX = 7;
    gObjDefaultTextShadow()->mLngY = 3;
    dlg.cmdUpLeft->click();
    EXPECT_EQ(dlg.workShadow().mLngX, -7);
    EXPECT_EQ(dlg.workShadow().mLngY, -3);
}

TEST_F(TextEffectTest, ShadowOkCancelRemoveAndDefault)
{
    clsTextShadow &current = *gObjTextShadow();
    current.mLngX = 5;
    current.mLngY = 6;
    current.mlngColor = 0x123456;
    clsTextShadow opened;
    opened.copy(current);

    // OK with the auto-preview off still makes the shadow active with the dialog's values.
    editor.autoPreviewOn = false;
    {
        frmTextShadow dlg(editor);
        dlg.txtXPos->setText("20");
        EXPECT_TRUE(sameShadow(current, opened)) << "nothing is applied live with the auto-preview off";
        dlg.cmdOK->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(current.mBoolIsActive);
    EXPECT_EQ(current.mLngX, 20);
    EXPECT_EQ(current.mLngY, 6);
    EXPECT_EQ(current.mlngColor, 0x123456);
    EXPECT_EQ(editor.previews, 0);

    // With the auto-preview on, opening already shows the shadow, also an inactive one.
    editor.autoPreviewOn = true;
    current.copy(opened);
    {
        frmTextShadow dlg(editor);
        EXPECT_EQ(editor.previews, 1);
        EXPECT_TRUE(editor.shadowsPreviewed.back().mBoolIsActive);
        EXPECT_EQ(editor.shadowsPreviewed.back().mLngX, 5);
        // Cancel right after opening: exactly as before, inactive as it was.
        dlg.cmdCancel->click();
    }
    EXPECT_TRUE(sameShadow(current, opened));
    EXPECT_FALSE(editor.shadowsPreviewed.back().mBoolIsActive);

    // An active shadow cancelled right after opening stays active.
    current.mBoolIsActive = true;
    opened.copy(current);
    {
        frmTextShadow dlg(editor);
        dlg.cmdCancel->click();
    }
    EXPECT_TRUE(sameShadow(current, opened));

    // Cancel after edits, and after the default button: exactly as at opening.
    {
        frmTextShadow dlg(editor);
        dlg.cmdDownLeft->click();
        dlg.txtTransparency->setText("12");
        dlg.cmdSetDefaultShadow->click();
        EXPECT_EQ(dlg.txtXPos->text(), "10");
        EXPECT_EQ(dlg.txtBlur->text(), "100");
        EXPECT_EQ(dlg.txtTransparency->text(), "170");
        EXPECT_TRUE(gObjTextShadow()->mBoolIsActive);
        dlg.cmdCancel->click();
    }
    EXPECT_TRUE(sameShadow(current, opened));

    // Remove keeps offsets, blur, opacity and colour but switches the shadow off.
    {
        frmTextShadow dlg(editor);
        dlg.cmdUp->click();
        dlg.txtBlur->setText("4");
        QTest::keyClick(dlg.txtBlur, Qt::Key_Enter);
        dlg.cmdRemoveShadow->click();
    }
    EXPECT_FALSE(current.mBoolIsActive);
    EXPECT_EQ(current.mLngX, 0);
    EXPECT_EQ(current.mLngY, -10);
    EXPECT_EQ(current.mDblBlurLevel, 4.0);
    EXPECT_EQ(current.mlngColor, 0x123456);
    EXPECT_FALSE(editor.shadowsPreviewed.back().mBoolIsActive);

    // The close box cancels.
    current.copy(opened);
    {
        frmTextShadow dlg(editor);
        dlg.show();
        dlg.cmdRight->click();
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(sameShadow(current, opened));
}
