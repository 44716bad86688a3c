#pragma once
// Window and control helpers shared by the forms.
#include <QString>
#include <optional>
#include <vector>

class QWidget;
class QAbstractButton;

// Topmost when onTop is true, no longer topmost when false, plain top of the z-order when
// empty; the window keeps its place and size. Activates it when asked.
bool setFormTopmost(QWidget *form, std::optional<bool> onTop, bool activate);
bool setMainFormTopmost(QWidget *mainForm, std::optional<bool> onTop, bool activate);
bool isFormTopmost(const QWidget *form);
// The main window on top again when the options say so ("OPTIONS.FOREGROUND"), activated.
bool restoreMainFormTopmost(QWidget *mainForm);

// The direct child controls of a frame.
void enableFrameControls(QWidget *frame);
// Enables the children named in the ";" list and disables the others.
void enableFrameControlsExcept(QWidget *frame, const QString &names);
// The index of the first checked button; 0 when none is; -1 when an element is missing.
short getSelectedOptionIndex(const std::vector<QAbstractButton *> &buttons);
// The folder chooser; "" when cancelled.
QString BrowseForFolder(const QString &title);
