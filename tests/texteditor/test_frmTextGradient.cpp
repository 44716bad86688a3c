#include "TextEffectDialogsTestSupport.h"

#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "platform/imaging/Colors.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "texteditor/frmTextGradient.h"
#include "texteditor/frmTextShadow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

using effectstest::TextEffectTest;
using effectstest::sameGradient;

namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

bool near(QRgb pixel, std::uint32_t colorRef)
{
    const QColor c = platform::imaging::fromColorRef(colorRef);
    return std::abs(qRed(pixel) - c.red()) <= 6 && std::abs(qGreen(pixel) - c.green()) <= 6 &&
           std::abs(qBlue(pixel) - c.blue()) <= 6 && qAlpha(pixel) == 255;
}

bool alike(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 && std::abs(qBlue(a) - qBlue(b)) <= 4;
}

void clickSwatch(QLabel *swatch) { QTest::mouseClick(swatch, Qt::LeftButton); }

} // namespace

TEST_F(TextEffectTest, GradientDirectionsAndTheirSample)
{
    frmTextGradient dlg(editor);
    EXPECT_EQ(dlg.windowTitle(), "Gradient effect");
    choosers->colors = {kRed, kBlue};
    clickSwatch(dlg.lblColor1);
    clickSwatch(dlg.lblColor2);
    EXPECT_EQ(dlg.workGradient().mlngColor1, std::int32_t(kRed));
    EXPECT_EQ(dlg.workGradient().mlngColor2, std::int32_t(kBlue));

    const int W = 249, H = 209;
    struct Direction {
        ButtonPlus *frmTextGradient::*button;
        QPoint start, end;
    };
    const Direction directions[] = {
        {&frmTextGradient::cmdUp, {0, 0}, {0, 255}},         {&frmTextGradient::cmdDown, {0, 255}, {0, 0}},
        {&frmTextGradient::cmdLeft, {0, 0}, {255, 0}},       {&frmTextGradient::cmdRight, {255, 0}, {0, 0}},
        {&frmTextGradient::cmdUpLeft, {0, 0}, {255, 255}},   {&frmTextGradient::cmdUpRight, {255, 0}, {0, 255}},
        {&frmTextGradient::cmdDownLeft, {0, 255}, {255, 0}}, {&frmTextGradient::cmdDownRight, {255, 255}, {0, 0}},
    };
    const auto pixelOf = [&](QPoint p) { return QPoint(p.x() == 255 ? W - 1 : 0, p.y() == 255 ? H - 1 : 0); };
    for (const Direction &d : directions) {
        const std::string name = (dlg.*d.button)->objectName().toStdString();
        const int before = editor.previews;
        (dlg.*d.button)->click();
        EXPECT_EQ(editor.previews, before + 1) << name;
        const clsTextGradient &g = *gObjTextGradient();
        EXPECT_EQ(QPoint(g.mObjPointStart->mLngX, g.mObjPointStart->mLngY), d.start) << name;
        EXPECT_EQ(QPoint(g.mObjPointEnd->mLngX, g.mObjPointEnd->mLngY), d.end) << name;
        EXPECT_FALSE(g.mBoolCenter) << name;
        EXPECT_TRUE(g.mBoolIsActive) << name;
        const QImage sample = dlg.picPreview->picture();
        ASSERT_EQ(sample.size(), QSize(W, H)) << name;
        // Colour 1 at the start point, colour 2 at the end point; along the other axis of a
        // straight direction the colour does not change.
        const QPoint s = pixelOf(d.start), e = pixelOf(d.end);
        EXPECT_TRUE(near(sample.pixel(s), kRed)) << name;
        EXPECT_TRUE(near(sample.pixel(e), kBlue)) << name;
        if (d.start.x() == d.end.x()) {
            EXPECT_EQ(sample.pixel(0, H / 3), sample.pixel(W - 1, H / 3)) << name;
        }
        if (d.start.y() == d.end.y()) {
            EXPECT_EQ(sample.pixel(W / 3, 0), sample.pixel(W / 3, H - 1)) << name;
        }
    }

    // From the centre: colour 1 in the middle, colour 2 from half the width outwards, the
    // same colour at the same distance on either side.
    dlg.cmdCenter->click();
    const clsTextGradient &g = *gObjTextGradient();
    EXPECT_TRUE(g.mBoolCenter);
    EXPECT_EQ(QPoint(g.mObjPointStart->mLngX, g.mObjPointStart->mLngY), QPoint(0, 0));
    EXPECT_EQ(QPoint(g.mObjPointEnd->mLngX, g.mObjPointEnd->mLngY), QPoint(0, 0));
    const QImage radial = dlg.picPreview->picture();
    const QPoint middle(124, 104);
    EXPECT_TRUE(near(radial.pixel(middle), kRed));
    EXPECT_TRUE(near(radial.pixel(0, 0), kBlue));
    EXPECT_TRUE(near(radial.pixel(W - 1, H - 1), kBlue));
    EXPECT_TRUE(near(radial.pixel(middle.x(), 0), kBlue) == false) << "the radius is half the width, not the height";
    const QRgb left = radial.pixel(middle.x() - 60, middle.y()), right = radial.pixel(middle.x() + 60, middle.y());
    EXPECT_TRUE(alike(left, right));
    EXPECT_TRUE(alike(left, radial.pixel(middle.x(), middle.y() - 60)));
    EXPECT_FALSE(near(left, kRed) || near(left, kBlue));

    dlg.cmdOK->click();
    EXPECT_TRUE(gObjTextGradient()->mBoolIsActive);
    EXPECT_TRUE(gObjTextGradient()->mBoolCenter);
    EXPECT_EQ(gObjTextGradient()->mlngColor1, std::int32_t(kRed));
}

