#include "texteditor/TextEffectDialogsImpl.h"

#include "texteditor/frmTextGradient.h"
#include "texteditor/frmTextShadow.h"

namespace {

class TextEffectDialogsImpl final : public texteditor::TextEffectDialogs {
public:
    void showShadow(texteditor::TextEditorHost &editor) override
    {
        frmTextShadow dialog(editor);
        dialog.exec();
    }
    void showGradient(texteditor::TextEditorHost &editor) override
    {
        frmTextGradient dialog(editor);
        dialog.exec();
    }
};

} // namespace

std::unique_ptr<texteditor::TextEffectDialogs> makeTextEffectDialogs()
{
    return std::make_unique<TextEffectDialogsImpl>();
}
