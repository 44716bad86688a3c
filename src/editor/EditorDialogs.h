#pragma once
// Opens the new-background, brightness and sharpen/soften dialogs modally over their owner,
// as the main window and the graphics editor use them.
#include "platform/imaging/ImgxImage.h"

class QWidget;

// The new background of the main window's mIntActualSide.
void showNewCover(QWidget *owner);
// Brightness and contrast of an image; calledFromEditor as the opener says.
void showBrightness(QWidget *owner, const platform::ImgxImagePtr &image, bool calledFromEditor);
// Sharpens or softens an image by a chosen percentage.
void showSharpSoft(QWidget *owner, const platform::ImgxImagePtr &image, bool sharpen, bool calledFromEditor);
