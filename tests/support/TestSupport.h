#pragma once
// Shared test helpers: a temporary program folder per test and scripted stand-ins for the
// seams, so that no test ever waits in a modal dialog.
#include "platform/imaging/PictureReader.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/scan/ScanSourceChooser.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/PopupMenus.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UrlOpener.h"
#include "platform/ui/WaitWindow.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include "support/QtPrinters.h"
#include <vector>

class QLineEdit;
class QWidget;

namespace testsupport {

// Runs every registered reset and puts the real seams back.
void resetProgramState();
// Subsystems register the resets of their program-wide state here.
void addStateReset(std::function<void()> reset);

struct ShownMessage {
    QString prompt;
    int style;
    QString title;
};

class ScriptedPrompter : public platform::Prompter {
public:
    int msgBox(const QString &prompt, int style, const QString &title) override;
    bool inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                  QString &result) override;

    std::deque<int> answers;              // for message boxes with more than an OK button
    std::deque<std::optional<QString>> inputs; // nothing = cancelled
    std::vector<ShownMessage> shown;
};

class FakeScreen : public platform::Screen {
public:
    double twipsPerPixelX() const override { return twipsX; }
    double twipsPerPixelY() const override { return twipsY; }
    QRect freeArea() const override { return free; }
    int mousePointer() const override { return pointer; }
    void showMousePointer(int p) override { pointer = p; history.push_back(p); }

    double twipsX = 15.0, twipsY = 15.0;
    QRect free{0, 0, 4096, 4096}; // room for every window, unless a test gives a screen
    int pointer = 0;
    std::vector<int> history;
};

class ScriptedChoosers : public platform::Choosers {
public:
    std::optional<platform::FileDialogResult> chooseFile(const platform::FileDialogRequest &r) override;
    QString chooseFolder(const QString &title, const QString &startDir) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;

    std::deque<std::optional<platform::FileDialogResult>> files;
    std::deque<QString> folders;
    std::deque<std::optional<std::uint32_t>> colors;
    std::vector<platform::FileDialogRequest> fileRequests;
};

// Context menus choose the entries named in turn (object names); with none left, nothing. The
// chosen entry fires its triggered signal as a real menu's does, and an entry the user could
// not reach (hidden or disabled, or under such a sub-menu) fails the test.
class ScriptedPopupMenus : public platform::PopupMenus {
public:
    QAction *popup(QMenu &menu, const QPoint &globalPos) override;

    std::deque<QString> choices;
    std::vector<QPoint> positions;
};

// The scanner choice answers in turn; with no answer left the test fails.
class ScriptedSourceChooser : public platform::ScanSourceChooser {
public:
    std::optional<platform::ScanSourceChoice> choose(QWidget *, const platform::ScanSourceRequest &request) override;

    std::deque<std::optional<platform::ScanSourceChoice>> answers;
    std::vector<platform::ScanSourceRequest> requests;
    std::function<void(const platform::ScanSourceRequest &)> onChoose;
};

class RecordingUrlOpener : public platform::UrlOpener {
public:
    bool open(const QString &url) override
    {
        opened.push_back(url);
        return opens;
    }
    std::vector<QString> opened;
    bool opens = true; // false: as if no program took the address
};

// Wait windows are recorded, not shown; cancelWhen (given the progress so far) decides when
// the user presses Cancel, which then reaches the waiting code through its event loop.
class ScriptedWaitWindows : public platform::WaitWindows {
public:
    std::unique_ptr<platform::WaitWindow> show(QWidget *owner, const platform::WaitTexts &texts,
                                               std::function<void()> onCancel) override;

    std::function<bool(qint64 done, qint64 total)> cancelWhen;
    std::vector<platform::WaitTexts> shown;
    int open = 0;           // windows shown and not yet closed
    qint64 lastDone = -1;   // the last progress reported
};

// A test with its own program folder (data/, language/) and scripted seams.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString &relative) const { return home.path() + u'/' + relative; }
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

    QTemporaryDir home;
    ScriptedPrompter *prompter = nullptr;
    FakeScreen *screen = nullptr;
    ScriptedChoosers *choosers = nullptr;
    RecordingUrlOpener *urls = nullptr;
    ScriptedPopupMenus *popups = nullptr;
    ScriptedSourceChooser *scanSources = nullptr;
    ScriptedWaitWindows *waits = nullptr;
};

// Typing into a box as a user does: the box gets the focus, Ctrl+A and Backspace empty it and
// the text goes in one key at a time. The box's window must be shown and active for the focus.
void typeInto(QLineEdit *box, const QString &text);
// Leaves a box with Tab, as a user does, and lets the focus change arrive.
void leaveByTab(QLineEdit *box);
// Shows a window and makes it the active one, so that focus changes reach its boxes.
void showActive(QWidget *window);

// While one lives, picture files are read by the test helper that misbehaves as its file's name
// says (crash, spin, swell, lie ...), under short limits: a second of CPU, 3 s in all, and the
// memory given (0: as by default).
class MisbehavingPictureReader {
public:
    explicit MisbehavingPictureReader(qint64 memoryBytes = 0);
    ~MisbehavingPictureReader();
    MisbehavingPictureReader(const MisbehavingPictureReader &) = delete;
    MisbehavingPictureReader &operator=(const MisbehavingPictureReader &) = delete;

private:
    const platform::PictureReaderLimits before_;
};

// The largest difference of a channel (0..255) between two pictures; 256 when their sizes differ.
int largestChannelDifference(const QImage &a, const QImage &b);
// The sum of a picture's alpha.
qint64 inkOf(const QImage &img);
// The text as Qt's painter draws it, or, asPath, fills its glyphs as one path a line: the font
// at its whole pixel size, stretched and brought to the exact size by the painter, laid out in a
// picture of the text's extent as the program lays it out.
QImage drawnByQt(const platform::imaging::TextStyle &style, const QString &text, bool asPath = false);

} // namespace testsupport
