#include "editor/frmGrafik.h"

#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsGarbageCollector.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "editor/EditorGlobals.h"
#include "editor/EditorWindows.h"
#include "editor/frmRotate.h"
#include "mainwindow/DroppedImage.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/PopupMenus.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"
#include "ui_frmGrafik.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

QPointer<frmGrafik> &openEditor()
{
    static QPointer<frmGrafik> editor;
    return editor;
}

constexpr int kWindowHeightTwips = 10600;
constexpr int kCollectorInterval = 30000;

QString source(const char *procedure) { return QStringLiteral("frmGrafik.") + QLatin1String(procedure); }

bool isText(const clsCanvasObject &o) { return o.typeName() == QLatin1String("clsTextObject"); }

// The canvas services while the editor is open: its canvas, its zoom fitting and the side's image.
class EditorCanvasServices final : public CanvasServices {
public:
    EditorCanvasServices(frmGrafik &editor, int side) : editor_(editor), side_(side) {}
    platform::ImgxCanvas &editorCanvas() override { return *editor_.igxMain; }
    void adaptObjectSizeToZoom(const QString &key) override { editor_.adaptObjectSizeToZoom(key); }
    platform::ImgxImagePtr editedSideImage() override { return gIgxBackup[size_t(side_)]; }

private:
    frmGrafik &editor_;
    int side_;
};

} // namespace

frmGrafik *frmGrafik::instance() { return openEditor().data(); }

frmGrafik::frmGrafik(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmGrafik>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    igxMain = ui->igxMain;
    shpFocusIgxMain = ui->shpFocusIgxMain;
    cmdPicture = ui->cmdPicture;
    cmdText = ui->cmdText;
    cmdEditText = ui->cmdEditText;
    cmdBackColor = ui->cmdBackColor;
    cmdBlankSheet = ui->cmdBlankSheet;
    cmdRotate = ui->cmdRotate;
    cmdRotateLeft = ui->cmdRotateLeft;
    cmdRotateRight = ui->cmdRotateRight;
    cmdSharpen = ui->cmdSharpen;
    cmdSoften = ui->cmdSoften;
    cmdEffects = ui->cmdEffects;
    cmdSave = ui->cmdSave;
    cmdUndoOverview = ui->cmdUndoOverview;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    // Each entry belongs to its menu.
    for (QMenu *m : findChildren<QMenu *>())
        for (QAction *a : m->actions())
            if (!a->menu() && a->parent() == this)
                a->setParent(m);
    for (QAction *a : findChildren<QAction *>())
        if (!a->objectName().isEmpty())
            mActions[a->objectName()] = a;
    for (QMenu *m : findChildren<QMenu *>())
        mActions[m->objectName()] = m->menuAction();
    for (const char *name : {"munLine_0", "mnuPopUpLine1"})
        menuEntry(QLatin1String(name))->setSeparator(true);
    // The popup tree is reached through its menu only, never from the menu bar.
    menuEntry(QStringLiteral("mnuPopUpMenu"))->setVisible(false);

    igxMain->setAutoZoom(true);
    igxMain->setMouseTracking(true);
    igxMain->setAcceptDrops(true);
    setMouseTracking(true);
    centralWidget()->setMouseTracking(true);
    shpFocusIgxMain->lower();

    TimerMyTimer.setInterval(kCollectorInterval);
    connect(&TimerMyTimer, &QTimer::timeout, this, &frmGrafik::TimerMyTimer_Timer);
    wireCommands();

    openEditor() = this;
    CanvasServices::install(std::make_unique<EditorCanvasServices>(*this, 0));
    Form_Load();
    TimerMyTimer.start();
}

frmGrafik::~frmGrafik()
{
    if (!mBoolUnloaded)
        Form_Unload();
    if (openEditor() == this)
        openEditor() = nullptr;
}

QAction *frmGrafik::menuEntry(const QString &name) const
{
    const auto it = mActions.find(name);
    return it == mActions.end() ? nullptr : it->second;
}

QMenu *frmGrafik::menu(const QString &name) const { return findChild<QMenu *>(name); }

