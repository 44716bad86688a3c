#pragma once
// The text editor's working records. They outlive the editor window: the text effect dialogs
// change them, the next opening of the text editor resets them.
#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"

#include <QString>
#include <QStringList>

// The shadow being edited; created when first asked for.
clsTextShadowPtr &gObjTextShadow();
// The default shadow the text editor writes at every opening.
clsTextShadowPtr &gObjDefaultTextShadow();
// The gradient being edited.
clsTextGradientPtr &gObjTextGradient();
// The names shown in the effects list: 0 the shadow, 1 the gradient; 2 and 3 stay empty.
QStringList &gStrEffectNames();

// Writes the default shadow (offset 10, 10, black, blur 100, opacity 170) and gradient (white to
// black, left to right), both inactive, and copies them into the working records, as every
// opening of the text editor does.
void writeDefaultTextEffects();

namespace texteditor {
void resetForTests();
}
