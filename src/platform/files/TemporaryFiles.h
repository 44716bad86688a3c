#pragma once
// Scratch folders of the program in the system's temporary folder, and the clean-up of what
// an ended run left behind: scratch folders and save temporaries (see AtomicFile) that a
// crash or a kill kept from being removed.
#include <QString>
#include <QStringList>

namespace platform {

// Kinds of scratch folder; each has a name pattern of its own.
enum class ScratchKind { Metafile, Download };

// The template for a QTemporaryDir of that kind in the system's temporary folder.
QString scratchFolderTemplate(ScratchKind kind);

// Removes our scratch folders in the system's temporary folder and the save temporaries in
// each of saveFolders that were last changed more than minAgeSeconds ago. Only entries of
// our own name patterns are touched (in the temporary folder only the running user's),
// symbolic links never.
// Returns how many entries were removed.
int removeStaleTemporaries(const QStringList &saveFolders, qint64 minAgeSeconds = 24 * 60 * 60);

} // namespace platform
