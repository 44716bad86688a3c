#pragma once
// Program-wide state of the main window: the cover state record and the work in progress
// of the two cover sides (0 left, 1 right), which the editor, the printer and the other
// windows share.
#include "platform/imaging/ImgxImage.h"

#include <QString>
#include <array>
#include <memory>

class clsCover;
class clsMoveableObjects;

// The one cover state record, created on first use (start-up creates it before the main
// window) and never replaced.
clsCover &gObjCover();

// The cover image of each side: the background that is edited, previewed and printed.
inline std::array<platform::ImgxImagePtr, 2> igxBackup;
// The same images under the name the editor's procedures use.
inline std::array<platform::ImgxImagePtr, 2> &gIgxBackup = igxBackup;
// The canvas model of each side, and whether it is drawn onto the side.
inline std::array<std::shared_ptr<clsMoveableObjects>, 2> gObjPartMoveableObjects;
inline std::array<bool, 2> gBoolPartHasObjects = {false, false};
// Whether a side shows an object the user sees: drawn onto it, and not taken away by a
// Delete or an Undo. Only then is the user asked whether to keep the objects.
bool sideHoldsObjects(size_t side);

// The help file looked for at start (kept even when missing), and the one the application
// uses ("" when there is none).
inline QString gStrHelpFile;
inline QString gStrApplicationHelpFile;
// Chooses both from the language's "GENERAL.HELPFILE" in the help folder, else the German
// help file there.
void chooseHelpFile();
// Opens the help file in the desktop's browser; a window's help topic (such as 1210) opens it
// at that topic's anchor ("topic1210"), where the desktop's opener keeps anchors of files,
// else at its start. Throws when there is no help file or nothing opened it.
void openHelpFile(int topic = 0);

// A new canvas model, as the program makes one: background, effects, no focus, zoom 1.
std::shared_ptr<clsMoveableObjects> newMoveableObjects();

namespace mainwindow {
// Drops every program-wide value of the main window so that a test starts clean.
void resetForTests();
}
