#pragma once
// Program-wide state of the canvas objects.
#include <memory>

class clsMoveableObjects;
class clsTextGradient;
class clsTextObject;

// The canvas model the graphics editor works on; created when first asked for.
std::shared_ptr<clsMoveableObjects> &gObjMoveableObjects();
// The editor canvas's zoom, and the zoom the objects are currently sized for (0 counts as 1).
inline double gDblZoomFactor = 1.0;
inline double gDblOldZoomFactor = 0.0;
// The one slot for a text-object snapshot (the text editor's and a text resize's).
inline std::shared_ptr<clsTextObject> gObjTextObjectBefore;
// The text object the text editor works on: the one being edited, or the new one.
inline std::shared_ptr<clsTextObject> gObjTextObject;
// The default gradient: white to black, left to right, unless a dialog set it otherwise;
// created by the first dialog that needs it.
inline std::shared_ptr<clsTextGradient> gObjDefaultTextGradient;

namespace canvas {
void resetForTests();
}
