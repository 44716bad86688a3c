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

using effectstest::TextEffectTest;
using effectstest::sameShadow;

namespace {

struct Typed {
    const char *text;
    double stored;
    const char *shown;
};

} // namespace

TEST_F(TextEffectTest, ShadowBoxesTakeWhatIsTypedAndShowTheirRangesOnLeaving)
{
    using testsupport::leaveByTab;
    using testsupport::typeInto;
    editor.autoPreviewOn = false;
    frmTextShadow dlg(editor);
    testsupport::showActive(&dlg);
    EXPECT_EQ(dlg.windowTitle(), "Shadow effect");
    EXPECT_EQ(dlg.txtXPos->text(), "10");
    EXPECT_EQ(dlg.txtBlur->text(), "100");
    EXPECT_EQ(dlg.txtTransparency->text(), "170");

    // Typed one key at a time, a number on its way stays as typed: "-" then "-5" puts the
    // shadow on the left, "2." then "2.5" blurs by two and a half.
    typeInto(dlg.txtXPos, "-");
    EXPECT_EQ(dlg.txtXPos->text(), "-");
    EXPECT_EQ(dlg.workShadow().mLngX, 10);
    QTest::keyClicks(dlg.txtXPos, "5");
    EXPECT_EQ(dlg.txtXPos->text(), "-5");
    EXPECT_EQ(dlg.workShadow().mLngX, -5);
    EXPECT_EQ(dlg.updXPos->value(), 205);
    typeInto(dlg.txtBlur, "2.");
    EXPECT_EQ(dlg.txtBlur->text(), "2.");
    QTest::keyClicks(dlg.txtBlur, "5");
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 2.5);
    // Emptied with Backspace, the box stays empty until the user leaves it.
    typeInto(dlg.txtYPos, "7");
    QTest::keyClick(dlg.txtYPos, Qt::Key_Backspace);
    EXPECT_EQ(dlg.txtYPos->text(), "");
    EXPECT_EQ(dlg.workShadow().mLngY, 7);
    leaveByTab(dlg.txtYPos);
    EXPECT_EQ(dlg.txtYPos->text(), "0");
    EXPECT_EQ(dlg.workShadow().mLngY, 0);
    EXPECT_EQ(dlg.txtXPos->text(), "-5");
    EXPECT_EQ(dlg.txtBlur->text(), "2.5");
    // A comma is a decimal point too, also where the user's locale writes a point.
    typeInto(dlg.txtBlur, "3,5");
    leaveByTab(dlg.txtBlur);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 3.5);
    EXPECT_EQ(dlg.txtBlur->text(), "3.5");

    // Enter (or leaving the box) shows what was stored.
    const Typed offsets[] = {
        {"abc", 0, "0"},          {"12abc", 12, "12"},     {"   7", 7, "7"},       {"", 0, "0"},
        {"-", 0, "0"},            {"300", 200, "200"},     {"-999", -200, "-200"}, {"2.5", 2, "2"},
        {"3.5", 4, "4"},          {"1e999", 200, "200"},   {"-1e999", -200, "-200"},
        {"1234567890123456789012345", 200, "200"},         {"-45", -45, "-45"},
    };
    for (const Typed &t : offsets) {
        typeInto(dlg.txtXPos, QString::fromLatin1(t.text));
        QTest::keyClick(dlg.txtXPos, Qt::Key_Return);
        EXPECT_EQ(dlg.workShadow().mLngX, t.stored) << t.text;
        EXPECT_EQ(dlg.txtXPos->text(), t.shown) << t.text;
        EXPECT_EQ(dlg.updXPos->value(), 200 - int(t.stored)) << t.text;
        typeInto(dlg.txtYPos, QString::fromLatin1(t.text));
        leaveByTab(dlg.txtYPos);
        EXPECT_EQ(dlg.workShadow().mLngY, t.stored) << t.text;
        EXPECT_EQ(dlg.txtYPos->text(), t.shown) << t.text;
    }
    const Typed opacities[] = {{"-5", 0, "0"}, {"300", 255, "255"}, {"1e999", 255, "255"}, {"254.5", 254, "254"},
                               {"x9", 0, "0"}, {"99", 99, "99"}};
    for (const Typed &t : opacities) {
        typeInto(dlg.txtTransparency, QString::fromLatin1(t.text));
        QTest::keyClick(dlg.txtTransparency, Qt::Key_Return);
        EXPECT_EQ(dlg.workShadow().mByteOpacitiy, t.stored) << t.text;
        EXPECT_EQ(dlg.txtTransparency->text(), t.shown) << t.text;
        EXPECT_EQ(dlg.updTransparency->value(), 32767 - int(t.stored)) << t.text;
    }
    const Typed blurs[] = {{"300", 255, "255"}, {"-1", 0, "0"}, {"1e999", 255, "255"}, {"2.5", 2.5, "2.5"}};
    for (const Typed &t : blurs) {
        typeInto(dlg.txtBlur, QString::fromLatin1(t.text));
        QTest::keyClick(dlg.txtBlur, Qt::Key_Return);
        EXPECT_EQ(dlg.workShadow().mDblBlurLevel, t.stored) << t.text;
        EXPECT_EQ(dlg.txtBlur->text(), t.shown) << t.text;
    }
    // The spinner follows the fractional blur without writing the box back rounded.
    EXPECT_EQ(dlg.updBlur->value(), 252);
    typeInto(dlg.txtXPos, "5");
    QTest::keyClick(dlg.txtXPos, Qt::Key_Return);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 2.5);
    EXPECT_EQ(dlg.txtBlur->text(), "2.5");
    EXPECT_EQ(editor.previews, 0);
    dlg.cmdOK->click();
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
    typeInto(dlg.txtBlur, "7.5");
    testsupport::leaveByTab(dlg.txtBlur);
    EXPECT_EQ(dlg.workShadow().mDblBlurLevel, 7.5);
    EXPECT_EQ(dlg.txtBlur->text(), "7,5");
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
