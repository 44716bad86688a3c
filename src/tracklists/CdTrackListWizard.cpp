#include "tracklists/CdTrackListWizard.h"

#include "tracklists/frmCDDBAssist.h"

namespace tracklists {
namespace {

class CddbWizard final : public texteditor::CdTrackListWizard {
public:
    void showModal(texteditor::TextEditorHost &editor) override
    {
        frmCDDBAssist wizard(editor, editor.window());
        wizard.Form_Load();
        wizard.exec();
    }
};

} // namespace

std::unique_ptr<texteditor::CdTrackListWizard> makeCdTrackListWizard() { return std::make_unique<CddbWizard>(); }

} // namespace tracklists
