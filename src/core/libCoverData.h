#pragma once
// The cover-format files of the data folder, one per medium.
#include "core/CoverTable.h"

#include <QString>

// The data file of each medium: CD, DVD, maxi-CD, video, cassette, user-defined.
QString coverFileName(int medium);

// Reads one data file ("CD.dat") into a table. A missing or empty file gives an empty
// table; a bad line is reported and gives an unread table.
CoverTable ReadUserData(const QString &fileName, bool predefined);
// Reads the six files into gVarCoverTypesLoaded and copies them into gVarCoverTypes.
void loadCoverData();
