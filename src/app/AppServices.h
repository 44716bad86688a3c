#pragma once
// The windows the main window and the graphics editor open, wired at start as the defaults of
// their seams.
#include "editor/EditorWindows.h"
#include "mainwindow/MainWindowServices.h"

#include <memory>

std::unique_ptr<MainWindowServices> makeAppMainWindowServices();
// The windows the graphics editor opens: the text editor.
std::unique_ptr<EditorWindows> makeAppEditorWindows();
