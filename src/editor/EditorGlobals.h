#pragma once
// Program-wide state of the graphics editor.
#include <QWidget>
#include <memory>

class clsMoveableObjects;

// The side's canvas model as it was when the editor was set up; Cancel gives it back.
inline std::shared_ptr<clsMoveableObjects> gObjStartMoveableObjects;

// Opens the graphics editor on the main window's current side without waiting; false when
// it could not be opened.
bool openGraphicsEditor(QWidget *owner);
