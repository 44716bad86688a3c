#pragma once
// Undo helpers on the imaging layer, with the canvas repainted once at the end.
namespace platform {
class ImgxCanvas;
class ImgxImage;
}

// Steps the canvas image back steps + 1 times.
bool undoImgxSteps(platform::ImgxCanvas &canvas, int steps);
// Steps an image object back once and repaints the canvas.
bool undoImgxStepsByObject(platform::ImgxImage &image, platform::ImgxCanvas &canvas);
