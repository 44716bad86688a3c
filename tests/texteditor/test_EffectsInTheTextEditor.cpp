// The shadow and gradient dialogs as the text editor's effects list opens them, drawing into
// the text editor's own preview, and a text committed with both effects on the canvas.
#include "TextEditorTestSupport.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/TextEffectDialogsImpl.h"
#include "texteditor/frmTextGradient.h"
#include "texteditor/frmTextShadow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using texteditortest::TextEditorTest;
using texteditortest::WhenModal;

namespace {

bool isRed(QRgb p) { return qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80; }
bool isBlue(QRgb p) { return qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80; }
bool isGreen(QRgb p) { return qGreen(p) > 180 && qRed(p) < 80 && qBlue(p) < 80; }
// Any colour of a red-to-blue gradient.
bool isGradient(QRgb p) { return qGreen(p) < 80 && qRed(p) + qBlue(p) > 180; }

// The bounding box of the opaque pixels of one kind.
QRect where(const QImage &image, bool (*kind)(QRgb))
{
    const QImage a = image.convertToFormat(QImage::Format_ARGB32);
    QRect r;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qAlpha(a.pixel(x, y)) == 255 && kind(a.pixel(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

class EffectsInTheTextEditor : public TextEditorTest {
protected:
    void SetUp() override
    {
        TextEditorTest::SetUp();
        platform::Seam<texteditor::TextEffectDialogs>::install(makeTextEffectDialogs());
    }

    // The text editor for a new text "Hi" in large letters.
    std::unique_ptr<frmTextedit> openWithText()
    {
        auto f = open(true);
        f->cboSize->setCurrentIndex(f->cboSize->findText("36"));
        f->txtText->setText("Hi");
        return f;
    }
    static QImage preview(frmTextedit &f) { return f.igxPreview->image()->qimage(); }
};

} // namespace

TEST_F(EffectsInTheTextEditor, DialogsOfTheEffectsListDrawLiveIntoThePreview)
{
    auto f = openWithText();
    const QRect plain = ink(preview(*f));
    ASSERT_FALSE(plain.isEmpty());
    // A sharp, opaque green shadow, not yet switched on.
    clsTextShadow &s = *gObjTextShadow();
    s.mlngColor = 0x00FF00;
    s.mDblBlurLevel = 0;
    s.mByteOpacitiy = 255;
    EXPECT_TRUE(where(preview(*f), isGreen).isEmpty());

    // Opening the shadow dialog already shows the shadow; each spinner step moves it at once.
    {
        WhenModal<frmTextShadow> script([&](frmTextShadow &d) {
            EXPECT_EQ(d.parentWidget(), f.get());
            const QRect opened = where(preview(*f), isGreen);
            ASSERT_FALSE(opened.isEmpty());
            EXPECT_GE(opened.right(), plain.right() + 8);
            EXPECT_GE(opened.bottom(), plain.bottom() + 8);
            d.updXPos->triggerAction(QAbstractSlider::SliderSingleStepSub);
            EXPECT_EQ(where(preview(*f), isGreen).right(), opened.right() + 1);
            d.txtYPos->setText("14");
            EXPECT_EQ(where(preview(*f), isGreen).bottom(), opened.bottom() + 4);
            d.cmdOK->click();
        });
        emit f->cboEffects->activated(0);
    }
    EXPECT_TRUE(s.mBoolIsActive);
    EXPECT_EQ(s.mLngX, 11);
    EXPECT_EQ(s.mLngY, 14);
    EXPECT_TRUE(f->cmdColor->isEnabled());

    // The gradient dialog too: the letters turn red to blue as it opens. OK leaves the gradient
    // on and the colour button off.
    clsTextGradient &g = *gObjTextGradient();
    g.mlngColor1 = 0x0000FF;
    g.mlngColor2 = 0xFF0000;
    EXPECT_TRUE(where(preview(*f), isRed).isEmpty());
    {
        WhenModal<frmTextGradient> script([&](frmTextGradient &d) {
            const QImage shown = preview(*f);
            EXPECT_FALSE(where(shown, isRed).isEmpty());
            EXPECT_FALSE(where(shown, isBlue).isEmpty());
            EXPECT_FALSE(where(shown, isGreen).isEmpty()) << "the shadow stays";
            d.cmdOK->click();
        });
        emit f->cboEffects->activated(1);
    }
    EXPECT_TRUE(g.mBoolIsActive);
    EXPECT_FALSE(f->cmdColor->isEnabled());

    // The same entry opens it again; Remove takes the gradient out of the preview and gives the
    // colour button back.
    {
        WhenModal<frmTextGradient> script([](frmTextGradient &d) { d.cmdRemoveGradient->click(); });
        emit f->cboEffects->activated(1);
    }
    EXPECT_FALSE(g.mBoolIsActive);
    EXPECT_TRUE(f->cmdColor->isEnabled());
    EXPECT_TRUE(where(preview(*f), isRed).isEmpty());
    EXPECT_FALSE(where(preview(*f), isGreen).isEmpty());

    // Cancel puts the shadow back as it was at opening, in the preview too.
    const QImage before = preview(*f);
    {
        WhenModal<frmTextShadow> script([&](frmTextShadow &d) {
            d.cmdUpLeft->click();
            EXPECT_NE(preview(*f), before);
            d.cmdCancel->click();
        });
        emit f->cboEffects->activated(0);
    }
    EXPECT_EQ(s.mLngX, 11);
    EXPECT_EQ(preview(*f), before);
}

TEST_F(EffectsInTheTextEditor, ATextCommittedWithShadowAndGradientShowsBothOnTheCanvas)
{
    QObject::connect(canvas.get(), &platform::ImgxCanvas::paint,
                     [](platform::imaging::DeviceContext &hdc) { gObjMoveableObjects()->renderObjects(hdc); });
    auto f = openWithText();
    f->txtText->setText("Side A\r\nTracks");
    gObjTextShadow()->mlngColor = 0x00FF00;
    {
        WhenModal<frmTextShadow> script([](frmTextShadow &d) {
            d.txtBlur->setText("0");
            d.txtTransparency->setText("255");
            d.cmdDownRight->click();
            d.cmdOK->click();
        });
        emit f->cboEffects->activated(0);
    }
    // Red at the top, blue at the bottom, the colours chosen on the swatches.
    choosers->colors = {0x0000FF, 0xFF0000};
    {
        WhenModal<frmTextGradient> script([](frmTextGradient &d) {
            QTest::mouseClick(d.lblColor1, Qt::LeftButton);
            QTest::mouseClick(d.lblColor2, Qt::LeftButton);
            d.cmdUp->click();
            d.cmdOK->click();
        });
        emit f->cboEffects->activated(1);
    }
    f->cmdOK->click();
    ASSERT_EQ(f->result(), QDialog::Accepted);

    auto &model = *gObjMoveableObjects();
    const auto o = std::static_pointer_cast<clsTextObject>(model.object(model.mStrFocusedObjectIndex));
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->mObjTextShadow->mBoolIsActive);
    EXPECT_TRUE(o->mObjTextGradient->mBoolIsActive);
    const QImage shown = canvas->renderToImage();
    const QRect red = where(shown, isRed), blue = where(shown, isBlue), green = where(shown, isGreen);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(blue.isEmpty());
    ASSERT_FALSE(green.isEmpty());
    const QRect letters = where(shown, isGradient);
    EXPECT_TRUE(QRect(o->X(), o->Y(), o->W(), o->H()).contains(letters | green));
    EXPECT_LT(red.top(), blue.top());
    EXPECT_LT(red.bottom(), blue.bottom());
    // The shadow lies ten pixels down and right of the letters.
    EXPECT_NEAR(green.right(), letters.right() + 10, 2);
    EXPECT_NEAR(green.bottom(), letters.bottom() + 10, 2);
}
