#pragma once
// Fitting a cover image to the shape of a side's preview box, shared by the main window,
// the graphics editor and the printer, so that canvas object coordinates mean the same on
// the preview, on the editor canvas and on paper.
#include <QSize>

#include <memory>

namespace platform { class ImgxImage; }

// The size an image of the given size takes for a box of the given size: the box's aspect
// ratio, with the image's width kept when it is at least as wide as high, else its height
// (400 x 200 for 300 x 300 gives 400 x 400; 200 x 400 for 300 x 150 gives 800 x 400).
// The image's size unchanged when either size is empty.
QSize fittedImageSize(QSize image, QSize box);

// The preview box of a side in whole pixels of the screen; empty without a main window.
QSize previewBoxPixels(int side);

// Fits the image in place to the preview box of the side (-1: the main window's current
// side), in the final-quality resize, recording no undo step. Failures are skipped.
void adaptImageSizeOnInit(platform::ImgxImage &image, int side = -1);

// A copy of a side's picture fitted to the side's preview box with the side's objects drawn
// in, as it is shown and printed; it keeps no undo steps. Where the fitted picture would be
// larger than it needs to be to have at least `needed` pixels each way, the copy has that
// size instead, the objects drawn to its scale: a large picture is not copied at its own size
// first. An empty `needed` asks for the fitted size.
std::shared_ptr<platform::ImgxImage> sidePictureWithObjects(const platform::ImgxImage &picture, int side, QSize needed);
