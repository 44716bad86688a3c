#pragma once
// Shows the graphics editor's own dialogs (rotate, new background, brightness, sharpen and
// soften) modally. The program waits in the dialog's event loop; tests install a runner that
// works the dialog and closes it, so that none of them waits.
#include "platform/Seam.h"

class QDialog;

class EditorDialogRunner {
public:
    virtual ~EditorDialogRunner() = default;
    // Shows the dialog modally and returns when it is closed.
    virtual int run(QDialog &dialog) = 0;

    static EditorDialogRunner &get() { return platform::Seam<EditorDialogRunner>::get(); }
};

template <> platform::Seam<EditorDialogRunner>::Factory &platform::Seam<EditorDialogRunner>::defaultFactory();
