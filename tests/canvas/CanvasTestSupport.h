#pragma once
// A canvas test: its own program folder and scripted seams, an offscreen editor canvas of a
// fixed size as the canvas services, and clean canvas state afterwards.
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "platform/imaging/ImgxCanvas.h"

#include "support/TestSupport.h"

namespace canvastest {

class TestServices final : public CanvasServices {
public:
    explicit TestServices(platform::ImgxCanvas &c) : canvas(c) {}
    platform::ImgxCanvas &editorCanvas() override { return canvas; }
    void adaptObjectSizeToZoom(const QString &key) override
    {
        ++adaptCalls;
        ::adaptObjectSizeToZoom(*gObjMoveableObjects(), key);
    }
    platform::ImgxImagePtr editedSideImage() override { return sideImage; }
    platform::ImgxCanvas &canvas;
    platform::ImgxImagePtr sideImage;
    int adaptCalls = 0;
};

class CanvasTest : public testsupport::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A model set up as the editor sets it up: background on the canvas, effects, frame.
    std::shared_ptr<clsMoveableObjects> editorModel();
    // An opaque picture of a size, filled with one colour.
    static platform::ImgxImagePtr picture(int w, int h, QRgb color = qRgb(200, 30, 30));
    // A text object with a pinned font, rendered.
    static clsTextObject text(const QString &s, double size = 12);

    std::unique_ptr<platform::ImgxCanvas> canvas;
    TestServices *services = nullptr;
};

} // namespace canvastest
