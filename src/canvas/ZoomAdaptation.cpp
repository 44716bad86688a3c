#include "canvas/ZoomAdaptation.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/ErrorReport.h"
#include "platform/Rounding.h"

#include <cmath>

void adaptObjectSizeToZoom(clsMoveableObjects &model, const QString &key)
{
    try {
        const auto o = model.object(key);
        if (!o)
            return;
        if (o->typeName() == QLatin1String("clsTextObject")) {
            static_cast<clsTextObject &>(*o).renderAtZoom(gDblZoomFactor, model.objEffects.get());
        } else if (o->typeName() == QLatin1String("clsPictureObject")) {
            o->mImgXPicture->resizeToWidth(roundToInt(o->W() * gDblZoomFactor), 13, platform::kNoUndo);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_ADAPT_OBJECTSIZE_TO_ZOOM"), QStringLiteral("frmGrafik.adaptObjectSizeToZoom"));
    }
}

void keepObjectsOnCover(clsMoveableObjects &model, double zoomBefore, double zoomAfter)
{
    if (!(zoomBefore > 0))
        zoomBefore = 1;
    if (!(zoomAfter > 0) || !std::isfinite(zoomBefore) || !std::isfinite(zoomAfter))
        return;
    // Deleted texts too: an undo brings them back as large as the others.
    const double scale = zoomBefore / zoomAfter;
    for (const auto &[key, o] : model.colMoveableObjects)
        if (o && o->typeName() == QLatin1String("clsTextObject")) {
            auto &text = static_cast<clsTextObject &>(*o);
            text.setFontSize(text.fontSize() * scale);
        }
    model.dblZoomFactor = zoomAfter;
}
