#pragma once
// The text editor: the modal dialog in which the user writes one text object of the graphics
// editor's canvas and sets its font, size, styles, alignment, colour, angle, character
// spacing, anti-aliasing, shadow and gradient, with a live preview and bulleted or numbered
// lists. It works on the program-wide working records (gObjTextObject, gObjTextShadow,
// gObjTextGradient, ...); OK renders the text into the object, adds a new object to the canvas
// model or records the edit for undo; Cancel writes nothing.
//
// The opener sets mBoolNewText, then runs Form_Load and shows the dialog modally.
#include "platform/imaging/ImgxImage.h"
#include "texteditor/TextEditorSeams.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class ButtonPlus;
class NumberBox;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;
class TextBox;
namespace platform { class ImgxCanvas; }
namespace Ui { class frmTextedit; }

class frmTextedit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewInterval = 2500;  // ms
    // The preview draws this many characters of the text at most.
    static constexpr int kPreviewCharacters = 250;

    explicit frmTextedit(QWidget *parent = nullptr);
    ~frmTextedit() override;

    // Set by the opener before Form_Load: a new text object, or an edit of gObjTextObject.
    bool mBoolNewText = false;
    // The bullet of bulleted lists and the text between bullet or number and the line.
    QString mStrListBullet = QStringLiteral("*");
    QString mStrListSeparator = QStringLiteral(" ");
    // doPreview draws only while this is set; importers clear it while they append.
    bool mBoolPreviewEnabled = false;

    void Form_Load();
    void InitComboBoxes();
    void SetTextFormat();
    void doPreview();

    // The editor as the importers and the effect dialogs use it.
    texteditor::TextEditorHost &host();

    // Handlers that a user reaches by clicks, keys and the timer.
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdListe_Click();
    void cmdCountList_Click();
    void cmdColor_Click();
    void cboEffects_Click(int position);
    void chkAutoPreview_Click();
    void timerMaxPreview_Timer();
    void cmdCDDB_Click();
    void filesDropped(const QStringList &files);

    // State shown for inspection.
    double fontSizeChosen() const { return mDblFontSize; }
    bool listOn() const { return mBoolListOn; }
    bool numbered() const { return mBoolNumbered; }
    bool previewPending() const { return mBoolPreviewPending; }
    // The pixel size of the preview control.
    QSize previewPixelSize() const;

    // Controls.
    TextBox *txtText = nullptr;
    QComboBox *cboFont = nullptr, *cboSize = nullptr, *cboAntiAlias = nullptr, *cboEffects = nullptr;
    ButtonPlus *cmdBold = nullptr, *cmdItalic = nullptr, *cmdUnderline = nullptr, *cmdStrikeThru = nullptr;
    ButtonPlus *cmdAlignLeft = nullptr, *cmdAlignCenter = nullptr, *cmdAlignRight = nullptr, *cmdColor = nullptr;
    ButtonPlus *cmdListe = nullptr, *cmdCountList = nullptr;
    ButtonPlus *cmdListMP3 = nullptr, *cmdListM3U = nullptr, *cmdListFiles = nullptr, *cmdCDDB = nullptr;
    ButtonPlus *cmdOK = nullptr, *cmdCancel = nullptr;
    QLineEdit *txtAngel = nullptr, *txtCharSpace = nullptr;
    QScrollBar *updAngle = nullptr, *updCharSpace = nullptr;
    QCheckBox *chkAutoPreview = nullptr;
    QLabel *lblPreview = nullptr;
    platform::ImgxCanvas *igxPreview = nullptr;
    QTimer *timerMaxPreview = nullptr;

protected:
    void done(int result) override;

private:
    class Host;

    void loadTextData();
    // Draws the text into its object and puts it on the canvas; false, with the canvas as it
    // was, when it could not be drawn.
    bool TextToImgX();
    void Form_Unload();
    void doList(bool numbers);
    void doRemoveList(bool numbers);
    // The list buttons: a list of the kind switches off, one of the other kind turns into it.
    void toggleList(bool numbers);
    void setContrastBackground(bool recreateOpaque);
    bool effectActive() const;
    // Key handling of the edit box: Ctrl+A, the deferred preview, Enter and Backspace in lists.
    bool txtText_KeyDown(QKeyEvent *e);
    bool enterInList();
    bool backspaceInNumberedList();
    void txtText_Change();
    void toggleStyle(int which);
    void setTextAlignment(int code);
    // Chooses the font list's entry of a font name: the entry of that name, else the entry of
    // the family the platform draws the name in. No such entry leaves the choice as it is.
    void selectFont(const QString &name);

    std::unique_ptr<Ui::frmTextedit> ui;
    std::unique_ptr<Host> host_;
    bool mBoolPreviewPending = false;
    bool mBoolListOn = false;
    bool mBoolNumbered = false;
    platform::ImgxImagePtr mImgXPreview;
    double mDblFontSize = 14;
    // The font name that the font list's chosen entry stands for while it shows the family a
    // name is drawn in ("Arial" where "Liberation Sans" draws it): choosing that entry keeps the
    // name. Any other entry stands for its own family.
    int mIntNamedFontEntry = -1;
    QString mStrNamedFont;
    // How much hiding the preview took off the window's height, given back on showing it.
    int mIntPreviewShrink = 0;
    // The angle box (0..360, shown as a whole number once typed) and the character spacing
    // box (a whole number in -10..10); what is no number is 0 once the typing is done.
    NumberBox *mAngle = nullptr, *mCharSpace = nullptr;
    // The anti-alias level the preview draws with; a list without a selection keeps it.
    double mDblPreviewAntiAlias = 1;
    bool mBoolUnloaded = false;
};

// Shows the text editor modally over the owner: a new text, or an edit of gObjTextObject.
void showTextEditor(QWidget *owner, bool newText);
