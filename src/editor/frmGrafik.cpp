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
            // The side's picture is fitted to its box once, as a new format fits it: the canvas
            // then shares its pixels instead of holding a fitted copy beside it (the preview and
            // paper show the fitted picture either way).
            adaptImageSizeOnInit(*gIgxBackup[s], mIntSide);
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
        if (fitRecordedSizesToScreen())
            layoutEditorWindow();
        positionFocusFrame();
        gDblZoomFactor = igxMain->zoom();
        if (keepObjects) {
            // The canvas shows the cover as large as before, at another zoom: the objects keep
            // their place and size on it.
            keepObjectsOnCover(*model, gDblOldZoomFactor, gDblZoomFactor);
            gDblOldZoomFactor = gDblZoomFactor;
        }
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
    // A picture refused by the limits, or given up, says so, and so does a reader that cannot
    // read; any other picture, that it cannot be read.
    const QString text = read.error == platform::CodecError::TooLarge || read.error == platform::CodecError::TooSlow ||
                                 platform::isReaderFailure(read.error)
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
