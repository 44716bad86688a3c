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
            auto &t = static_cast<clsTextObject &>(*o);
            const double size = t.fontSize();
            const float width = t.mSnglWidthInPercent;
            t.setFontSize(size * gDblZoomFactor);
            t.mSnglWidthInPercent = float(width * gDblZoomFactor);
            t.TextToImgX(model.objEffects.get());
            t.setFontSize(size);
            // A width raised to 1 while rendering stays raised, as rendering leaves it.
            t.mSnglWidthInPercent = std::max(width, 1.0f);
        } else if (o->typeName() == QLatin1String("clsPictureObject")) {
            o->mImgXPicture->resizeToWidth(roundToInt(o->W() * gDblZoomFactor), 13, platform::kNoUndo);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_ADAPT_OBJECTSIZE_TO_ZOOM"), QStringLiteral("frmGrafik.adaptObjectSizeToZoom"));
    }
}
