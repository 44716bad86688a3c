#pragma once
// The gradient dialog of the text editor: two colours or the rainbow, in one of eight
// directions or out from the centre, with a sample in the dialog. It edits a working copy of
// gObjTextGradient; while the text editor's auto-preview is on, every change goes live into
// gObjTextGradient, the sample and the text editor's preview. OK makes the gradient active
// with the dialog's values, Remove switches it off, Default loads the default gradient (which
// Cancel then keeps), Cancel and the close box put gObjTextGradient back as it was.
#include "editor/GradientSwatches.h"
#include "canvas/clsTextGradient.h"
#include "platform/imaging/ImgxImage.h"

#include <QDialog>
#include <cstdint>
#include <memory>

class ButtonPlus;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace Ui { class frmTextGradient; }
namespace texteditor { class TextEditorHost; }

class frmTextGradient : public QDialog {
    Q_OBJECT
public:
    // The colour of a greyed swatch: the system's button face.
    static constexpr std::uint32_t kButtonFace = gradientswatches::kButtonFace;

    // Opens over the text editor's window and loads gObjTextGradient.
    explicit frmTextGradient(texteditor::TextEditorHost &editor);
    ~frmTextGradient() override;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdRemoveGradient_Click();
    void cmdSetDefaultGradient_Click();

    const clsTextGradient &workGradient() const { return *mObjWorkGradient; }
    // The colour a swatch holds (kButtonFace while greyed).
    static std::uint32_t swatchColor(const QLabel *swatch);

    // The close box and Escape cancel.
    void reject() override;

    // Controls.
    QGroupBox *fraOthers = nullptr, *fraGradient = nullptr;
    QLabel *lblColor1 = nullptr, *lblColor2 = nullptr, *lblPreview = nullptr;
    ButtonPlus *cmdSwitchColors = nullptr;
    QCheckBox *chkRainbow = nullptr;
    ButtonPlus *cmdUpLeft = nullptr, *cmdUp = nullptr, *cmdUpRight = nullptr, *cmdLeft = nullptr, *cmdCenter = nullptr,
               *cmdRight = nullptr, *cmdDownLeft = nullptr, *cmdDown = nullptr, *cmdDownRight = nullptr;
    ButtonPlus *cmdRemoveGradient = nullptr, *cmdSetDefaultGradient = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;
    PictureBox *picPreview = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void showGradientData();
    void setRainbowMode(bool rainbow);
    void saveGradientData();
    void applyGradient();
    void drawSample();
    void chkRainbow_Click();
    void cmdSwitchColors_Click();
    void chooseColor(QLabel *swatch);
    void setDirection(int startX, int startY, int endX, int endY, bool centre);
    static void setSwatch(QLabel *swatch, std::uint32_t color);
    void closeWith(int result);

    std::unique_ptr<Ui::frmTextGradient> ui;
    texteditor::TextEditorHost &mEditor;
    clsTextGradientPtr mObjWorkGradient;
    clsTextGradientPtr mObjBackupGradient;
    // The sample's own image; the side's stored image is never drawn on.
    platform::ImgxImagePtr mImgXSample;
    bool mBoolValuesShown = false;
    bool mBoolChanged = false;
    bool mBoolClosed = false;
    std::uint32_t mLngRememberedColor1 = 0xFFFFFF, mLngRememberedColor2 = 0;
};
