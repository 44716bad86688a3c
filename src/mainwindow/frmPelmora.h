#pragma once
// The main window: the medium, and for each of the two cover sides (0 left, 1 right) a
// preview of its image, a list of the medium's cover formats, the format's size and print
// offsets, and the commands on the side's format and image.
//
// Control arrays are the elements "C_I" of the form (index property I), reached here as
// C[I]. Setting a medium button or a list selection from code runs its handler at once, as
// a click does.
#include "platform/imaging/ImgxImage.h"
#include "platform/net/Download.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ButtonPlus;
class PictureBox;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QRadioButton;
class QTimer;
class ShapeControl;

namespace Ui { class frmPelmora; }

class LineOverlay;
class QMenu;
namespace platform { class TwainObject; }
class clsEffects;

class frmPelmora : public QMainWindow {
    Q_OBJECT
public:
    explicit frmPelmora(QWidget *parent = nullptr);
    ~frmPelmora() override;

    // The main window while one exists.
    static frmPelmora *instance();

    // Result flag of the new-background dialog.
    bool mBoolNewCoverCancelled = false;
    // False while the window starts and while a medium change preselects its formats.
    bool mBoolInitialised = false;
    // The side the editor, the scanner and the effect commands work on.
    std::int16_t mIntActualSide = 0;
    // False while a dialog of the window, the editor or a print job runs.
    bool mBoolReady = false;

    // Limits of downloading an image address dropped onto a side.
    platform::DownloadLimits addressDownloadLimits{30 * 1000, 64LL * 1024 * 1024, 10};

    // Controls.
    std::array<QRadioButton *, 6> optMedia{};
    std::array<QListWidget *, 2> lstCoverNames{};
    std::array<PictureBox *, 2> picVisible{};
    std::array<QLabel *, 2> lblLoadPic{};
    std::array<QLineEdit *, 2> txtWidth{}, txtHeight{}, txtLeftBorder{}, txtTopBorder{};
    std::array<ShapeControl *, 2> shpBorder{}, shpCircle{}, shpInnerCircle{};
    // The window's own drawing surface: fold ticks outside the previews are drawn on it.
    LineOverlay *windowLines = nullptr;
    std::array<QFrame *, 2> lineButtons{};
    std::array<ButtonPlus *, 2> cmdSave{}, cmdCreateCover{}, cmdEditCover{}, cmdDeleteCover{};
    std::array<ButtonPlus *, 2> cmdEditor{}, cmdNewCover{}, cmdInvert{}, cmdBrightness{}, cmdSharpen{},
        cmdRefresh{}, cmdScan{}, cmdRotate{}, cmdEffects{};
    std::array<ButtonPlus *, 3> cmdPrint{};
    ButtonPlus *cmdSearch = nullptr, *cmdPreview = nullptr, *cmdQuickLoad = nullptr, *cmdExit = nullptr;
    // The menu bar: File (print, scanner, always on top, options, exit), Tools and "?".
    QMenu *menuFile = nullptr, *menuPrint = nullptr, *menuScanner = nullptr, *menuTools = nullptr,
          *menuQuestionMark = nullptr;
    QAction *menuForeground = nullptr, *menuExit = nullptr, *menuOptions = nullptr;
    QAction *menuPrintLeft = nullptr, *menuPrintRight = nullptr, *menuPrintAll = nullptr;
    QAction *menuSelectSource = nullptr, *menuScanLeft = nullptr, *menuScanRight = nullptr;
    QAction *menuPreview = nullptr, *menuQuickLoad = nullptr, *menuSearch = nullptr, *mnuUpdateCheck2 = nullptr;
    QAction *menuHelp = nullptr, *menuTip = nullptr, *menuFAQ = nullptr, *mnuUpdateCheck = nullptr,
            *menuInfo = nullptr;
    // The scanner; its events bring the picture into mIntActualSide.
    platform::TwainObject *objTwain = nullptr;
    // The effects popup of the side buttons; its entries work on mIntActualSide.
    QMenu *mnuPopUpEffects = nullptr;
    QTimer *timTip = nullptr;

    // Start and end.
    void Form_Load();
    void Form_QueryUnload();
    // Validates the boxes, stores the last medium and formats and ends the program; cancel
    // becomes 1 when an invalid box keeps the program running.
    void Form_Unload(int &cancel);

    // Media and format lists.
    void optMedia_Click(int index);
    void lstCoverNames_Click(int side);
    // Selects an entry of a side's list and applies its format; an entry the list does not
    // have is ignored.
    void selectCoverEntry(int side, int entry);
    // Sets a medium button, running its handler also when it was set already.
    void selectMedium(int index);
    void stretchPictureBox(int side);
    void timTip_Timer();

