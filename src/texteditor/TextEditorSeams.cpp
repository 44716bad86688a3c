#include "texteditor/TextEditorSeams.h"

#include <QtGlobal>

namespace texteditor {
namespace {

// The program installs the track-list importers, the CD wizard and the effect dialogs at start;
// anything else that opens one must have installed its own.
std::unique_ptr<TextImporters> makeImporters() { qFatal("No track-list importers are installed."); }
std::unique_ptr<CdTrackListWizard> makeWizard() { qFatal("No CD track-list wizard is installed."); }
std::unique_ptr<TextEffectDialogs> makeEffects() { qFatal("No text effect dialogs are installed."); }

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
