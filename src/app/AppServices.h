#pragma once
// The windows the main window opens, wired at start: each window that exists is opened here,
// every other one goes to the stand-ins until it is built.
#include "editor/EditorWindows.h"
#include "mainwindow/MainWindowServices.h"

#include <memory>

std::unique_ptr<MainWindowServices> makeAppMainWindowServices();
// The windows the graphics editor opens: each one that exists, the stand-ins for the others.
std::unique_ptr<EditorWindows> makeAppEditorWindows();
