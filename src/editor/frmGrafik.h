#pragma once
// The graphics editor of one cover side: the side's background on the canvas igxMain with the
// side's text and picture objects over it. It works on a copy of the side's canvas model and
// of its image; OK (and File > Exit) writes both back, Cancel and the window frame give the
// side back what it had when the editor opened.
#include "platform/imaging/ImgxImage.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <type_traits>
#include <cstdint>
#include <memory>
#include <variant>

class ButtonPlus;
class QAction;
class QMenu;
class ShapeControl;
class clsCanvasObject;
class clsElement;
class clsEffects;
class clsTextObject;
namespace platform { class ImgxCanvas; }
namespace Ui { class frmGrafik; }

class frmGrafik : public QMainWindow {
    Q_OBJECT
public:
    explicit frmGrafik(QWidget *parent = nullptr);
    ~frmGrafik() override;

    // The editor that is open, or nothing.
    static frmGrafik *instance();

    platform::ImgxCanvas *igxMain = nullptr;
    ShapeControl *shpFocusIgxMain = nullptr;
    ButtonPlus *cmdPicture = nullptr, *cmdText = nullptr, *cmdEditText = nullptr, *cmdBackColor = nullptr,
               *cmdBlankSheet = nullptr, *cmdRotate = nullptr, *cmdRotateLeft = nullptr, *cmdRotateRight = nullptr,
               *cmdSharpen = nullptr, *cmdSoften = nullptr, *cmdEffects = nullptr, *cmdSave = nullptr,
               *cmdUndoOverview = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;
    QTimer TimerMyTimer;

    // A menu entry or sub-menu by its name ("mnuCopy", "mnuPopUpCenter", ...); nothing when
    // there is none.
    QAction *menuEntry(const QString &name) const;
    QMenu *menu(const QString &name) const;

    // Closing.
    void cmdOK_Click();
    void cmdCancel_Click();
    void mnuExit_Click();

    // Fits one object of the edited model to the canvas zoom.
    void adaptObjectSizeToZoom(const QString &key);
    // The context menu at canvas pixels (mode 0), or the effects menu at a point of the
    // window (mode 1).
    void doPopUpMenu(int x, int y, int mode);

    // Toolbar and insertion.
    void cmdPicture_Click();
    void cmdText_Click();
    void doDeleteSelectedItem();
    void editFocusedText();
    // The image collector's tick.
    void TimerMyTimer_Timer();

    // The File menu: a new background from a file; the side with its objects saved as an
    // image file (Save asks for a name until one Save As has given it).
    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    QString saveFileName() const { return mStrSaveFileName; }
    int saveImageType() const { return mLngSaveImageType; }

    // The Edit menu; mnuEdit_Click refreshes it each time it opens.
    void mnuEdit_Click();
    void mnuUndo_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDeleteAll_Click();
    // The internal clipboard: nothing, a copy of a text object, or the image of a picture.
    std::variant<std::monostate, std::shared_ptr<clsTextObject>, platform::ImgxImagePtr> mObjClipboard;

    // Pixel effects on the focused picture or, with nothing focused, on the background (the
    // canvas and the side's image); each records one undo step.
    void doSharpen(long percent);
    void doSoften(long percent);
    void doNegativ();
    void doGrayscale();
    void doAutoBrightness();
    void doFlip(std::uint8_t direction);

    // The effects with a dialog: brightness and contrast, sharpen or soften by a chosen
    // percentage, on the focused picture or the background; a focused text opens nothing.
    void editBrightness();
    void doSharpSoft(bool sharpen);

    // A new background from the new-background dialog, keeping the objects if the user says
    // so; a blank white sheet with no objects and no undo steps.
    void doNewCover();
    void cmdBlankSheet_Click();

    // The rotate dialog over the editor, and the undo overview beside it.
    void cmdRotate_Click();
    void cmdUndoOverview_Click();

    // Placement of the focused object; none records an undo step.
    void doCenterObject(int mode);
    void doMoveObject(int dx, int dy);
    void convertTextToPicture();
    void doStretch();
    void moveToForeground();
    void moveToBackground();

    // The canvas's events.
    void igxMain_MouseDown(Qt::MouseButton button, int x, int y);
    void igxMain_MouseMove(int x, int y);
    void igxMain_MouseUp();
    void igxMain_KeyDown(int key);
    void igxMain_FilesDropped(const QStringList &paths);

    // The window and canvas size recorded at set-up, in pixels.
    QSize recordedCanvasSize() const { return {mLngCanvasWidth, mLngCanvasHeight}; }
    QSize recordedFormSize() const { return {mLngFormWidth, mLngFormHeight}; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void Form_Load();
    void Form_Unload();
    void initAll(bool keepObjects, bool firstLoad);
    void layoutEditorWindow();
    void positionFocusFrame();
    // The window, frame included, within the screen's free area: a smaller canvas where the
    // window as laid out reaches past it (true: the layout is to be made again); the layout
    // then moves the window into it.
    bool fitRecordedSizesToScreen();
    // The enabling of the controls after a mouse move, for the focused object.
    void enableForFocus();
    // The focused object, or nothing ("", "-9999", an unknown key and a deleted object are
    // all "nothing focused").
    std::shared_ptr<clsCanvasObject> focusedObject() const;
    QString focusedKey() const;
    // Loads an image file for a new picture object; an empty image when it cannot be read.
    // The picture of a file, empty when it could not be read (why, in *read when given).
    static platform::ImgxImagePtr loadPicture(const QString &path, platform::CodecResult *read = nullptr);
    // Tells the user why a picture could not be read; nothing for a load that was not started.
    static void showUnloadedPicture(const platform::CodecResult &read);
    void addPicture(platform::ImgxImagePtr image);
    void wireCommands();
    // The pixel effect of one command on the focused picture or the background, with its
    // undo text; a focused text changes nothing.
    template <class Apply>
    void runEffect(const char *undoKey, const char *undoDefault, const char *errorKey, const char *procedure,
                   Apply apply);
    // The side's image follows a change of the background on the canvas, so that its undo step
    // undoes the same in both. Where it held the very pixels the canvas had before, it takes
    // the canvas's result instead of the change being made to the same picture a second time.
    void sideFollowsCanvas(const QImage &canvasBefore,
                           const std::function<void(const platform::ImgxImagePtr &)> &change);
    // Writes the canvas with the objects drawn over it into mStrSaveFileName; the canvas
    // itself does not change.
    void flattenAndSave();
    // Drops the undo steps of the background once it has been replaced.
    static void dropBackgroundUndos();
    // Canvas and window back to the sizes recorded at set-up.
    void restoreRecordedSizes();
    // The image an effect dialog works on: the focused picture's or the canvas's; nothing,
    // and cancelled, for a focused text.
    platform::ImgxImagePtr effectTarget(bool &cancelled) const;

    std::unique_ptr<Ui::frmGrafik> ui;
    std::map<QString, QAction *> mActions;
    // The command of each entry of the popup tree.
    std::map<QAction *, std::function<void()>> mPopUpCommands;
    int mIntSide = 0;
    bool mBoolCancelled = true;
    bool mBoolUnloaded = false;
    // A dropped picture was added and goes to the drop point.
    bool mBoolDropPending = false;
    platform::ImgxImagePtr mImgXWorking;
    // The side's image as it was at opening, with its undo steps.
    std::unique_ptr<platform::ImgxImage> mImgXStartBackup;
    QString mStrSaveFileName;
    int mLngSaveImageType = 0;
    int mLngCanvasWidth = 0, mLngCanvasHeight = 0, mLngFormWidth = 0, mLngFormHeight = 0;
};