void frmGrafik::wireCommands()
{
    // An entry of the menu bar runs its command when triggered; an entry of the popup tree is
    // run by doPopUpMenu, which runs the command of the entry the popup returns.
    const auto on = [this](const char *name, auto f) {
        QAction *a = menuEntry(QLatin1String(name));
        if (!a)
            return;
        std::function<void()> command;
        if constexpr (std::is_member_function_pointer_v<decltype(f)>)
            command = [this, f] { (this->*f)(); };
        else
            command = f;
        if (QLatin1String(name).startsWith(QLatin1String("mnuPopUp"), Qt::CaseInsensitive))
            mPopUpCommands[a] = std::move(command);
        else
            connect(a, &QAction::triggered, this, std::move(command));
    };
    connect(cmdOK, &QPushButton::clicked, this, &frmGrafik::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGrafik::cmdCancel_Click);
    connect(cmdPicture, &QPushButton::clicked, this, &frmGrafik::cmdPicture_Click);
    connect(cmdText, &QPushButton::clicked, this, &frmGrafik::cmdText_Click);
    connect(cmdEditText, &QPushButton::clicked, this, &frmGrafik::editFocusedText);
    connect(cmdEffects, &QPushButton::clicked, this, [this] {
        const QRect g = cmdEffects->geometry();
        doPopUpMenu(g.x() + g.width(), g.y(), 1);
    });
    connect(cmdRotate, &QPushButton::clicked, this, &frmGrafik::cmdRotate_Click);
    connect(cmdRotateLeft, &QPushButton::clicked, this, [this] {
        frmRotate::doRotate(-90.0);
        igxMain->setFocus();
    });
    connect(cmdRotateRight, &QPushButton::clicked, this, [this] {
        frmRotate::doRotate(90.0);
        igxMain->setFocus();
    });
    connect(cmdSharpen, &QPushButton::clicked, this, [this] { doSharpen(50); });
    connect(cmdSoften, &QPushButton::clicked, this, [this] { doSoften(50); });
    connect(cmdSave, &QPushButton::clicked, this, &frmGrafik::mnuSave_Click);
    connect(cmdUndoOverview, &QPushButton::clicked, this, &frmGrafik::cmdUndoOverview_Click);
    connect(cmdBackColor, &QPushButton::clicked, this, &frmGrafik::doNewCover);
    connect(cmdBlankSheet, &QPushButton::clicked, this, &frmGrafik::cmdBlankSheet_Click);

    on("mnuExit", &frmGrafik::mnuExit_Click);
    on("mnuDelete", &frmGrafik::doDeleteSelectedItem);
    on("mnuPopupDelete", &frmGrafik::doDeleteSelectedItem);
    on("mnuEditText", &frmGrafik::editFocusedText);
    on("mnuPopUpEditText", &frmGrafik::editFocusedText);
    on("mnuConvertTextToPicture", &frmGrafik::convertTextToPicture);
    on("mnuPopUpConvertTextToPicture", &frmGrafik::convertTextToPicture);
    on("mnuStretchText", &frmGrafik::doStretch);
    on("mnuPopUpStretchText", &frmGrafik::doStretch);
    on("mnuInsertGrafik", &frmGrafik::cmdPicture_Click);
    on("mnuInsertText", &frmGrafik::cmdText_Click);
    on("mnuPopUpLayerToForeground", &frmGrafik::moveToForeground);
    on("mnuPopUpLayerToBackground", &frmGrafik::moveToBackground);
    on("mnuPopUpCenterHorizontal", [this] { doCenterObject(1); });
    on("mnuPopUpCenterVertical", [this] { doCenterObject(2); });
    on("mnuPopUpCenterBoth", [this] { doCenterObject(0); });
    on("mnuLoad", &frmGrafik::mnuLoad_Click);
    on("mnuSave", &frmGrafik::mnuSave_Click);
    on("mnuSaveAs", &frmGrafik::mnuSaveAs_Click);
    connect(menu(QStringLiteral("mnuEdit")), &QMenu::aboutToShow, this, &frmGrafik::mnuEdit_Click);
    on("mnuUndo", &frmGrafik::mnuUndo_Click);
    on("mnuCopy", &frmGrafik::mnuCopy_Click);
    on("mnuPopUpCopy", &frmGrafik::mnuCopy_Click);
    on("mnuPaste", &frmGrafik::mnuPaste_Click);
    on("mnuPopUpPaste", &frmGrafik::mnuPaste_Click);
    on("mnuDeleteAll", &frmGrafik::mnuDeleteAll_Click);
    on("mnuPopupRotate", &frmGrafik::cmdRotate_Click);
    for (const char *prefix : {"", "PopUp"}) {
        const auto entry = [prefix](const char *name) { return QByteArray("mnu") + prefix + name; };
        on(entry("AutoBrightness").constData(), &frmGrafik::doAutoBrightness);
        on(entry("Grayscale").constData(), &frmGrafik::doGrayscale);
        on(entry("Negative").constData(), &frmGrafik::doNegativ);
        on(entry("FlipHorizontal").constData(), [this] { doFlip(0); });
        on(entry("FlipVertical").constData(), [this] { doFlip(1); });
        // The percentage of an entry is its index.
        for (const char *pct : {"25", "50", "75", "100"}) {
            const QByteArray sharpen = entry("SharpenPercent_") + pct, soften = entry("SoftenPercent_") + pct;
            if (QAction *a = menuEntry(QString::fromLatin1(sharpen)))
                on(sharpen.constData(), [this, a] { doSharpen(a->property("index").toInt()); });
            if (QAction *a = menuEntry(QString::fromLatin1(soften)))
                on(soften.constData(), [this, a] { doSoften(a->property("index").toInt()); });
        }
    }
    on("mnuNewCover", &frmGrafik::doNewCover);
    on("mnuManualBrightness", &frmGrafik::editBrightness);
    on("mnuPopUpManualBrightness", &frmGrafik::editBrightness);
    on("mnuSharpenPercentManual", [this] { doSharpSoft(true); });
    on("mnuPopUpSharpenPercentManual", [this] { doSharpSoft(true); });
    on("mnuSoftenPercentManual", [this] { doSharpSoft(false); });
    on("mnuPopUpSoftenPercentManual", [this] { doSharpSoft(false); });

    connect(igxMain, &platform::ImgxCanvas::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) { igxMain_MouseDown(b, x, y); });
    connect(igxMain, &platform::ImgxCanvas::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) { igxMain_MouseMove(x, y); });
    connect(igxMain, &platform::ImgxCanvas::mouseUp, this, [this] { igxMain_MouseUp(); });
    connect(igxMain, &platform::ImgxCanvas::doubleClicked, this, &frmGrafik::editFocusedText);
    connect(igxMain, &platform::ImgxCanvas::keyDown, this, [this](int key, Qt::KeyboardModifiers) { igxMain_KeyDown(key); });
    // The objects, then the fold lines of the side's format over them, at every repaint.
    connect(igxMain, &platform::ImgxCanvas::paint, this, [this](platform::imaging::DeviceContext &hdc) {
        gObjMoveableObjects()->renderObjects(hdc);
        if (!mBoolUnloaded)
            gObjCover().SetBorderIgX(hdc);
    });
    connect(igxMain, &platform::ImgxCanvas::filesDropped, this,
            [this](const QStringList &paths, int x, int y) {
                igxMain_FilesDropped(paths);
                if (auto o = focusedObject(); o && mBoolDropPending) {
                    o->mObjPointMousePos->mLngX = x;
                    o->mObjPointMousePos->mLngY = y;
                    igxMain->refresh();
                    gObjMoveableObjects()->showFocus(*igxMain);
                }
                mBoolDropPending = false;
            });
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void frmGrafik::Form_Load()
{
    platform::setPointer(platform::Pointer::Hourglass);
    changeLanguage(this);
    initAll(false, true);
    platform::setPointer(platform::Pointer::Default);
}

