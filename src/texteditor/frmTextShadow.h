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
    // One spinner pair: the number n shown in the box runs against the position p, n = top - p.
    struct Spinner {
        QLineEdit *box;
        QScrollBar *bar;
        int top;
    };

    void Form_Load();
    void showShadowData();
    void applyShadow();
    void SaveData();
    void boxChanged(const Spinner &spinner);
    // Stores a number typed into the spinner's box, brought into the box's range.
    void takeValue(const Spinner &spinner, double typed);
    // The boxes show the stored values (SaveData), applied when one of them changed.
    void normaliseBoxes();
    void spinnerChanged(const Spinner &spinner);
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
    std::vector<Spinner> mSpinners;
    clsTextShadowPtr mObjWorkShadow;
    clsTextShadowPtr mObjBackupShadow;
    bool mBoolValuesShown = false;
    bool mBoolChanged = false;
    int mIntBatchDepth = 0;
    bool mBoolPreviewDue = false;
    bool mBoolClosed = false;
};
