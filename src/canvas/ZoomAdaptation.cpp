#include "canvas/ZoomAdaptation.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "core/ErrorReport.h"
#include "platform/Rounding.h"

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