void frmGrafik::initAll(bool keepObjects, bool firstLoad)
{
    try {
        const platform::Screen &screen = platform::Screen::get();
        cmdOK->setButtonStyle(4);
        cmdCancel->setButtonStyle(4);
        mBoolCancelled = true;
        loadSeparatorNames();
        loadMp3FieldNames();
        resize(width(), roundToInt(kWindowHeightTwips / screen.twipsPerPixelY()));

        frmPelmora *main = frmPelmora::instance();
        mIntSide = main ? std::clamp<int>(main->mIntActualSide, 0, 1) : 0;
        const auto s = size_t(mIntSide);
        CanvasServices::install(std::make_unique<EditorCanvasServices>(*this, mIntSide));

        auto &model = gObjMoveableObjects();
        if (!keepObjects && firstLoad) {
            model = newMoveableObjects();
            if (gBoolPartHasObjects[s] && gObjPartMoveableObjects[s])
                model->copy(*gObjPartMoveableObjects[s]);
            else
                gObjPartMoveableObjects[s] = newMoveableObjects();
            // Nothing has the focus when the editor opens.
            model->mStrFocusedObjectIndex = clsMoveableObjects::kNoFocus;
        }
        gObjStartMoveableObjects = newMoveableObjects();
        if (gObjPartMoveableObjects[s])
            gObjStartMoveableObjects->copy(*gObjPartMoveableObjects[s]);
        if (!gIgxBackup[s])
            gIgxBackup[s] = platform::ImgxImage::create();
        if (!keepObjects && firstLoad) {
            mImgXStartBackup = std::make_unique<platform::ImgxImage>(*gIgxBackup[s]);
            gDblOldZoomFactor = model->dblZoomFactor;
        }
        gDblZoomFactor = gDblOldZoomFactor;

        model->mObjBackground = std::make_shared<clsBackground>();
        model->mObjBackground->mIgxCtrlRefToBackground = igxMain;
        gStrSeparators = {QStringLiteral(" - "), gStrSepTab, gStrSepSpace, QStringLiteral(" * "), QStringLiteral(" : ")};

        mLngCanvasHeight = igxMain->height();
        mLngCanvasWidth = igxMain->width();
        mLngFormWidth = width();
        mLngFormHeight = height();
        model->mObjFocusBackgroundObject = shpFocusIgxMain;
        model->objEffects = std::make_shared<clsEffects>();

        // The working image: the side's image fitted to its preview box; a side without an
        // image starts on a white sheet of the canvas's size.
        mImgXWorking = platform::ImgxImage::create();
        if (!gIgxBackup[s]->isEmpty())
            mImgXWorking->importImage(*gIgxBackup[s], QString());
        else
            mImgXWorking->blank(std::max(1, igxMain->width()), std::max(1, igxMain->height()), 0xFFFFFF, 255, 6,
                                QString());
        adaptImageSizeOnInit(*mImgXWorking, -1);
        auto shown = platform::ImgxImage::create();
        shown->importImage(*mImgXWorking, QString());
        shown->setUndoLevels(platform::ImgxCanvas::kUndoLevels);
        igxMain->setImage(shown);

        layoutEditorWindow();
        positionFocusFrame();
        gDblZoomFactor = igxMain->zoom();
        adaptObjectSizesToZoom(nullptr);
        cmdRotate->setEnabled(false);
        cmdRotateLeft->setEnabled(false);
        cmdRotateRight->setEnabled(false);
        // The fold ticks above the canvas, for the canvas as it is laid out now.
        gObjCover().SetBorderIgXWindow();
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_LOAD_EDITOR"), source("initAll"));
    }
}

