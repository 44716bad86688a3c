#pragma once
// The sharpen and soften dialog: a strength from 0 to 100 per cent with a scaled preview.
// The opener sets mBoolSharpen and mBoolCalledFromEditor, runs Form_Load and Setup, then
// shows the dialog modally. From the main window OK filters the given image directly; from
// the graphics editor OK hands the percentage to applyInEditor, which filters the editor's
// focused object or background and records the editor's undo step.
#include "platform/imaging/ImgxImage.h"

#include <QDialog>
#include <functional>

class ButtonPlus;
class PictureBox;
class QLabel;
class QScrollBar;

class frmSharpSoft : public QDialog {
    Q_OBJECT
public:
    explicit frmSharpSoft(QWidget *parent = nullptr);
    ~frmSharpSoft() override;

    bool mBoolSharpen = false;
    bool mBoolCalledFromEditor = false;
    std::function<void(int percent)> applyInEditor;

    // Localises the dialog and sets caption, label and help topic for the mode.
    void Form_Load();
    void Setup(const platform::ImgxImagePtr &image);
    void cmdOk_Click();
    void cmdCancel_Click();

    // The help topic F1 opens: 1210 sharpening, 1215 softening.
    int helpContextID() const { return mIntHelpContext; }
    const platform::ImgxImagePtr &previewImage() const { return mImgXPreview; }

    PictureBox *picPreview = nullptr;
    QLabel *lblSharpSoft = nullptr;
    QScrollBar *scrSharpSoft = nullptr;
    ButtonPlus *cmdOk = nullptr, *cmdCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void setSharpSoftCaptions();
    QString modeLabel() const;
    void preview();
    void showHelp();

    platform::ImgxImagePtr mImgXTarget;
    platform::ImgxImagePtr mImgXPreview;
    int mIntHelpContext = 0;
};
