#pragma once
// Bringing canvas objects to the editor canvas's zoom.
#include <QString>
#include <memory>

class clsMoveableObjects;

// One object of a model at gDblZoomFactor: a text is rendered with its font size and width
// percent multiplied by the zoom (its stored values stay full-scale); a picture is resized
// to its width times the zoom.
void adaptObjectSizeToZoom(clsMoveableObjects &model, const QString &key);

// Every live object of a model from gDblOldZoomFactor to gDblZoomFactor. Without a model
// the editor's model is taken (and stored into *model) and the zoom read from its canvas.
void adaptObjectSizesToZoom(std::shared_ptr<clsMoveableObjects> *model);

// The objects of a model kept where and as large as they are on the cover when the side's
// picture is replaced by one of another size: their canvas pixels, which stood for
// zoomBefore, stand for zoomAfter from now on (the model's zoom), and each text's full-scale
// font size changes with them, so that it is rendered as large as before at the new zoom.
// A zoom before that is not set yet (0) is 1; nothing changes for a zoom after that is not
// above 0.
void keepObjectsOnCover(clsMoveableObjects &model, double zoomBefore, double zoomAfter);