void frmGrafik::layoutEditorWindow()
{
    igxMain->resize(mLngCanvasWidth, mLngCanvasHeight);
    resize(mLngFormWidth, mLngFormHeight);
    const auto &image = igxMain->image();
    const int w = image ? image->width() : 0;
    const int h = image ? image->height() : 0;
    int formW = mLngFormWidth, formH = mLngFormHeight;
    if (w > 0 && h > 0) {
        if (w > h) {
            const int canvasH = int(mLngCanvasHeight * (double(h) / double(w)));
            igxMain->resize(mLngCanvasWidth, canvasH);
            formH = mLngFormHeight - (mLngCanvasHeight - canvasH);
        } else if (w < h) {
            const int canvasW = int(mLngCanvasWidth * (double(w) / double(h)));
            igxMain->resize(canvasW, mLngCanvasHeight);
            formW = mLngFormWidth - (mLngCanvasWidth - canvasW);
        }
    }
    formH += cmdCancel->height();
    // A landscape side shortens the canvas, but never the window below what the toolbar beside
    // the canvas needs.
    int toolbarBottom = 0;
    for (const ButtonPlus *b : {cmdPicture, cmdText, cmdEditText, cmdBackColor, cmdBlankSheet, cmdRotate, cmdRotateLeft,
                                cmdRotateRight, cmdSharpen, cmdSoften, cmdEffects, cmdSave, cmdUndoOverview})
        toolbarBottom = std::max(toolbarBottom, b->geometry().bottom() + 1);
    formH = std::max(formH, menuBar()->sizeHint().height() + toolbarBottom + cmdPicture->y());
    resize(formW, formH);
    const QRect c = igxMain->geometry();
    cmdOK->move(c.x() + c.width() - cmdCancel->width() - cmdOK->width(), c.y() + c.height() + cmdCancel->height() / 2);
    cmdCancel->move(cmdOK->x() + cmdOK->width(), cmdOK->y());
}

void frmGrafik::positionFocusFrame()
{
    const platform::Screen &screen = platform::Screen::get();
    const auto px = [&](double twips, double perPixel) { return roundToInt(twips / perPixel); };
    shpFocusIgxMain->setBorderColor(0xFF0000);
    shpFocusIgxMain->setBorderWidth(7);
    const QRect c = igxMain->geometry();
    const double tx = screen.twipsPerPixelX(), ty = screen.twipsPerPixelY();
    shpFocusIgxMain->setGeometry(c.x() - px(17, tx), c.y() - px(17, ty), c.width() + px(39, tx),
                                 c.height() + px(44, ty));
}

void frmGrafik::cmdOK_Click()
{
    mBoolCancelled = false;
    close();
}

