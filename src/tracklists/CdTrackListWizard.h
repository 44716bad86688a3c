#pragma once
// The CD track-list wizard as the text editor's CD button opens it.
#include "texteditor/TextEditorSeams.h"

#include <memory>

namespace tracklists {

// Shows frmCDDBAssist modally over the text editor.
std::unique_ptr<texteditor::CdTrackListWizard> makeCdTrackListWizard();

} // namespace tracklists
