#pragma once
// The window shown while the program waits on its GUI thread for something slow (a
// download, the scanner helper): a progress bar (moving without end while the amount is
// unknown) and a Cancel button. It is shown, not run: the waiting code keeps its own event
// loop going, so the program's windows are repainted meanwhile, and destroys it when the
// wait ends. The window is application-modal, so no second wait starts from a click.
#include "platform/Seam.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

struct WaitTexts {
    QString title;
    QString label;
    QString cancel = QStringLiteral("Cancel");
};

class WaitWindow {
public:
    virtual ~WaitWindow() = default;
    // done of total; a total of 0 or less means the amount is unknown.
    virtual void setProgress(qint64 done, qint64 total) = 0;
};

class WaitWindows {
public:
    virtual ~WaitWindows() = default;
    // Shows a wait window over owner (the active window when null). onCancel runs once, from
    // the event loop, when the user cancels.
    virtual std::unique_ptr<WaitWindow> show(QWidget *owner, const WaitTexts &texts,
                                             std::function<void()> onCancel) = 0;

    static WaitWindows &get() { return Seam<WaitWindows>::get(); }
};

template <> Seam<WaitWindows>::Factory &Seam<WaitWindows>::defaultFactory();

} // namespace platform
