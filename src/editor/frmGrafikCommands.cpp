// The graphics editor's File, Edit and Effects commands, its rotate and undo windows.
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsEffects.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "editor/EditorDialogRunner.h"
#include "editor/frmGrafik.h"
#include "editor/frmRotate.h"
#include "editor/frmUndoOverview.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/SaveTarget.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QMenu>

#include <optional>

namespace {

QString source(const char *procedure) { return QStringLiteral("frmGrafik.") + QLatin1String(procedure); }

QString langText(const char *key, const char *defaultText)
{
    return gObjLanguageStore().getVar(QLatin1String(key), QString::fromUtf8(defaultText));
}

void enableEntry(const frmGrafik &editor, const char *name, bool on)
{
    if (QAction *a = editor.menuEntry(QLatin1String(name)))
        a->setEnabled(on);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// File

void frmGrafik::mnuLoad_Click()
{
    try {
        platform::FileDialogRequest dialog;
        dialog.filter = gStrOpenImageFilter;
        localiseImgxDialog(dialog);
        const auto choice = platform::Choosers::get().chooseFile(dialog);
        if (!choice || choice->path.isEmpty())
            return;
        platform::setPointer(platform::Pointer::Hourglass);
        platform::CodecResult read;
        auto image = loadPicture(choice->path, &read);
        if (image->isEmpty()) {
            platform::setPointer(platform::Pointer::Default);
            showUnloadedPicture(read);
            return;
        }
        // Fitted to the side's preview box as at opening, so that the objects keep their
        // places on the preview and on paper.
        adaptImageSizeOnInit(*image, mIntSide);
        mImgXWorking = image;
        auto shown = platform::ImgxImage::create();
        shown->importImage(*mImgXWorking, platform::kNoUndo);
        shown->setUndoLevels(platform::ImgxCanvas::kUndoLevels);
        igxMain->setImage(shown);
        auto &model = *gObjMoveableObjects();
        model.mObjBackground = std::make_shared<clsBackground>();
        model.mObjBackground->mIgxCtrlRefToBackground = igxMain;
        dropBackgroundUndos();
        layoutEditorWindow();
        positionFocusFrame();
        // The canvas shows the cover as large as before, at the new picture's zoom: the
        // objects keep their place and size on it.
        gDblZoomFactor = igxMain->zoom();
        keepObjectsOnCover(model, gDblOldZoomFactor, gDblZoomFactor);
        gDblOldZoomFactor = gDblZoomFactor;
        adaptObjectSizesToZoom(nullptr);
        igxMain->refresh();
        platform::setPointer(platform::Pointer::Default);
    } catch (...) {
        reportError(QStringLiteral("ERR_LOADPICTURE_EDITOR"), source("mnuLoad_Click"));
    }
}

void frmGrafik::dropBackgroundUndos()
{
    clsUndos &undos = *gObjUndos();
    KeyedCollection<clsUndoEntryPtr> kept;
    for (const auto &[key, e] : undos.colUndos) {
        if (!e || e->mstrMoveableObjectIndex.isEmpty())
            continue;
        e->mstrUndoIndex = QString::number(kept.count() + 1);
        kept.add(e->mstrUndoIndex, e);
    }
    undos.colUndos = kept;
    undos.mintUndoIndex = std::int16_t(kept.count());
}

void frmGrafik::flattenAndSave()
{
    const platform::ImgxImagePtr &canvasImage = igxMain->image();
    if (!canvasImage || canvasImage->isEmpty())
        throw AppError(ErrNo::ObjectNotSet, QStringLiteral("The canvas has no picture"));
    auto &model = *gObjMoveableObjects();
    auto flat = platform::ImgxImage::create();
    flat->importImage(*canvasImage, platform::kNoUndo);
    // A picture made to be written out keeps no undo steps.
    flat->setUndoLevels(0);
    model.drawObjects(*flat, gDblZoomFactor);
    platform::setPointer(platform::Pointer::Hourglass);
    const platform::CodecResult saved = flat->saveFile(mStrSaveFileName, mLngSaveImageType);
    platform::setPointer(platform::Pointer::Default);
    if (!saved)
        throw AppError(ErrNo::PathFileAccess, saved.message);
    igxMain->refresh();
}

void frmGrafik::mnuSave_Click()
{
    if (mStrSaveFileName.isEmpty()) {
        mnuSaveAs_Click();
        return;
    }
    try {
        flattenAndSave();
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_COVER"), source("mnuSave_Click"));
    }
}

void frmGrafik::mnuSaveAs_Click()
{
    try {
        platform::FileDialogRequest dialog;
        dialog.save = true;
        dialog.confirmOverwrite = true;
        dialog.filter = gStrSaveImageFilter;
        // The row of the canvas image's own type, if the save formats have it.
        const int type = igxMain->image() ? igxMain->image()->imageType() : 0;
        for (int row = 1; row <= 10; ++row) {
            int code = 0;
            getImageFormat(row, code);
            if (code == type)
                dialog.filterIndex = row;
        }
        int code = 0;
        dialog.defaultSuffix = getImageFormat(dialog.filterIndex, code);
        localiseImgxDialog(dialog);
        const auto chosen = platform::Choosers::get().chooseFile(dialog);
        if (!chosen || chosen->path.isEmpty())
            return;
        const std::optional<ImageSaveTarget> target = imageSaveTarget(chosen->path, chosen->filterIndex);
        if (!target)
            return;
        mStrSaveFileName = target->path;
        mLngSaveImageType = target->saveType;
        flattenAndSave();
        enableEntry(*this, "mnuSave", true);
    } catch (...) {
        platform::setPointer(platform::Pointer::Default);
        reportError(QStringLiteral("ERR_SAVE_COVER"), source("mnuSaveAs_Click"));
    }
}

// ---------------------------------------------------------------------------------------------
// Edit

void frmGrafik::mnuEdit_Click()
{
    const QString last = gObjUndos()->getLastUndoText();
    if (QAction *undo = menuEntry(QStringLiteral("mnuUndo"))) {
        undo->setText(langText("OTHERCONSTANTS.UNDO", "Undo") + u' ' + last);
        undo->setEnabled(!last.isEmpty());
    }
    enableEntry(*this, "mnuDelete", !focusedKey().isEmpty());
}

void frmGrafik::mnuUndo_Click()
{
    try {
        gObjUndos()->doLastUndo(*gObjMoveableObjects(), *igxMain);
        if (igxMain->zoom() != gDblZoomFactor) {
            adaptObjectSizesToZoom(nullptr);
            igxMain->refresh();
        }
    } catch (...) {
    }
    // An undo may take the focused object away or bring one back: the entries follow the
    // canvas as it is now, not as the mouse last found it.
    try {
        enableForFocus();
    } catch (...) {
    }
}

void frmGrafik::mnuCopy_Click()
{
    try {
        const auto o = focusedObject();
        if (!o)
            return;
        if (o->typeName() == QLatin1String("clsTextObject")) {
            auto copy = std::make_shared<clsTextObject>();
            copy->copy(static_cast<const clsTextObject &>(*o));
            mObjClipboard = copy;
        } else {
            // The picture as shown, turned as it is; neither its backup nor its place.
            auto image = platform::ImgxImage::create();
            image->importImage(*o->mImgXPicture, QString());
            mObjClipboard = image;
        }
        enableEntry(*this, "mnuPaste", true);
        enableEntry(*this, "mnuPopUpPaste", true);
    } catch (...) {
        reportError(QStringLiteral("ERR_COPYPICTURE_CLIPBOARD"), source("mnuCopy_Click"));
    }
}

void frmGrafik::mnuPaste_Click()
{
    try {
        auto &model = *gObjMoveableObjects();
        bool added = false;
        if (const auto *t = std::get_if<std::shared_ptr<clsTextObject>>(&mObjClipboard); t && *t) {
            model.AddClsTextObject(**t);
            added = true;
        } else if (const auto *i = std::get_if<platform::ImgxImagePtr>(&mObjClipboard); i && *i) {
            // Each pasted picture has an image of its own, so that an effect on one leaves
            // the others alone.
            auto image = platform::ImgxImage::create();
            image->importImage(**i, QString());
            model.AddClsPictureObject(image);
            added = true;
        }
        if (added)
            gObjUndos()->addOtherUndo(model.mStrFocusedObjectIndex, clsOtherUndo::Insert, QStringLiteral("AUTO"),
                                      QStringLiteral("NONE"));
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_PASTEPICTURE_CLIPBOARD"), source("mnuPaste_Click"));
    }
}

void frmGrafik::mnuDeleteAll_Click()
{
    try {
        auto &model = *gObjMoveableObjects();
        if (model.colMoveableObjects.count() >= 1) {
            const int answer = platform::Prompter::get().msgBox(
                getMessageText(QStringLiteral("MSG_DELETEALL"),
                               QStringLiteral("Do you really want to delete all objects (and Undo's) ?")),
                platform::MsgStyle::YesNo, getMessageText(QStringLiteral("MSG"), QStringLiteral("Message")));
            if (answer == platform::MsgAnswer::Yes) {
                model.colMoveableObjects.clear();
                model.colObjectLayers.clear();
                gObjUndos()->colUndos.clear();
                model.mStrFocusedObjectIndex.clear();
                gObjUndos()->mintUndoIndex = 0;
                model.showFocus(*igxMain);
            }
        }
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_DELETE_ALLOBJECTS"), source("mnuDeleteAll_Click"));
    }
}

// ---------------------------------------------------------------------------------------------
// Effects

template <class Apply>
void frmGrafik::runEffect(const char *undoKey, const char *undoDefault, const char *errorKey, const char *procedure,
                          Apply apply)
{
    // The hourglass from the first picture filtered until the canvas is shown anew.
    std::optional<platform::BusyPointer> busy;
    try {
        auto &model = *gObjMoveableObjects();
        if (!model.objEffects)
            model.objEffects = std::make_shared<clsEffects>();
        clsEffects &effects = *model.objEffects;
        if (const auto o = focusedObject()) {
            // A text's image is rendered from its settings; an effect on it would not last.
            if (o->typeName() == QLatin1String("clsTextObject"))
                return;
            busy.emplace();
            apply(effects, *o);
            gObjUndos()->addImgxUndo(model.mStrFocusedObjectIndex, langText(undoKey, undoDefault));
        } else {
            if (!model.mObjBackground)
                throw AppError(ErrNo::ObjectNotSet, QStringLiteral("The canvas has no background"));
            busy.emplace();
            const platform::ImgxImagePtr canvasImage = igxMain->image();
            const QImage before = canvasImage ? canvasImage->qimage() : QImage();
            apply(effects, *model.mObjBackground);
            sideFollowsCanvas(before, [&](const platform::ImgxImagePtr &side) {
                ImgxElement element(side);
                apply(effects, element);
            });
            gObjUndos()->addImgxUndo(QString(), langText(undoKey, undoDefault));
        }
        igxMain->refresh();
        igxMain->repaint();
    } catch (...) {
        busy.reset();
        reportError(QLatin1String(errorKey), source(procedure));
    }
}

void frmGrafik::sideFollowsCanvas(const QImage &canvasBefore,
                                  const std::function<void(const platform::ImgxImagePtr &)> &change)
{
    const auto &side = gIgxBackup[size_t(mIntSide)];
    if (!side || side->isEmpty())
        return;
    const platform::ImgxImagePtr &canvasImage = igxMain->image();
    if (canvasImage && canvasImage->qimage().cacheKey() != canvasBefore.cacheKey() && side->qimage() == canvasBefore)
        side->setQImage(canvasImage->qimage(), platform::kDefaultUndoText, side->imageType());
    else
        change(side);
}

void frmGrafik::doSharpen(long percent)
{
    runEffect("OTHERCONSTANTS.UNDOSHARPEN", "Sharpen", "ERR_SHARPEN", "doSharpen",
              [percent](clsEffects &fx, clsElement &target) { fx.sharpen(target, percent, 3, false); });
}

void frmGrafik::doSoften(long percent)
{
    runEffect("OTHERCONSTANTS.UNDOSOFTEN", "Soften", "ERR_SOFTEN", "doSoften",
              [percent](clsEffects &fx, clsElement &target) { fx.soften(target, percent); });
}

void frmGrafik::doNegativ()
{
    runEffect("OTHERCONSTANTS.UNDONEGATIVE", "Negative", "ERR_NEGATIV", "doNegativ",
              [](clsEffects &fx, clsElement &target) { fx.negative(target); });
}

void frmGrafik::doGrayscale()
{
    runEffect("OTHERCONSTANTS.UNDOGRAYSCALE", "Grayscale", "ERR_GRAYSCALE", "doGrayscale",
              [](clsEffects &fx, clsElement &target) { fx.grayscale(target); });
}

void frmGrafik::doAutoBrightness()
{
    runEffect("OTHERCONSTANTS.UNDOAUTOBRIGHTNESS", "Auto-Brightness", "ERR_BRIGHTER", "doAutoBrightness",
              [](clsEffects &fx, clsElement &target) { fx.autoBrightness(target); });
}

void frmGrafik::doFlip(std::uint8_t direction)
{
    runEffect("OTHERCONSTANTS.UNDOFLIP", "Flip", "ERR_FLIP", "doFlip",
              [direction](clsEffects &fx, clsElement &target) { fx.flip(target, direction); });
}

// ---------------------------------------------------------------------------------------------
// Rotation and the undo overview

void frmGrafik::cmdRotate_Click()
{
    {
        frmRotate dialog(this);
        EditorDialogRunner::get().run(dialog);
    }
    igxMain->setFocus();
}

void frmGrafik::cmdUndoOverview_Click() { frmUndoOverview::showOverview(); }
