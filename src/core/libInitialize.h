#pragma once
// Start-up: from nothing to the visible main window, and the program's options.
#include <QString>
#include <functional>

class QWidget;

// What start-up needs of the windows built on top of the core; app/ fills them in.
struct StartupHooks {
    std::function<void()> createCover;           // the cover state record
    std::function<QWidget *()> createMainWindow; // the main window, not yet shown
};

// Runs start-up in its order and shows the main window. Any failure shows the installation
// error with the built-in texts and returns nothing; no window is then open.
QWidget *Main(const StartupHooks &hooks);

// Copies the options store into the option variables. A bad stored value is reported once
// and leaves its variable at the default.
void readOptions();
// One item of the user's locale: 14 the decimal sign, 15 the digit grouping sign, 12 the
// list separator.
QString getUserLocaleInfo(int item);
void buildImageFilters();
void loadSeparatorNames();
// The track-line field names from the language file.
void loadMp3FieldNames();

// The options file below the program folder.
QString optionsFilePath();
