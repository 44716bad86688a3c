#pragma once
// Window and control helpers shared by the forms.
#include <QMargins>
#include <QSize>
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

// The frame the window manager draws around a top-level window; a title bar's height above it
// until the window is shown.
QMargins windowFrame(const QWidget &window);
// A window size brought within the screen's free area, the window's frame included.
QSize sizeWithinFreeArea(const QWidget &window, QSize size);
// Moves a top-level window, frame included, into the screen's free area: before it shows, to
// the middle of it; once shown, only where it reaches past it.
void placeInFreeArea(QWidget &window);

// The direct child controls of a frame.
void enableFrameControls(QWidget *frame);
// Enables the children named in the ";" list and disables the others.
void enableFrameControlsExcept(QWidget *frame, const QString &names);
// The index of the first checked button; 0 when none is; -1 when an element is missing.
short getSelectedOptionIndex(const std::vector<QAbstractButton *> &buttons);
// The folder chooser; "" when cancelled.
QString BrowseForFolder(const QString &title);
