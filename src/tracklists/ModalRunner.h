#pragma once
// Shows the track-list dialogs modally. The program waits in the dialog's own event loop; tests
// install a runner that works the dialog and closes it, so that none of them waits.
#include "platform/Seam.h"

class QDialog;

namespace tracklists {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows the dialog modally and returns when it is hidden.
    virtual void run(QDialog &dialog) = 0;

    static ModalRunner &get() { return platform::Seam<ModalRunner>::get(); }
};

} // namespace tracklists

template <> platform::Seam<tracklists::ModalRunner>::Factory &platform::Seam<tracklists::ModalRunner>::defaultFactory();
