#pragma once
// What the canvas objects need of the windows built on top of them: the graphics editor's
// canvas control and its re-fitting of an object to the zoom. The editor installs its own while
// it is open and tests install theirs; asking with neither installed stops the program.
#include "platform/imaging/ImgxImage.h"

#include <QString>
#include <memory>

namespace platform { class ImgxCanvas; }

class CanvasServices {
public:
    virtual ~CanvasServices() = default;
    // The editor's canvas control (never null).
    virtual platform::ImgxCanvas &editorCanvas() = 0;
    // Renders the object under key of the edited model at the current zoom.
    virtual void adaptObjectSizeToZoom(const QString &key) = 0;
    // The cover image of the side being edited, as the main window holds it; nothing when
    // no side is being edited.
    virtual platform::ImgxImagePtr editedSideImage() { return nullptr; }

    static CanvasServices &get();
    static void install(std::unique_ptr<CanvasServices> services);
    static void reset();
};
