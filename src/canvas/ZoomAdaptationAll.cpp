#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"

void adaptObjectSizesToZoom(std::shared_ptr<clsMoveableObjects> *model)
{
    try {
        std::shared_ptr<clsMoveableObjects> m = model ? *model : nullptr;
        if (!m) {
            m = gObjMoveableObjects();
            if (model)
                *model = m;
            gDblZoomFactor = CanvasServices::get().editorCanvas().zoom();
        }
        if (gDblZoomFactor <= 0)
            throw AppError(ErrNo::InvalidCall, QStringLiteral("The zoom must be above 0"));
        if (gDblOldZoomFactor == 0)
            gDblOldZoomFactor = 1.0;
        const bool zoomChanged = gDblOldZoomFactor != gDblZoomFactor;
        // Texts too large to be drawn at this zoom keep their pictures; the user is told once.
        const clsTextObject::QuietTooLarge quiet;
        for (const auto &[key, o] : m->colMoveableObjects) {
            if (!o || o->mBoolDeleted)
                continue;
            if (o->typeName() == QLatin1String("clsPictureObject")) {
                if (zoomChanged && o->mImgXPicture && !o->mImgXPicture->isEmpty()) {
                    o->mImgXPicture->resizeToWidth(roundToInt(o->W() * (1.0 / gDblOldZoomFactor)), 13, platform::kNoUndo);
                    o->mImgXPicture->resizeToWidth(roundToInt(o->W() * gDblZoomFactor), 13, platform::kNoUndo);
                }
            } else if (o->typeName() == QLatin1String("clsTextObject")) {
                static_cast<clsTextObject &>(*o).renderAtZoom(gDblZoomFactor, m->objEffects.get());
            }
        }
        gDblOldZoomFactor = gDblZoomFactor;
        if (quiet.refused())
            clsTextObject::tellTooLarge();
    } catch (...) {
        reportError(QStringLiteral("ERR_ADAPT_OBJECTSIZE_TO_ZOOM"), QStringLiteral("mdlUtil.adaptObjectSizesToZoom"));
    }
}
