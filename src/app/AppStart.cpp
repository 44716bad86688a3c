#include "app/AppStart.h"

#include "app/AppServices.h"
#include "texteditor/TextEffectDialogsImpl.h"
#include "tracklists/CdTrackListWizard.h"
#include "tracklists/TrackListImporters.h"

void installProgramWindows()
{
    platform::Seam<MainWindowServices>::setDefaultFactory(&makeAppMainWindowServices);
    platform::Seam<texteditor::TextEffectDialogs>::setDefaultFactory(&makeTextEffectDialogs);
    platform::Seam<EditorWindows>::setDefaultFactory(&makeAppEditorWindows);
    platform::Seam<texteditor::TextImporters>::setDefaultFactory(&makeTrackListImporters);
    platform::Seam<texteditor::CdTrackListWizard>::setDefaultFactory(&tracklists::makeCdTrackListWizard);
}
