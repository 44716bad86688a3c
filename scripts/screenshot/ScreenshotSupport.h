#pragma once
// What every screenshot program does first: a temporary program folder seeded with the
// shipped data and language files, named by PELMORA_HOME before the application starts, and
// the fixed font that makes the pictures the same on every machine.
#include <QString>
#include <QTemporaryDir>

namespace screenshot {

// Creates the program folder and points PELMORA_HOME at it; call before the QApplication.
// False when no folder could be made.
bool makeProgramFolder(QTemporaryDir &home);
// Sets the fixed font and copies resources/data and resources/language into the program
// folder; call after the QApplication. False when a file could not be copied.
bool seedProgramFolder(const QTemporaryDir &home, const QString &resources);
// Lets the windows lay out and paint.
void settle();

} // namespace screenshot
