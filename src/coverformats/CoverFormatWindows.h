#pragma once
// Opening the windows of this library from the main window.
#include <QString>

class QWidget;

// The cover-format editor, modal over the owner, with its caption.
void showCoverFormatEditor(QWidget *owner, const QString &caption);
// The image folder browser, modal over the owner.
void showImageBrowser(QWidget *owner);
