#include "editor/EditorWindows.h"

#include "core/Globals.h"
#include "platform/ui/Prompter.h"

namespace {

class StandInEditorWindows final : public EditorWindows {
public:
    void showModal(const QString &form, QWidget *owner, bool) override { showNotAvailable(owner, form); }
};

std::unique_ptr<EditorWindows> makeDefault() { return makeStandInEditorWindows(); }

} // namespace

void showNotAvailable(QWidget *, const QString &form)
{
    clsEnvAll &lang = gObjLanguageStore();
    QString title = lang.getVar(form + u'.' + form);
    if (title.isEmpty())
        title = lang.getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message"));
    platform::Prompter::get().msgBox(
        lang.getVar(QStringLiteral("MESSAGES.MSG_NOT_AVAILABLE"), QStringLiteral("This function is not available in this version.")),
        platform::MsgStyle::Information, title.trimmed());
}

std::unique_ptr<EditorWindows> makeStandInEditorWindows() { return std::make_unique<StandInEditorWindows>(); }

template <>
platform::Seam<EditorWindows>::Factory &platform::Seam<EditorWindows>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}
