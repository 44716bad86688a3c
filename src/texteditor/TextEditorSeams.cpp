#include "texteditor/TextEditorSeams.h"

#include "editor/EditorWindows.h"

namespace texteditor {
namespace {

class StandInImporters final : public TextImporters {
public:
    void listMp3(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmDirMp3")); }
    void listPlaylist(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmM3UParameters")); }
    void listFiles(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmChangeDirForm")); }
    void loadTextFromFile(TextEditorHost &e, const QString &) override { showNotAvailable(e.window(), QStringLiteral("frmTextedit")); }
};

class StandInWizard final : public CdTrackListWizard {
public:
    void showModal(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmCDDBAssist")); }
};

class StandInEffects final : public TextEffectDialogs {
public:
    void showShadow(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmTextShadow")); }
    void showGradient(TextEditorHost &e) override { showNotAvailable(e.window(), QStringLiteral("frmTextGradient")); }
};

std::unique_ptr<TextImporters> makeImporters() { return std::make_unique<StandInImporters>(); }
std::unique_ptr<CdTrackListWizard> makeWizard() { return std::make_unique<StandInWizard>(); }
std::unique_ptr<TextEffectDialogs> makeEffects() { return std::make_unique<StandInEffects>(); }

} // namespace
} // namespace texteditor

template <>
platform::Seam<texteditor::TextImporters>::Factory &platform::Seam<texteditor::TextImporters>::defaultFactory()
{
    static Factory f = &texteditor::makeImporters;
    return f;
}
template <>
platform::Seam<texteditor::CdTrackListWizard>::Factory &platform::Seam<texteditor::CdTrackListWizard>::defaultFactory()
{
    static Factory f = &texteditor::makeWizard;
    return f;
}
template <>
platform::Seam<texteditor::TextEffectDialogs>::Factory &platform::Seam<texteditor::TextEffectDialogs>::defaultFactory()
{
    static Factory f = &texteditor::makeEffects;
    return f;
}
