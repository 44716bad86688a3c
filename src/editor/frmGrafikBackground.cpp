// The graphics editor's new background, blank sheet and its manual brightness and
// sharpen/soften dialogs.
#include "canvas/Globals.h"
#include "canvas/clsEffects.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsUndos.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "editor/EditorDialogRunner.h"
#include "editor/frmBrightness.h"
#include "editor/frmGrafik.h"
#include "editor/frmNewCover.h"
#include "editor/frmSharpSoft.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"

namespace {

QString source(const char *procedure) { return QStringLiteral("frmGrafik.") + QLatin1String(procedure); }

} // namespace

void frmGrafik::restoreRecordedSizes()
{
    igxMain->resize(mLngCanvasWidth, mLngCanvasHeight);
    resize(mLngFormWidth, mLngFormHeight);
}

void frmGrafik::doNewCover()
{
    try {
        frmPelmora *main = frmPelmora::instance();
        if (!main)
            throw AppError(ErrNo::ObjectNotSet, QStringLiteral("There is no main window to take the background"));
        const auto s = size_t(mIntSide);
        main->mBoolNewCoverCancelled = true;
        // Cancel gives back the image from before this new background.
        if (!gIgxBackup[s])
            gIgxBackup[s] = platform::ImgxImage::create();
        mImgXStartBackup = std::make_unique<platform::ImgxImage>(*gIgxBackup[s]);
        {
            frmNewCover dialog(this);
            EditorDialogRunner::get().run(dialog);
        }
        if (main->mBoolNewCoverCancelled)
            return;
        restoreRecordedSizes();
        gDblOldZoomFactor = gDblZoomFactor;
        auto &model = gObjMoveableObjects();
        bool keep = false;
        if (model->holdsVisibleObjects())
            keep = platform::Prompter::get().msgBox(
                       getMessageText(QStringLiteral("MSG_NEWCOVER"), QStringLiteral("Keep all Objects ?")),
                       platform::MsgStyle::YesNo, getMessageText(QStringLiteral("MSG"), QStringLiteral("Message")))
                   == platform::MsgAnswer::Yes;
        // The hourglass while the editor takes the new background.
        const platform::BusyPointer busy;
        if (keep) {
            initAll(true, true);
        } else {
            model = newMoveableObjects();
            initAll(false, false);
        }
        dropBackgroundUndos();
        igxMain->refresh();
        igxMain->repaint();
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGES"), source("doNewCover"));
    }
}

void frmGrafik::cmdBlankSheet_Click()
{
    try {
        frmPelmora *main = frmPelmora::instance();
        if (!main)
            throw AppError(ErrNo::ObjectNotSet, QStringLiteral("There is no main window to take the background"));
        main->mBoolNewCoverCancelled = true;
        {
            // The dialog's first settings, a white sheet, painted without showing it.
            frmNewCover sheet(this);
            sheet.cmdOk_Click();
        }
        if (main->mBoolNewCoverCancelled)
            return;
        restoreRecordedSizes();
        gObjMoveableObjects() = newMoveableObjects();
        initAll(false, false);
        gObjUndos() = std::make_shared<clsUndos>();
        igxMain->refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGES"), source("cmdBlankSheet_Click"));
    }
}

platform::ImgxImagePtr frmGrafik::effectTarget(bool &cancelled) const
{
    cancelled = false;
    if (const auto o = focusedObject()) {
        if (o->typeName() != QLatin1String("clsPictureObject")) {
            cancelled = true;
            return nullptr;
        }
        return o->mImgXPicture;
    }
    return igxMain->image();
}

void frmGrafik::editBrightness()
{
    try {
        bool cancelled = false;
        const platform::ImgxImagePtr target = effectTarget(cancelled);
        if (cancelled)
            return;
        const QString key = focusedKey();
        const QImage before = target ? target->qimage() : QImage();
        frmBrightness dialog(this);
        dialog.mBoolCalledFromEditor = true;
        // The dialog has changed the target; the other images of the same picture follow.
        dialog.applyInEditor = [this, key, before](int brightness, int contrast) {
            auto &model = *gObjMoveableObjects();
            const auto apply = [&](const platform::ImgxImagePtr &image) {
                if (image && !image->isEmpty())
                    image->brightnessContrast(brightness, contrast, QString());
            };
            if (!key.isEmpty()) {
                if (const auto o = model.object(key); o && o->mBoolIsRotated)
                    apply(o->mImgXBackup);
            } else {
                if (model.mObjBackground && model.mObjBackground->mBoolIsRotated)
                    apply(model.mObjBackground->mImgXBackup);
                sideFollowsCanvas(before, apply);
            }
            igxMain->refresh();
            igxMain->repaint();
            gObjUndos()->addImgxUndo(key, gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.UNDOBRIGHTNESS"),
                                                                     QStringLiteral("Brightness & Contrast")));
        };
        dialog.Setup(target);
        EditorDialogRunner::get().run(dialog);
    } catch (...) {
        reportError(QStringLiteral("ERR_BRIGHTER"), source("editBrightness"));
    }
}

void frmGrafik::doSharpSoft(bool sharpen)
{
    try {
        bool cancelled = false;
        const platform::ImgxImagePtr target = effectTarget(cancelled);
        if (cancelled)
            return;
        frmSharpSoft dialog(this);
        dialog.mBoolSharpen = sharpen;
        // From the editor always the editor's way: the focused picture or the background
        // with the side's image, and one undo entry.
        dialog.mBoolCalledFromEditor = true;
        dialog.applyInEditor = [this, sharpen](int percent) {
            if (sharpen)
                doSharpen(percent);
            else
                doSoften(percent);
        };
        dialog.Form_Load();
        dialog.Setup(target);
        EditorDialogRunner::get().run(dialog);
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGES"), source("doSharpSoft"));
    }
}
