#pragma once
// What the main window needs of the windows built on top of it: the cover-format editor and
// the tip of the day. Those windows install their own; until they do, stand-ins serve (the
// cover-format editor's says that it is not available and changes nothing, the tip of the
// day shows nothing), and tests install recording ones.
#include "platform/Seam.h"

#include <QString>

class QWidget;

class MainWindowServices {
public:
    virtual ~MainWindowServices() = default;
    // The cover-format editor, modal over the main window, with its caption set. It reads
    // gObjCover().ProfileIndex() (-2: a new record) and EditedIndex() (the side); when it
    // has saved, it refills the lists of the user-defined medium and selects the record.
    virtual void showCoverFormatEditor(QWidget *owner, const QString &caption) = 0;
    // The tip of the day, modal over the main window.
    virtual void showTipOfTheDay(QWidget *owner) = 0;

    static MainWindowServices &get() { return platform::Seam<MainWindowServices>::get(); }
};

// The stand-ins used until the windows exist.
std::unique_ptr<MainWindowServices> makeStandInMainWindowServices();

template <> platform::Seam<MainWindowServices>::Factory &platform::Seam<MainWindowServices>::defaultFactory();
