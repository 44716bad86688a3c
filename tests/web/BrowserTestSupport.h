#pragma once
// A program folder with the English texts, a local server for the start page, test pages
// under file://, and the browser window's dialogs worked by the test.
#include "coverformats/DialogRunner.h"
#include "coverformats/frmSearch.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QDialog>
#include <functional>

namespace webtest {

// Runs the test's script on each dialog shown, then closes it as the user would.
class ScriptedDialogs : public DialogRunner {
public:
    int run(QDialog &dialog) override;

    std::function<void(QDialog &)> script;
    int shown = 0;
};

class BrowserTest : public testsupport::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Waits, handling events, until the condition holds; false after the time is up.
    static bool waitFor(const std::function<bool()> &condition, int milliseconds = 90000);
    // Writes a page into the program folder and returns its file address.
    QString page(const QString &name, const QByteArray &html);
    // The path the start page is asked for at the local server.
    static QString startPath();

    // Opens the one browser window and counts its completed and failed navigations.
    frmSearch *openBrowser();
    // Types an address into the address box and presses Enter.
    void type(const QString &address);
    // Waits for the next completed navigation that ends at url, or for the next failed one.
    bool waitForComplete(const QString &url);
    bool waitForError();
    QStringList historyShown() const;

    testsupport::LocalHttpServer server;
    ScriptedDialogs *dialogs = nullptr;
    frmSearch *browser = nullptr;
    int completed = 0, failed = 0;
    QString lastCompleted; // the address of the last completed navigation
};

} // namespace webtest
