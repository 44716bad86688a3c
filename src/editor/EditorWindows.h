#pragma once
// The windows from outside the editor that it opens modally over itself (the text editor), by
// form name; its own dialogs go through EditorDialogRunner. The program installs the real
// windows at start and tests install their own; with neither, the first use stops the program.
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

template <> platform::Seam<EditorWindows>::Factory &platform::Seam<EditorWindows>::defaultFactory();
