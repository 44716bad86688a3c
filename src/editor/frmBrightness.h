#pragma once
// The brightness and contrast dialog: two bars from -100 to 100 and a small preview of the
// image. The opener calls Setup with the image and shows the dialog modally; OK changes that
// image in place, as one recorded step of its own.
#include "platform/imaging/ImgxImage.h"

#include <QDialog>
#include <functional>

class ButtonPlus;
class PictureBox;
class QCheckBox;
class QLabel;
class QScrollBar;

class frmBrightness : public QDialog {
    Q_OBJECT
public:
    explicit frmBrightness(QWidget *parent = nullptr);
    ~frmBrightness() override;

    // True when the graphics editor opened the dialog; it then hands the values to
    // applyInEditor after the image itself has been changed.
    bool mBoolCalledFromEditor = false;
    std::function<void(int brightness, int contrast)> applyInEditor;

    // Takes the image to change (the same object, not a copy) and shows its preview.
    void Setup(const platform::ImgxImagePtr &image);

    void cmdOK_Click();
    void cmdCancel_Click();

    // The scaled copy every preview starts from (nothing before Setup and after OK).
    const platform::ImgxImagePtr &previewCopy() const { return mImgXPreview; }

    QScrollBar *scrBrightness = nullptr, *scrContrast = nullptr;
    QLabel *lblBrightness = nullptr, *lblContrast = nullptr, *lblTitle = nullptr;
    QLabel *lblBrightnessLess = nullptr, *lblBrightnessMore = nullptr, *lblContrastLess = nullptr,
           *lblContrastMore = nullptr;
    PictureBox *picPreview = nullptr;
    QCheckBox *chkRealTimePreview = nullptr, *chkDelayedPreview = nullptr;
    ButtonPlus *cmdOK = nullptr, *cmdCancel = nullptr;

private:
    void Form_Load();
    void preview(QScrollBar *moved);

    platform::ImgxImagePtr mImgXTarget;
    platform::ImgxImagePtr mImgXPreview;
};