void frmGrafik::mnuExit_Click() { cmdOK_Click(); }

void frmGrafik::cmdCancel_Click()
{
    mBoolCancelled = true;
    close();
}

void frmGrafik::closeEvent(QCloseEvent *e)
{
    if (!mBoolUnloaded)
        Form_Unload();
    e->accept();
}

void frmGrafik::Form_Unload()
{
    mBoolUnloaded = true;
    TimerMyTimer.stop();
    const auto s = size_t(mIntSide);
    frmPelmora *main = frmPelmora::instance();
    try {
        hide();
        QApplication::processEvents();
        platform::setPointer(platform::Pointer::Hourglass);
        if (mBoolCancelled) {
            gObjPartMoveableObjects[s] = newMoveableObjects();
            if (gObjStartMoveableObjects)
                gObjPartMoveableObjects[s]->copy(*gObjStartMoveableObjects);
            if (mImgXStartBackup && gIgxBackup[s])
                *gIgxBackup[s] = *mImgXStartBackup;
        } else {
            mImgXStartBackup.reset();
            auto canvasImage = platform::ImgxImage::create();
            canvasImage->importImage(*igxMain->image(), QString());
            gObjMoveableObjects()->dblZoomFactor = gDblZoomFactor;
            if (!gObjPartMoveableObjects[s])
                gObjPartMoveableObjects[s] = newMoveableObjects();
            gObjPartMoveableObjects[s]->copy(*gObjMoveableObjects());
            gBoolPartHasObjects[s] = true;
            // The side takes the background as it is on the canvas; its undo history ends here.
            if (!gIgxBackup[s])
                gIgxBackup[s] = platform::ImgxImage::create();
            gIgxBackup[s]->importImage(*canvasImage, QString());
            gIgxBackup[s]->clearUndo();
            igxMain->setImage(canvasImage);
            adaptObjectSizesToZoom(nullptr);
            if (main) {
                main->convertImageSizeToCover(std::int16_t(s));
                main->picVisible[s]->update();
                main->mBoolReady = true;
                // The side has its picture now (the main window is hidden, so ask the label
                // itself, not whether it is seen).
                if (!main->lblLoadPic[s]->isHidden())
                    main->lblLoadPic[s]->setVisible(false);
            }
        }
        // The steps of this session would undo unrelated objects in the next one.
        gObjUndos().reset();
    } catch (...) {
        reportError(QStringLiteral("ERR_CLOSE_EDITOR"), source("Form_Unload"));
    }
    try {
        QApplication::processEvents();
        if (main) {
            main->mBoolReady = true;
            main->convertImageSizeToCover(std::int16_t(s));
            main->show();
            setFormTopmost(main, gByteForeground != 0, true);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_CLOSE_EDITOR"), source("Form_Unload"));
        if (main) {
            main->mBoolReady = true;
            main->show();
        }
    }
    mImgXWorking.reset();
    mImgXStartBackup.reset();
    CanvasServices::reset();
    platform::setPointer(platform::Pointer::Default);
}

void frmGrafik::mouseMoveEvent(QMouseEvent *e)
{
    QMainWindow::mouseMoveEvent(e);
    const auto o = focusedObject();
    if (o && o->mIntResizing == 0 && platform::Screen::get().mousePointer() != platform::Pointer::Default)
        platform::setPointer(platform::Pointer::Default);
}

// ---------------------------------------------------------------------------------------------
// The focused object

QString frmGrafik::focusedKey() const { return focusedObject() ? gObjMoveableObjects()->mStrFocusedObjectIndex : QString(); }

std::shared_ptr<clsCanvasObject> frmGrafik::focusedObject() const
{
    const auto &model = gObjMoveableObjects();
    const QString &key = model->mStrFocusedObjectIndex;
    if (key.isEmpty() || key == clsMoveableObjects::kNoFocus)
        return nullptr;
    auto o = model->object(key);
    return o && !o->mBoolDeleted ? o : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The canvas

void frmGrafik::igxMain_MouseDown(Qt::MouseButton button, int x, int y)
{
    auto &model = *gObjMoveableObjects();
    if (button == Qt::LeftButton) {
        model.startDragObjects(*igxMain, x, y, shpFocusIgxMain);
    } else if (button == Qt::RightButton) {
        model.startDragObjects(*igxMain, x, y, shpFocusIgxMain);
        doPopUpMenu(x, y, 0);
        gObjMoveableObjects()->stopDragObjects(*igxMain);
    }
}

void frmGrafik::igxMain_MouseMove(int x, int y)
{
    gObjMoveableObjects()->doDragObjects(*igxMain, x, y);
    enableForFocus();
}

void frmGrafik::igxMain_MouseUp() { gObjMoveableObjects()->stopDragObjects(*igxMain); }

void frmGrafik::igxMain_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Delete:
        doDeleteSelectedItem();
        break;
    case Qt::Key_Left:
        doMoveObject(-1, 0);
        break;
    case Qt::Key_Up:
        doMoveObject(0, -1);
        break;
    case Qt::Key_Right:
        doMoveObject(1, 0);
        break;
    case Qt::Key_Down:
        doMoveObject(0, 1);
        break;
    default:
        break;
    }
}

