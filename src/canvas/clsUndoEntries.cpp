// Undoing the newest entry of the undo stack.
#include "canvas/CanvasServices.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/ErrorReport.h"
#include "core/mdlUtilImaging.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Prompter.h"

namespace {

// The answer to an entry that cannot apply: fixed texts, not language texts.
void neverAppears(const char *text)
{
    platform::Prompter::get().msgBox(QString::fromLatin1(text), platform::MsgStyle::Critical, QStringLiteral("Error"));
}

double angleOf(const UndoParameter &p)
{
    if (const double *d = std::get_if<double>(&p))
        return *d;
    if (const QString *s = std::get_if<QString>(&p))
        return s->toDouble();
    return 0;
}

} // namespace

void clsUndos::doLastUndo(clsMoveableObjects &model, platform::ImgxCanvas &igxCtrl)
{
    try {
        if (mintUndoIndex < 1) {
            neverAppears("This Error Message should never appear");
            return;
        }
        const QString key = QString::number(mintUndoIndex);
        const clsUndoEntryPtr entry = colUndos.value(key);
        if (entry) {
            entry->doUndo(model, igxCtrl);
            const QString objectKey = entry->mstrMoveableObjectIndex;
            if (!objectKey.isEmpty()) {
                const auto o = model.object(objectKey);
                if (o && o->typeName() == QLatin1String("clsTextObject"))
                    CanvasServices::get().adaptObjectSizeToZoom(objectKey);
            }
        }
        colUndos.remove(key);
        --mintUndoIndex;
        igxCtrl.refresh();
    } catch (...) {
        reportError(QStringLiteral("ERR_DOLASTUNDO"), QStringLiteral("clsUndos.doLastUndo"));
    }
}

void clsOtherUndo::doUndo(clsMoveableObjects &model, platform::ImgxCanvas &igxCtrl)
{
    try {
        const QString key = mstrMoveableObjectIndex;
        const clsCanvasObjectPtr o = key.isEmpty() ? nullptr : model.object(key);
        switch (mIntUndoType) {
        case Delete:
            if (key.isEmpty()) {
                neverAppears("This Errormessage should never appear");
            } else if (o) {
                o->mBoolDeleted = false;
                igxCtrl.refresh();
            }
            break;
        case Insert:
            if (key.isEmpty()) {
                neverAppears("This Errormessage should never appear");
            } else {
                if (o)
                    o->mImgXPicture.reset();
                model.colMoveableObjects.remove(key);
                model.colObjectLayers.remove(key);
                model.mStrFocusedObjectIndex.clear();
                model.showFocus(igxCtrl);
                igxCtrl.refresh();
            }
            break;
        case Rotate: {
            const double angle = angleOf(mVarParameter);
            clsEffects fallback;
            clsEffects &fx = model.objEffects ? *model.objEffects : fallback;
            if (key.isEmpty()) {
                if (model.mObjBackground) {
                    model.mObjBackground->doRestoreFromBackup(igxCtrl);
                    fx.rotate(*igxCtrl.image(), float(angle), 0, false);
                    model.mObjBackground->mDblAngle = angle;
                }
            } else if (o) {
                o->doRestoreFromBackup();
                o->mDblAngle = angle;
                fx.rotate(*o->mImgXPicture, float(angle), 0, false);
            }
            igxCtrl.refresh();
            break;
        }
        case EditText: {
            const auto *snapshot = std::get_if<clsCanvasObjectPtr>(&mVarParameter);
            if (key.isEmpty() || !o || o->typeName() != QLatin1String("clsTextObject") || !snapshot || !*snapshot
                || (*snapshot)->typeName() != QLatin1String("clsTextObject")) {
                neverAppears("This Error Message should never ever appear");
                break;
            }
            auto &t = static_cast<clsTextObject &>(*o);
            t.copy(static_cast<const clsTextObject &>(**snapshot));
            t.TextToImgX(model.objEffects.get());
            break;
        }
        case Resize: {
            const auto *snapshot = std::get_if<clsCanvasObjectPtr>(&mVarParameter);
            if (o && o->typeName() == QLatin1String("clsPictureObject") && snapshot && *snapshot
                && (*snapshot)->typeName() == QLatin1String("clsPictureObject")) {
                static_cast<clsPictureObject &>(*o).copy(static_cast<const clsPictureObject &>(**snapshot));
                igxCtrl.refresh();
            }
            break;
        }
        default:
            break;
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_DOLASTUNDO"), QStringLiteral("clsOtherUndo.doUndo"));
    }
}

void clsImgxUndo::doUndo(clsMoveableObjects &model, platform::ImgxCanvas &igxCtrl)
{
    try {
        if (mstrMoveableObjectIndex.isEmpty()) {
            if (model.mObjBackground && model.mObjBackground->mBoolIsRotated)
                undoImgxStepsByObject(*model.mObjBackground->mImgXBackup, igxCtrl);
            if (const auto side = CanvasServices::get().editedSideImage())
                side->undo();
            undoImgxSteps(igxCtrl, 0);
        } else if (const auto o = model.object(mstrMoveableObjectIndex)) {
            if (o->mBoolIsRotated && o->mImgXBackup)
                undoImgxStepsByObject(*o->mImgXBackup, igxCtrl);
            if (o->mImgXPicture)
                undoImgxStepsByObject(*o->mImgXPicture, igxCtrl);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_DOLASTUNDO"), QStringLiteral("clsImgxUndo.doUndo"));
    }
}
