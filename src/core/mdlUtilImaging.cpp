#include "core/mdlUtilImaging.h"

#include "platform/imaging/ImgxCanvas.h"

bool undoImgxSteps(platform::ImgxCanvas &canvas, int steps)
{
    try {
        canvas.setRedraw(false);
        for (int i = 0; i <= steps; ++i)
            canvas.image()->undo();
        canvas.refresh();
        canvas.setRedraw(true);
    } catch (...) {
        canvas.setRedraw(true);
    }
    return true;
}

bool undoImgxStepsByObject(platform::ImgxImage &image, platform::ImgxCanvas &canvas)
{
    try {
        canvas.setRedraw(false);
        image.undo();
        canvas.refresh();
        canvas.setRedraw(true);
    } catch (...) {
        canvas.setRedraw(true);
    }
    return true;
}
