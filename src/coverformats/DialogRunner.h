#pragma once
// Shows the browser's modal dialogs. The program waits in the dialog's own event loop; tests
// install a runner that works the dialog and closes it, so that none of them waits.
#include "platform/Seam.h"

class QDialog;

class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Shows the dialog modally and returns when it is closed.
    virtual int run(QDialog &dialog) = 0;

    static DialogRunner &get() { return platform::Seam<DialogRunner>::get(); }
};

template <> platform::Seam<DialogRunner>::Factory &platform::Seam<DialogRunner>::defaultFactory();
