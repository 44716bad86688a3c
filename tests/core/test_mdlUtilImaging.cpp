#include "core/mdlUtilImaging.h"
#include "platform/imaging/ImgxCanvas.h"

#include "support/TestSupport.h"

TEST(UtilImaging, UndoHelpersStepBackAndLeaveRedrawOn)
{
    platform::ImgxCanvas canvas;
    auto img = canvas.image();
    img->blank(10, 10, 0, 255, 6, platform::kNoUndo);
    for (int i = 0; i < 4; ++i)
        img->resize(10 + i + 1, 10, 2, "");
    EXPECT_TRUE(undoImgxSteps(canvas, 1)); // two steps back
    EXPECT_EQ(img->width(), 12);
    EXPECT_TRUE(canvas.redraw());

    auto other = platform::ImgxImage::create();
    other->blank(5, 5, 0, 255, 6, platform::kNoUndo);
    other->resize(6, 6, 2, "");
    EXPECT_TRUE(undoImgxStepsByObject(*other, canvas));
    EXPECT_EQ(other->width(), 5);
    EXPECT_EQ(img->width(), 12);
    EXPECT_TRUE(undoImgxStepsByObject(*other, canvas)); // nothing left: still fine
    EXPECT_TRUE(canvas.redraw());
}
