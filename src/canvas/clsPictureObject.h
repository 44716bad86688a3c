#pragma once
// One bitmap on the canvas of a cover side: a dropped or loaded picture, or a text turned
// into a picture. Its size is always that of its image.
#include "canvas/clsCanvasObject.h"

class clsPictureObject final : public clsCanvasObject {
public:
    clsPictureObject();
    QString typeName() const override { return QStringLiteral("clsPictureObject"); }

    void copy(const clsPictureObject &source);
    // With a margin of 2 pixels around the picture.
    bool isInMousePosition(int x, int y) const override;
    void DrawToImgX(platform::ImgxImage &target, double zoom, clsEffects *effects, double scale = 1.0) override;
    clsCanvasObjectPtr clone() const override;

    // Resizing by the eight handles; corners keep the aspect ratio.
    std::int16_t isInResizePosition(int relX, int relY) override;
    void startResize(int x, int y) override;
    void doResize(int x, int y) override;
    void stopResize() override;
    void checkPosition() override;

    // Where the picture stood when its resize started (kept by the Resize undo entry).
    clsPoint mObjPointResizeStart;
};

using clsPictureObjectPtr = std::shared_ptr<clsPictureObject>;