TEST_F(TextEffectTest, GradientColoursRainbowAndSwap)
{
    frmTextGradient dlg(editor);
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), 0xFFFFFFu);
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor2), 0u);

    // A cancelled colour choice changes nothing.
    choosers->colors = {std::nullopt, kGreen};
    const int previews = editor.previews;
    clickSwatch(dlg.lblColor1);
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), 0xFFFFFFu);
    EXPECT_EQ(editor.previews, previews);
    clickSwatch(dlg.lblColor2);
    EXPECT_EQ(gObjTextGradient()->mlngColor2, std::int32_t(kGreen));

    dlg.cmdSwitchColors->click();
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), kGreen);
    EXPECT_EQ(dlg.workGradient().mlngColor1, std::int32_t(kGreen));
    EXPECT_EQ(dlg.workGradient().mlngColor2, 0xFFFFFF);

    // Rainbow: greyed swatches that ignore clicks (no colour chooser opens), no swap; the
    // record keeps the two colours, and leaving the rainbow shows them again.
    dlg.chkRainbow->click();
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), frmTextGradient::kButtonFace);
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor2), frmTextGradient::kButtonFace);
    EXPECT_FALSE(dlg.cmdSwitchColors->isEnabled());
    clickSwatch(dlg.lblColor1);
    const clsTextGradient &g = *gObjTextGradient();
    EXPECT_TRUE(g.mBoolRainbow);
    EXPECT_EQ(g.mlngColor1, std::int32_t(kGreen));
    EXPECT_EQ(g.mlngColor2, 0xFFFFFF);
    const QImage rainbow = dlg.picPreview->picture();
    EXPECT_NE(rainbow.pixel(0, 5), rainbow.pixel(124, 5));
    EXPECT_NE(rainbow.pixel(124, 5), rainbow.pixel(248, 5));
    dlg.chkRainbow->click();
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), kGreen);
    EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor2), 0xFFFFFFu);
    EXPECT_TRUE(dlg.cmdSwitchColors->isEnabled());
    EXPECT_FALSE(g.mBoolRainbow);
    dlg.cmdCancel->click();
    EXPECT_TRUE(choosers->colors.empty());

    // A rainbow gradient opens greyed and brings back its own two colours.
    gObjTextGradient()->mBoolRainbow = true;
    gObjTextGradient()->mlngColor1 = std::int32_t(kRed);
    gObjTextGradient()->mlngColor2 = std::int32_t(kBlue);
    frmTextGradient again(editor);
    EXPECT_TRUE(again.chkRainbow->isChecked());
    EXPECT_EQ(frmTextGradient::swatchColor(again.lblColor1), frmTextGradient::kButtonFace);
    again.chkRainbow->click();
    EXPECT_EQ(frmTextGradient::swatchColor(again.lblColor1), kRed);
    EXPECT_EQ(frmTextGradient::swatchColor(again.lblColor2), kBlue);
}

