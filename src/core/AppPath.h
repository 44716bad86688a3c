#pragma once
// The program folder ("App.Path") and the program's file name ("App.EXEName").
//
// Resolved once: the environment variable PELMORA_HOME when set; else the executable's
// folder when it holds "language/" (the build tree, an unpacked archive); else the user's
// data folder "pelmora" (~/.local/share/pelmora), seeded on first start from the installed
// share/pelmora, since an installed program folder is read-only.
#include <QString>

QString appPath();
QString appExeName();
// Tests point the program at a folder of their own; an empty text resolves again.
void setAppPathForTests(const QString &path);
// Fills the user's program folder from an installed one: data/ only when the folder has none
// yet; a language or help file when it is missing or unchanged since an earlier installation
// put it there (its hash is recorded in the folder), never over the user's own edits.
void seedProgramFolder(const QString &installed, const QString &home);
