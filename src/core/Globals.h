#pragma once
// Program-wide state of the application core.
#include "core/clsEnvAll.h"

// The options store on data/pelmora.dat and the language store on the current language file,
// each created on first use.
clsEnvAll &gObjOptionsStore();
clsEnvAll &gObjLanguageStore();

namespace core {
// Drops every program-wide value of the core so that a test starts clean.
void resetForTests();
}
