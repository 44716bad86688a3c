#pragma once
// What the main window needs of the windows built on top of it: the graphics editor, the
// cover-format editor, the image dialogs, the browsers, the options and the small windows of
// the help menu. The program installs the real windows at start and tests install recording
// ones; with neither, the first use stops the program with a message.
#include "platform/Seam.h"
#include "platform/imaging/ImgxImage.h"

#include <QString>

class QWidget;

class MainWindowServices {
public:
    virtual ~MainWindowServices() = default;
    // The cover-format editor, modal over the main window, with its caption set. It reads
    // gObjCover().ProfileIndex() (-2: a new record) and EditedIndex() (the side); when it
    // has saved, it refills the lists of the user-defined medium and selects the record.
    virtual void showCoverFormatEditor(QWidget *owner, const QString &caption) = 0;
    // The tip of the day, modal over the main window: at start or from the menu.
    virtual void showTipOfTheDay(QWidget *owner, bool atStart) = 0;

    // The modal windows that take nothing but their owner.
    enum class Window {
        NewCover,    // new background: paints igxBackup(mIntActualSide) of the main window and
                     // clears its mBoolNewCoverCancelled on OK
        Browse,      // the image folder browser
        Options,     // the options
        UpdateCheck, // the update check
        About,       // about the program
    };
    virtual void showModal(Window window, QWidget *owner) = 0;
    // The graphics editor on the main window's mIntActualSide, shown without waiting; false
    // when it could not be opened. When it closes it gives the main window back and sets
    // its mBoolReady.
    virtual bool openEditor(QWidget *owner) = 0;
    // The brightness and contrast dialog on an image, modal.
    virtual void showBrightness(QWidget *owner, const platform::ImgxImagePtr &image) = 0;
    // The sharpen or soften dialog on an image, modal; calledFromEditor as the editor sets it.
    virtual void showSharpSoft(QWidget *owner, const platform::ImgxImagePtr &image, bool sharpen,
                               bool calledFromEditor) = 0;
    // The web browser for cover images, shown without waiting and given the focus.
    virtual void showSearch(QWidget *owner) = 0;

    // The form name of a modal window ("frmNewCover", ...).
    static QString windowName(Window window);

    static MainWindowServices &get() { return platform::Seam<MainWindowServices>::get(); }
};

template <> platform::Seam<MainWindowServices>::Factory &platform::Seam<MainWindowServices>::defaultFactory();
