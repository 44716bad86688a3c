#include "canvas/Globals.h"

#include "canvas/CanvasServices.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"

#include <QtGlobal>

namespace {
std::shared_ptr<clsMoveableObjects> &editedModel()
{
    static std::shared_ptr<clsMoveableObjects> m;
    return m;
}

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
    // The graphics editor installs its canvas while it is open; nothing else has one.
    if (!s)
        qFatal("No graphics editor canvas is installed.");
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