void frmGrafik::enableForFocus()
{
    const auto o = focusedObject();
    const bool text = o && isText(*o);
    const bool picture = o && !text;
    const auto set = [this](const char *name, bool on) {
        if (QAction *a = menuEntry(QLatin1String(name)))
            a->setEnabled(on);
    };
    cmdEditText->setEnabled(text);
    set("mnuEditText", text);
    set("mnuConvertTextToPicture", text);
    set("mnuStretchText", text && rotationClass(o->mDblAngle) > 0);
    for (ButtonPlus *b : {cmdSharpen, cmdSoften, cmdEffects})
        b->setEnabled(!text);
    set("mnuBrightness", !text);
    set("mnuEffects", !text);
    set("mnuCopy", text || picture);
    for (ButtonPlus *b : {cmdRotate, cmdRotateLeft, cmdRotateRight})
        b->setEnabled(text || picture);
    if (!o)
        platform::setPointer(platform::Pointer::Default);
}

void frmGrafik::adaptObjectSizeToZoom(const QString &key)
{
    try {
        auto &model = *gObjMoveableObjects();
        if (!model.object(key))
            throw std::runtime_error("no object under the key");
        ::adaptObjectSizeToZoom(model, key);
    } catch (...) {
        reportError(QStringLiteral("ERR_ADAPT_OBJECTSIZE_TO_ZOOM"), source("adaptObjectSizeToZoom"));
    }
}

void frmGrafik::doPopUpMenu(int x, int y, int mode)
{
    QAction *chosen = nullptr;
    try {
        const auto show = [this](const char *name, bool on) {
            if (QAction *a = menuEntry(QLatin1String(name)))
                a->setVisible(on);
        };
        const auto o = focusedObject();
        QString type;
        if (!o) {
            type = QStringLiteral("clsPictureObject");
            for (const char *n : {"mnuPopupDelete", "mnuPopupRotate", "mnuPopUpCopy", "mnuPopUpCenter",
                                  "mnuPopUpConvertTextToPicture", "mnuPopUpStretchText", "mnuPopUpLayerToForeground",
                                  "mnuPopUpLayerToBackground"})
                show(n, false);
            show("mnuPopUpEffects", true);
        } else {
            for (const char *n : {"mnuPopupDelete", "mnuPopupRotate", "mnuPopUpLine1", "mnuPopUpCopy", "mnuPopUpCenter",
                                  "mnuPopUpLayerToForeground", "mnuPopUpLayerToBackground"})
                show(n, true);
            type = o->typeName();
        }
        if (mode == 1)
            type = QStringLiteral("Effects");

        QMenu *target = nullptr;
        QPoint at;
        if (type == QLatin1String("clsPictureObject")) {
            show("mnuPopUpEditText", false);
            show("mnuPopUpConvertTextToPicture", false);
            show("mnuPopUpStretchText", false);
            show("mnuPopUpEffects", true);
            show("mnuPopUpSharpenEffects", true);
            show("mnuPopUpSoftenEffects", true);
            target = menu(QStringLiteral("mnuPopUpMenu"));
            at = igxMain->mapToGlobal(QPoint(x, y));
        } else if (type == QLatin1String("clsTextObject")) {
            show("mnuPopUpEditText", true);
            show("mnuPopUpConvertTextToPicture", true);
            show("mnuPopUpStretchText", rotationClass(o->mDblAngle) > 0);
            show("mnuPopUpEffects", false);
            show("mnuPopUpSharpenEffects", false);
            show("mnuPopUpSoftenEffects", false);
            target = menu(QStringLiteral("mnuPopUpMenu"));
            at = igxMain->mapToGlobal(QPoint(x, y));
        } else if (type == QLatin1String("Effects")) {
            show("mnuPopUpEditText", false);
            show("mnuPopUpConvertTextToPicture", false);
            show("mnuPopUpStretchText", false);
            show("mnuPopUpSharpenEffects", true);
            show("mnuPopUpSoftenEffects", true);
            show("mnuPopUpCenter", false);
            show("mnuPopUpLayerToForeground", false);
            show("mnuPopUpLayerToBackground", false);
            target = menu(QStringLiteral("mnuPopUpEffects"));
            at = centralWidget()->mapToGlobal(QPoint(x, y));
        } else {
            show("mnuPopUpEditText", false);
            show("mnuPopUpSharpenEffects", false);
            show("mnuPopUpSoftenEffects", false);
            show("mnuPopUpLayerToForeground", false);
            show("mnuPopUpLayerToBackground", false);
            show("mnuPopUpLine1", false);
        }
        if (target)
            chosen = platform::PopupMenus::get().popup(*target, at);
    } catch (...) {
        reportError(QStringLiteral("ERR_POPUPMENU"), source("doPopUpMenu"));
        return;
    }
    // The chosen entry's command runs here, outside the menu, once.
    if (chosen)
        if (const auto command = mPopUpCommands.find(chosen); command != mPopUpCommands.end())
            command->second();
}

