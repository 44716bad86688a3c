#pragma once
// The shadow dialog of the text editor: the drop shadow's offset (boxes, spinners or nine
// direction buttons), blur and opacity. It edits a working copy of gObjTextShadow; while the
// text editor's auto-preview is on, every change goes live into gObjTextShadow and the text
// editor's preview. OK makes the shadow active with the dialog's values, Remove switches it
// off, Cancel (and the window's close box) puts gObjTextShadow back as it was at opening.
#include "canvas/clsTextShadow.h"

#include <QDialog>
#include <memory>

class ButtonPlus;
class NumberBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace Ui { class frmTextShadow; }
namespace texteditor { class TextEditorHost; }

class frmTextShadow : public QDialog {
    Q_OBJECT
public:
    // Opens over the text editor's window and loads gObjTextShadow.
    explicit frmTextShadow(texteditor::TextEditorHost &editor);
    ~frmTextShadow() override;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdRemoveShadow_Click();
    void cmdSetDefaultShadow_Click();

    const clsTextShadow &workShadow() const { return *mObjWorkShadow; }

    // The close box and Escape cancel.
    void reject() override;

    // Controls.
    QGroupBox *fraPosition = nullptr, *fraOthers = nullptr;
    QLabel *lblXPos = nullptr, *lblYPos = nullptr, *lblBlur = nullptr, *lblTransparency = nullptr;
    QLineEdit *txtXPos = nullptr, *txtYPos = nullptr, *txtBlur = nullptr, *txtTransparency = nullptr;
    QScrollBar *updXPos = nullptr, *updYPos = nullptr, *updBlur = nullptr, *updTransparency = nullptr;
    ButtonPlus *cmdUp = nullptr, *cmdDown = nullptr, *cmdLeft = nullptr, *cmdRight = nullptr, *cmdUpLeft = nullptr,
               *cmdUpRight = nullptr, *cmdDownLeft = nullptr, *cmdDownRight = nullptr, *cmdCenter = nullptr;
    ButtonPlus *cmdOK = nullptr, *cmdCancel = nullptr, *cmdRemoveShadow = nullptr, *cmdSetDefaultShadow = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The four boxes: offsets X and Y (whole, -200..200), blur (0..255, fractions kept) and
    // opacity (whole, 0..255), in the order of mBoxes. The number n shown in a box runs against
    // its spinner's position p, n = top - p.
    enum Box { XPos, YPos, Blur, Opacity };

    void Form_Load();
    void showShadowData();
    void applyShadow();
    // The boxes show what was taken from them, applied where that changed anything.
    void SaveData();
    // What the working shadow holds for a box, and a value taken from the box into it.
    double stored(Box box) const;
    void store(Box box, double value);
    void setOffset(std::int32_t x, std::int32_t y);
    void closeWith(int result);

    // The text editor's preview, drawn once at the end of the outermost handler however often
    // the shadow was applied inside it.
    struct PreviewBatch {
        explicit PreviewBatch(frmTextShadow &f) : form(f) { ++form.mIntBatchDepth; }
        ~PreviewBatch();
        frmTextShadow &form;
    };
    void requestPreview();

    std::unique_ptr<Ui::frmTextShadow> ui;
    texteditor::TextEditorHost &mEditor;
    std::vector<NumberBox *> mBoxes;
    clsTextShadowPtr mObjWorkShadow;
    clsTextShadowPtr mObjBackupShadow;
    bool mBoolValuesShown = false;
    int mIntBatchDepth = 0;
    bool mBoolPreviewDue = false;
    bool mBoolClosed = false;
};
