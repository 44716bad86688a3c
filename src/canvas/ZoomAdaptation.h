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