// ---------------------------------------------------------------------------------------------
// Insertion and deletion

platform::ImgxImagePtr frmGrafik::loadPicture(const QString &path, platform::CodecResult *read)
{
    auto image = platform::ImgxImage::create();
    try {
        const platform::CodecResult r = image->loadFile(path, QString());
        if (read)
            *read = r;
    } catch (...) {
        image = platform::ImgxImage::create();
    }
    return image;
}

void frmGrafik::showUnloadedPicture(const platform::CodecResult &read)
{
    if (read.error == platform::CodecError::Busy)
        return; // another picture is being read: nothing was tried
    // A picture refused by the limits, or given up, says so; any other, that it cannot be read.
    const QString text = read.error == platform::CodecError::TooLarge || read.error == platform::CodecError::TooSlow
                             ? unreadablePictureText(read)
                             : getMessageText(QStringLiteral("MSG_FAILLOADIMAGE"),
                                              QStringLiteral("Selected image-file is corrupt oder image-type not supported"));
    platform::Prompter::get().msgBox(text, platform::MsgStyle::Information,
                                     getMessageText(QStringLiteral("MSG"), QStringLiteral("Message")));
}

void frmGrafik::addPicture(platform::ImgxImagePtr image)
{
    auto &model = *gObjMoveableObjects();
    model.AddClsPictureObject(std::move(image));
    shpFocusIgxMain->setVisible(false);
    const QString key = model.mStrFocusedObjectIndex;
    gObjUndos()->addOtherUndo(key, 1, QStringLiteral("AUTO"), QStringLiteral("NONE"));
    adaptObjectSizeToZoom(key);
    igxMain->refresh();
    // The new picture is the selected one: its frame, at the size the zoom gave it, instead of
    // the canvas's.
    model.showFocus(*igxMain);
}

void frmGrafik::igxMain_FilesDropped(const QStringList &paths)
{
    try {
        const QString file = paths.value(0);
        if (file.isEmpty())
            return;
        platform::setPointer(platform::Pointer::Hourglass);
        auto image = loadPicture(file);
        if (image->isEmpty()) {
            platform::setPointer(platform::Pointer::Default);
            return;
        }
        addPicture(std::move(image));
        mBoolDropPending = true;
        platform::setPointer(platform::Pointer::Default);
    } catch (...) {
        platform::setPointer(platform::Pointer::Default);
    }
}

