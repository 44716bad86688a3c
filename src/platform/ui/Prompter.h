#pragma once
// Message boxes, questions and input boxes. Styles and answers use the classic message-box
// codes, since the program's code speaks in them (16 critical, 4 yes/no, answer 6 yes ...).
#include "platform/Seam.h"

#include <QString>

class QWidget;

namespace platform {

// The window a dialog belongs to, so that it opens in front of the window the user works in:
// an open modal dialog, else the window the user last clicked, typed or dropped onto (also
// when another program is the active one, as during a drop from it), else the active window,
// else the main window.
QWidget *dialogOwner();
// The program's main window, the owner when no other window is known; from here on the
// windows the user works in are followed.
void setMainDialogOwner(QWidget *window);

namespace MsgStyle {
enum : int {
    OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    DefaultButton2 = 256, DefaultButton3 = 512,
};
}
namespace MsgAnswer {
enum : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
}

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows a modal message box; returns the MsgAnswer code of the button pressed. Escape and
    // the close box answer Cancel, or OK on a box of one button; a box without either (Yes/No,
    // Abort/Retry/Ignore) waits for one of its buttons.
    virtual int msgBox(const QString &prompt, int style, const QString &title) = 0;
    // Asks for a line of text; returns false when the user cancelled.
    virtual bool inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                          QString &result) = 0;

    static Prompter &get() { return Seam<Prompter>::get(); }
};

// The real prompter over QMessageBox and QInputDialog, owned by dialogOwner().
std::unique_ptr<Prompter> makeQtPrompter();

template <> Seam<Prompter>::Factory &Seam<Prompter>::defaultFactory();

} // namespace platform
