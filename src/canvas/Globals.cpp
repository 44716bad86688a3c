#include "canvas/Globals.h"

#include "canvas/CanvasServices.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "platform/imaging/ImgxCanvas.h"

namespace {
std::shared_ptr<clsMoveableObjects> &editedModel()
{
    static std::shared_ptr<clsMoveableObjects> m;
    return m;
}

// Until the graphics editor installs itself: a canvas of our own, and re-fitting on the
// editor's canvas model.
class StandInServices final : public CanvasServices {
public:
    platform::ImgxCanvas &editorCanvas() override
    {
        if (!canvas_)
            canvas_ = std::make_unique<platform::ImgxCanvas>();
        return *canvas_;
    }
    void adaptObjectSizeToZoom(const QString &key) override { ::adaptObjectSizeToZoom(*gObjMoveableObjects(), key); }

private:
    std::unique_ptr<platform::ImgxCanvas> canvas_;
};

std::unique_ptr<CanvasServices> &servicesSlot()
{
    static std::unique_ptr<CanvasServices> s;
    return s;
}
} // namespace

std::shared_ptr<clsMoveableObjects> &gObjMoveableObjects()
{
    auto &m = editedModel();
    if (!m)
        m = std::make_shared<clsMoveableObjects>();
    return m;
}

CanvasServices &CanvasServices::get()
{
    auto &s = servicesSlot();
    if (!s)
        s = std::make_unique<StandInServices>();
    return *s;
}

void CanvasServices::install(std::unique_ptr<CanvasServices> services) { servicesSlot() = std::move(services); }
void CanvasServices::reset() { servicesSlot().reset(); }

namespace canvas {
void resetForTests()
{
    editedModel().reset();
    gDblZoomFactor = 1.0;
    gDblOldZoomFactor = 0.0;
    gObjTextObjectBefore.reset();
    gObjTextObject.reset();
    gObjDefaultTextGradient.reset();
    gObjUndos().reset();
    CanvasServices::reset();
}
} // namespace canvas