void frmGrafik::cmdPicture_Click()
{
    try {
        platform::FileDialogRequest dialog;
        dialog.filter = gStrOpenImageFilter;
        localiseImgxDialog(dialog);
        const auto choice = platform::Choosers::get().chooseFile(dialog);
        if (choice && !choice->path.isEmpty()) {
            platform::setPointer(platform::Pointer::Hourglass);
            platform::CodecResult read;
            auto image = loadPicture(choice->path, &read);
            if (image->isEmpty()) {
                platform::setPointer(platform::Pointer::Default);
                showUnloadedPicture(read);
                return;
            }
            addPicture(std::move(image));
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_LOADPICTURE_EDITOR"), source("cmdPicture_Click"));
    }
    platform::setPointer(platform::Pointer::Default);
    igxMain->setFocus();
}

void frmGrafik::cmdText_Click()
{
    gObjTextObject = std::make_shared<clsTextObject>();
    EditorWindows::get().showModal(QStringLiteral("frmTextedit"), this, true);
    try {
        QApplication::processEvents();
        gObjMoveableObjects()->showFocus(*igxMain);
        QApplication::processEvents();
        igxMain->setFocus();
    } catch (...) {
    }
}

void frmGrafik::editFocusedText()
{
    try {
        const auto o = focusedObject();
        if (!o || !isText(*o))
            return;
        gObjTextObject = std::static_pointer_cast<clsTextObject>(o);
        EditorWindows::get().showModal(QStringLiteral("frmTextedit"), this, false);
        igxMain->setFocus();
    } catch (...) {
    }
}

void frmGrafik::doDeleteSelectedItem()
{
    try {
        const auto o = focusedObject();
        if (!o)
            return;
        auto &model = *gObjMoveableObjects();
        o->mBoolDeleted = true;
        gObjUndos()->addOtherUndo(model.mStrFocusedObjectIndex, 0, QStringLiteral("AUTO"), QStringLiteral("NONE"));
        model.mStrFocusedObjectIndex.clear();
        cmdRotate->setEnabled(false);
        cmdRotateLeft->setEnabled(false);
        cmdRotateRight->setEnabled(false);
        if (QAction *a = menuEntry(QStringLiteral("mnuBrightness")))
            a->setEnabled(true);
        cmdEffects->setEnabled(true);
        shpFocusIgxMain->setVisible(true);
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_DELETE_OBJECT"), source("doDeleteSelectedItem"));
    }
}

void frmGrafik::TimerMyTimer_Timer() { gObjGarbageCollector().doGargageCollect(*gObjMoveableObjects(), *gObjUndos()); }

// ---------------------------------------------------------------------------------------------
// Placement

void frmGrafik::doCenterObject(int mode)
{
    try {
        if (const auto o = focusedObject()) {
            const double x = igxMain->width() / 2.0 - o->W() / 2.0;
            const double y = igxMain->height() / 2.0 - o->H() / 2.0;
            if (mode == 1 || mode == 0)
                o->mObjPointMousePos->mLngX = roundToInt(x);
            if (mode == 2 || mode == 0)
                o->mObjPointMousePos->mLngY = roundToInt(y);
        }
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_CENTER"), source("doCenterObject"));
    }
}

void frmGrafik::doMoveObject(int dx, int dy)
{
    try {
        const auto o = focusedObject();
        if (!o)
            return;
        o->mObjPointMousePos->mLngX += dx;
        o->mObjPointMousePos->mLngY += dy;
        o->checkPosition();
        igxMain->refresh();
        gObjMoveableObjects()->showFocus(*igxMain);
    } catch (...) {
        reportError(QStringLiteral("ERR_DRAG"), source("doMoveObject"));
    }
}

void frmGrafik::convertTextToPicture()
{
    try {
        const auto o = focusedObject();
        if (!o || !isText(*o))
            return;
        auto &model = *gObjMoveableObjects();
        o->mBoolDeleted = true;
        const int x = o->X(), y = o->Y();
        model.AddClsPictureObject(o->mImgXPicture);
        if (const auto p = focusedObject()) {
            p->mObjPointMousePos->mLngX = x;
            p->mObjPointMousePos->mLngY = y;
        }
        igxMain->refresh();
        model.showFocus(*igxMain);
    } catch (...) {
        reportError(QStringLiteral("ERR_CONVERTTEXTTOPICTURE"), source("convertTextToPicture"));
    }
}

void frmGrafik::doStretch()
{
    try {
        const auto o = focusedObject();
        if (o && isText(*o)) {
            auto text = std::static_pointer_cast<clsTextObject>(o);
            auto &model = *gObjMoveableObjects();
            const auto &image = igxMain->image();
            // A stretch draws the text at the zoom itself, once; a text it cannot stretch is
            // fitted to the zoom here.
            switch (rotationClass(text->mDblAngle)) {
            case 1:
                // The width on the canvas at its zoom; the height full-scale (the text applies the zoom).
                text->stretchToWidth(roundToInt(image->width() * gDblZoomFactor), model.objEffects.get());
                break;
            case 2:
                text->stretchToHeight(image->height(), model.objEffects.get());
                break;
            default:
                adaptObjectSizeToZoom(model.mStrFocusedObjectIndex);
                break;
            }
        }
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_CENTER"), source("doStretch"));
    }
}

void frmGrafik::moveToForeground()
{
    if (focusedObject())
        gObjMoveableObjects()->moveFocusedObjectToForeground();
    igxMain->refresh();
}

void frmGrafik::moveToBackground()
{
    if (focusedObject())
        gObjMoveableObjects()->moveFocusedObjectToBackground();
    igxMain->refresh();
}

bool openGraphicsEditor(QWidget *)
{
    if (frmGrafik::instance())
        return false;
    auto *editor = new frmGrafik(nullptr);
    editor->show();
    return true;
}