    // Size and offset boxes.
    void txtWidth_LostFocus(int side);
    void txtHeight_LostFocus(int side);
    void txtLeftBorder_LostFocus(int side);
    void txtTopBorder_LostFocus(int side);
    bool validateSizeBoxes();

    // Printing: 0 the left side, 1 the right side, 2 both.
    void cmdPrint_Click(int index);
    void printSides(int index) { cmdPrint_Click(index); }
    // Effects on a side's image.
    void cmdInvert_Click(int side);
    void cmdRotate_Click(int side);
    void cmdSharpen_Click(int side);
    // Scanning.
    void cmdScan_Click(int side);
    void menuSelectSource_Click();
    void objTwain_ImageAcquired(const QImage &image);
    void objTwain_AcquireCanceled();
    void objTwain_CanCloseTwain();
    void objTwain_TwainError(int number, const QString &title, const QString &text);

    void cmdEffects_Click(int side);
    void cmdBrightness_Click(int side);
    // Shows the effects popup at a point of the window; the chosen entry runs before it
    // returns, then the preview of mIntActualSide is rendered again.
    void doPopUpMenu(int x, int y);
    void doSharpSoft(bool sharpen);
    void mnuPopUpAutoBrightness_Click();
    void mnuPopUpManualBrightness_Click();
    void mnuPopUpGrayscale_Click();
    void mnuPopUpNegative_Click();
    void mnuPopUpSharpenPercent_Click(int index);
    void mnuPopUpSharpenPercentManual_Click();
    void mnuPopUpSoftenPercent_Click(int index);
    void mnuPopUpSoftenPercentManual_Click();
    void mnuPopUpFlipHorizontal_Click();
    void mnuPopUpFlipVertical_Click();

    // The windows the main window opens, and its own commands.
    void cmdEditor_Click(int side);
    void cmdNewCover_Click(int side);
    void cmdPreview_Click();
    void cmdRefresh_Click(int side);
    void cmdSearch_Click();
    void menuSearch_Click();
    void cmdQuickLoad_Click();
    void mnuUpdateCheck_Click();
    void menuTip_Click();
    void menuInfo_Click();
    void menuOptions_Click();
    void menuForeground_Click();
    void menuExit_Click();
    void cmdExit_Click();
    // Opens the help start page of the language in the system's browser.
    void menuHelp_Click();
    void menuFAQ_Click();

    // Format tables.
    void cmdSave_Click(int side);
    void cmdCreateCover_Click(int side);
    void cmdEditCover_Click(int side);
    void cmdDeleteCover_Click(int side);

    // Cover images.
    void initBackupIgx();
    void loadCover(std::int16_t side, const platform::ImgxImage &image);
    void convertImageSizeToCover(std::int16_t side);
    void pic_Click(int side);
    void pic_OLEDragDrop(int side, const QMimeData &data, Qt::DropAction effect);

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void collectControls();
    void buildEffectsMenu();
    void createTwain();
    // The scanner's dialogs and its wait window in the program's language.
    void localiseScanner();
    // Hands the side image to the effects as a bare image and keeps what it holds afterwards.
    template <class F> void withSideElement(F effect);
    // The image of a side; raises AppError when the side has none.
    platform::ImgxImage &sideImage(int side) const;
    void connectControls();
    void setTabOrder();
    void layoutPreview(int side);
    void refitSideImage(int side);
    // After the side's picture of the size before has been replaced, turned or stepped back:
    // the side's objects, where it keeps them, stay where and as large as they were on the
    // cover.
    void keepSideObjectsOnCover(size_t side, QSize before);
    void endProgram();

    // The leaving check of one box: its message, and the focus back into it.
    void sizeBoxLostFocus(QLineEdit *box, int side);
    void checkLeftBox(QLineEdit *box, int side);
    std::array<QLineEdit *, 4> sizeBoxes(int side) const;

    std::unique_ptr<Ui::frmPelmora> ui;
    bool mBoolRestoreSelection = false;
    bool mBoolValidateBoxes = false;
    // A box message is waiting or shown, or the focus is being put back: leaving a box
    // meanwhile is not the user's doing and is not checked.
    bool mBoolCheckingBox = false;
    bool mBoolUnloaded = false;
    bool mBoolClosing = false;
    // The fold ticks above the previews are to be drawn again where the layout put them.
    bool mBoolFoldTicksPending = false;
    bool mBoolOpeningSource = false;

    // What a side image was refitted from, and the size it was given: refitting starts again
    // from the base, so alternating formats never make the image grow.
    std::array<QSize, 2> mSizeFitBase{}, mSizeFitted{};

    std::unique_ptr<clsEffects> mObjEffects;
    // The command of each entry of the effects popup.
    std::vector<std::pair<QAction *, std::function<void()>>> mPopUpCommands;

    static QPointer<frmPelmora> sInstance;
};
