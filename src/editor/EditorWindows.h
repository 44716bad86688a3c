#pragma once
// The windows from outside the editor that it opens modally over itself (the text editor), by
// form name; its own dialogs go through EditorDialogRunner. Until a window exists its stand-in
// says that it is not available in this version and changes nothing; tests install their own.
#include "platform/Seam.h"

#include <QString>

class QWidget;

class EditorWindows {
public:
    virtual ~EditorWindows() = default;
    // Shows the window and returns when it is closed. The text editor ("frmTextedit") edits
    // gObjTextObject, a new text when newText is set.
    virtual void showModal(const QString &form, QWidget *owner, bool newText = false) = 0;

    static EditorWindows &get() { return platform::Seam<EditorWindows>::get(); }
};

// The message of a command that a later version brings, titled after the form.
void showNotAvailable(QWidget *owner, const QString &form);

std::unique_ptr<EditorWindows> makeStandInEditorWindows();

template <> platform::Seam<EditorWindows>::Factory &platform::Seam<EditorWindows>::defaultFactory();