TEST_F(TextEffectTest, GradientOkCancelRemoveAndDefault)
{
    clsTextGradient &current = *gObjTextGradient();
    current.mlngColor1 = std::int32_t(kRed);
    current.mObjPointEnd->mLngX = 0;
    current.mObjPointEnd->mLngY = 255;
    clsTextGradient opened;
    opened.copy(current);

    // OK with the auto-preview off: active with the values it had; the sample stays empty.
    editor.autoPreviewOn = false;
    {
        frmTextGradient dlg(editor);
        EXPECT_TRUE(sameGradient(current, opened));
        dlg.cmdOK->click();
        EXPECT_TRUE(dlg.picPreview->picture().isNull());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(current.mBoolIsActive);
    current.mBoolIsActive = false;
    EXPECT_TRUE(sameGradient(current, opened));
    EXPECT_EQ(editor.previews, 0);

    // With the auto-preview on, opening already shows the gradient; Cancel right after opening
    // returns it to its earlier state, active flag included.
    editor.autoPreviewOn = true;
    for (const bool active : {false, true}) {
        current.mBoolIsActive = active;
        opened.copy(current);
        {
            frmTextGradient dlg(editor);
            EXPECT_TRUE(editor.gradientsPreviewed.back().mBoolIsActive);
            EXPECT_FALSE(dlg.picPreview->picture().isNull());
            dlg.cmdCancel->click();
        }
        EXPECT_TRUE(sameGradient(current, opened)) << active;
        EXPECT_EQ(editor.gradientsPreviewed.back().mBoolIsActive, active);
    }

    // Cancel after edits; the close box cancels too.
    {
        frmTextGradient dlg(editor);
        dlg.cmdDownRight->click();
        dlg.chkRainbow->click();
        dlg.cmdCancel->click();
    }
    EXPECT_TRUE(sameGradient(current, opened));
    {
        frmTextGradient dlg(editor);
        dlg.show();
        dlg.cmdCenter->click();
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(sameGradient(current, opened));

    // Remove keeps colours and points but switches the fill off.
    {
        frmTextGradient dlg(editor);
        dlg.cmdRight->click();
        dlg.cmdRemoveGradient->click();
    }
    EXPECT_FALSE(current.mBoolIsActive);
    EXPECT_EQ(current.mlngColor1, std::int32_t(kRed));
    EXPECT_EQ(current.mObjPointStart->mLngX, 255);
    EXPECT_EQ(current.mObjPointEnd->mLngX, 0);
    EXPECT_FALSE(editor.gradientsPreviewed.back().mBoolIsActive);

    // Default, then Cancel: the default, inactive.
    {
        frmTextGradient dlg(editor);
        dlg.cmdUp->click();
        dlg.cmdSetDefaultGradient->click();
        EXPECT_EQ(frmTextGradient::swatchColor(dlg.lblColor1), 0xFFFFFFu);
        EXPECT_TRUE(gObjTextGradient()->mBoolIsActive) << "the default is shown live";
        dlg.cmdCancel->click();
    }
    EXPECT_TRUE(sameGradient(current, *gObjDefaultTextGradient));
    EXPECT_FALSE(current.mBoolIsActive);
}

TEST_F(TextEffectTest, EffectDialogsHaveEveryTextInBothLanguages)
{
    clsEnvAll german;
    german.setInitFileName(path("language/Deutsch.dll"));
    german.initializeAll(QStringLiteral("frmTextShadow;frmTextGradient"));
    clsEnvAll &english = gObjLanguageStore();
    const QStringList directions = {"cmdUp", "cmdDown", "cmdLeft", "cmdRight", "cmdUpLeft",
                                    "cmdUpRight", "cmdDownLeft", "cmdDownRight", "cmdCenter"};
    frmTextShadow shadow(editor);
    frmTextGradient gradient(editor);
    for (QDialog *form : {static_cast<QDialog *>(&shadow), static_cast<QDialog *>(&gradient)}) {
        const QString F = form->objectName();
        QStringList keys = {F + u'.' + F};
        for (QWidget *w : form->findChildren<QWidget *>()) {
            const QString C = w->objectName();
            if (C.isEmpty() || C.startsWith(QLatin1String("qt_")) || directions.contains(C))
                continue;
            const bool captioned = (qobject_cast<QLabel *>(w) && !qobject_cast<QLabel *>(w)->text().isEmpty()) ||
                                   qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w);
            if (captioned)
                keys << F + u'.' + C;
            if (!w->toolTip().isEmpty())
                keys << F + u'.' + C + QStringLiteral("ToolTipText");
        }
        EXPECT_GE(keys.size(), 10) << F.toStdString();
        for (const QString &k : keys) {
            EXPECT_FALSE(english.getVar(k).isEmpty()) << k.toStdString();
            EXPECT_FALSE(german.getVar(k).isEmpty()) << k.toStdString();
        }
    }
    EXPECT_EQ(shadow.lblBlur->text(), "Blur:");
    EXPECT_EQ(gradient.cmdRemoveGradient->text(), "Remove gradient");

    // In German every caption of both dialogs shows whole ("Regenbogen-Effekt" too).
    setLanguage(path("language/Deutsch.dll"));
    frmTextShadow deShadow(editor);
    frmTextGradient deGradient(editor);
    EXPECT_EQ(deGradient.chkRainbow->text(), "Regenbogen-Effekt");
    for (QDialog *form : {static_cast<QDialog *>(&deShadow), static_cast<QDialog *>(&deGradient)})
        for (QWidget *w : form->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(w);
            const auto *button = qobject_cast<QAbstractButton *>(w);
            const QString text = label && !label->wordWrap() ? label->text() : button ? button->text() : QString();
            if (text.isEmpty() || directions.contains(w->objectName()))
                continue;
            const int needed = qobject_cast<const QCheckBox *>(w) ? w->sizeHint().width()
                                                                   : w->fontMetrics().horizontalAdvance(text);
            EXPECT_GE(w->width(), needed) << w->objectName().toStdString() << ": " << text.toStdString();
        }
}
