#pragma once
// The shadow and gradient dialogs behind the text editor's effects list, as the program
// installs them.
#include "texteditor/TextEditorSeams.h"

#include <memory>

std::unique_ptr<texteditor::TextEffectDialogs> makeTextEffectDialogs();
