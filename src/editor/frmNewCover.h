#pragma once
// The new-background dialog: a plain colour, or a gradient of two colours or of the rainbow
// in one of nine directions (eight linear ones and one out from the centre), shown in a
// preview. OK paints the background, 2000 pixels wide and as high as the side's aspect
// gives, into the main window's image of its mIntActualSide and clears the main window's
// mBoolNewCoverCancelled; Cancel sets it. The editor's blank sheet runs cmdOk_Click on a
// dialog it never shows, which paints plain white.
#include "editor/GradientSwatches.h"
#include "canvas/clsTextGradient.h"

#include <QDialog>
#include <cstdint>
#include <memory>

class ButtonPlus;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace Ui { class frmNewCover; }

class frmNewCover : public QDialog {
    Q_OBJECT
public:
    // The colour a greyed swatch holds: the system's button face.
    static constexpr std::uint32_t kButtonFace = gradientswatches::kButtonFace;

    explicit frmNewCover(QWidget *parent = nullptr);
    ~frmNewCover() override;

    void cmdOk_Click();
    void cmdCancel_Click();

    // The colour a swatch holds (kButtonFace while greyed).
    static std::uint32_t swatchColor(const QLabel *swatch);

    std::int32_t backgroundWidth() const { return mLngBackgroundWidth; }
    std::int32_t backgroundHeight() const;
    std::int32_t sideRatio() const { return mLngSideRatio; }
    const clsTextGradient &gradient() const { return *mObjNewCoverGradient; }

    // Controls.
    QLabel *lblBackColorText = nullptr, *lblBackColor = nullptr, *lblColor1 = nullptr, *lblColor2 = nullptr,
           *lblPreview = nullptr;
    ButtonPlus *cmdMarginColor = nullptr, *cmdSetDefaultGradient = nullptr, *cmdSwitchColors = nullptr,
               *cmdOK = nullptr, *cmdCancel = nullptr;
    ButtonPlus *cmdUpLeft = nullptr, *cmdUp = nullptr, *cmdUpRight = nullptr, *cmdLeft = nullptr,
               *cmdCenter = nullptr, *cmdRight = nullptr, *cmdDownLeft = nullptr, *cmdDown = nullptr,
               *cmdDownRight = nullptr;
    QCheckBox *chkGradient = nullptr, *chkRainbow = nullptr;
    QGroupBox *fraOthers = nullptr, *fraGradient = nullptr;
    PictureBox *picPreview = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void Form_Load();
    void setDefaultGradient();
    void loadGradientControls();
    void storeGradientSettings();
    void enableColorLabels(bool rainbow);
    void arrangeNewCoverControls();
    void drawNewCoverPreview();
    void chkGradient_Click();
    void chkRainbow_Click();
    void cmdSwitchColors_Click();
    void chooseColor(QLabel *swatch);
    void setDirection(int startX, int startY, int endX, int endY, bool centre);
    static void setSwatch(QLabel *swatch, std::uint32_t color);

    std::unique_ptr<Ui::frmNewCover> ui;
    std::shared_ptr<clsTextGradient> mObjNewCoverGradient;
    std::uint32_t mLngRememberedColor1 = 0xFFFFFF, mLngRememberedColor2 = 0;
    double mLngGradientFrameTop = 0;   // twips
    std::int32_t mLngBackgroundWidth = 2000;
    std::int32_t mLngSideRatio = 1;
    bool mBoolUnloaded = false;
};
