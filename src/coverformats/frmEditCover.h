#pragma once
// The editor of the user's own cover formats (the records of the user-defined medium, kept
// in data/mycover.dat): name, size, print position on the sheet, creases, crease layout and
// paper orientation, with a drawing of the sheet and the cover on it. The main window sets
// gObjCover().ProfileIndex() (-2: a new format) and EditedIndex() (the side) and opens it
// modally; Save writes the file and closes; closing the window otherwise keeps the file.
//
// Each numeric field is checked when it is left: a wrong value brings a message, the focus
// back and the field's old text. The message comes after the focus change has been handled,
// never inside it, so two wrong fields never pass the focus and messages between them.
#include "coverformats/CoverFormatDrawing.h"

#include <QDialog>
#include <QSet>
#include <array>
#include <memory>
#include <optional>

class ButtonPlus;
class LineOverlay;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class ShapeControl;
class frmPelmora;

namespace Ui { class frmEditCover; }

class frmEditCover : public QDialog {
    Q_OBJECT
public:
    // Runs the load; the opener sets the caption afterwards.
    explicit frmEditCover(QWidget *owner = nullptr);
    ~frmEditCover() override;

    QLineEdit *txtCoverName = nullptr, *txtHoehe = nullptr, *txtBreite = nullptr, *txtLeftBorder = nullptr,
              *txtTopBorder = nullptr;
    // Crease 1 and crease 2 at 1 and 2; element 0 does not exist.
    std::array<QLineEdit *, 3> txtBorder{};
    std::array<QRadioButton *, 3> optBorder{};
    std::array<QRadioButton *, 2> optOrientation{};
    std::array<QLabel *, 2> lblBorderFields{};
    std::array<QLabel *, 6> lblScale{};
    ButtonPlus *cmdSave = nullptr;
    std::array<ShapeControl *, 2> shpOrientation{};
    ShapeControl *shpCover = nullptr;

    // Empty numeric fields become "0".
    void SetEmptyValues();

    // What the user does. A field's focus handlers run the checks at once (the window runs
    // them after the focus change).
    void field_GotFocus(QLineEdit *field);
    void field_LostFocus(QLineEdit *field);
    void optBorder_Click(int index);
    void optOrientation_Click(int index);
    void cmdSave_Click();

    // The drawing, in twips, and the form state it follows.
    const CoverFormatDrawing &drawing() const { return mDrawing; }
    int orientation() const { return mIntOrientation; }
    double sheetWidth() const { return mSnglSheetWidth; }
    double sheetHeight() const { return mSnglSheetHeight; }
    bool editsExisting() const { return mBoolEditExisting; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;

private:
    void Form_Load();
    void Form_Unload();
    bool loadCoverValues(int index);
    void calcNeededSize();
    void drawPreview(QLineEdit *field);
    void orientationChosen(int index, bool afterRefusal);
    void setSheet(int orientation);
    // The message of a check: text of "ERRORS." + key, title "ERRORS.ERR".
    void showCheckMessage(const QString &key);
    // The key of the leave check's message for a numeric field's text, "" when it passes.
    QString numericFieldRejection(QLineEdit *field) const;
    void leaveNumericField(QLineEdit *field);
    void leaveCoverName();
    void refocus(QLineEdit *field);
    // Every leave check again, for Save; false after the first failure's message.
    bool checkAllFields();
    int selectedBorderLayout() const;
    void selectOption(QRadioButton *button);
    // The drawing's crease offset C for a crease field, in twips of a cover drawn W wide.
    std::optional<double> creaseOffset(QLineEdit *crease, double drawnWidth) const;
    void placeDrawing();
    bool isNumericField(QObject *o) const;
    frmPelmora *mainWindow() const;

    std::unique_ptr<Ui::frmEditCover> ui;
    QFrame *picDrawing = nullptr;
    LineOverlay *lines = nullptr;
    CoverFormatDrawing mDrawing;

    int mIntProfileIndex = -2;
    double mSnglSheetWidth = 21.0, mSnglSheetHeight = 29.7;
    int mIntOrientation = 0;
    double mSnglNeededWidth = 0, mSnglNeededHeight = 0;
    QString mStrOldText;
    bool mBoolEditExisting = false;
    bool mBoolClosing = false;
    bool mBoolUnloaded = false;

    // A leave check is running (its message may be open): leaving a field meanwhile is not
    // the user's doing. A check that puts the focus back drops the checks queued before it.
    bool mBoolChecking = false;
    int mIntCheckGeneration = 0;
    // The focus is being put back into a field: its old text stays as it was.
    bool mBoolRefocusing = false;
    // While loading, each message is shown once (a stored record may fail several checks
    // that the load runs more than once).
    bool mBoolLoading = false;
    QSet<QString> mShownWhileLoading;
};
