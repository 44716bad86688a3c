#include "web/BrowserTestSupport.h"

#include "core/Globals.h"
#include "core/Version.h"
#include "core/libLanguage.h"
#include "platform/web/WebBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QUrl>

namespace webtest {

int ScriptedDialogs::run(QDialog &dialog)
{
    ++shown;
    if (script)
        script(dialog);
    dialog.reject(); // what closing the window does
    return dialog.result();
}

void BrowserTest::SetUp()
{
    ProgramTest::SetUp();
    QFile::copy(PELMORA_SOURCE_DIR "/resources/language/English.dll", path("language/English.dll"));
    setLanguage(path("language/English.dll"));
    gStrSearchURL = server.url("/search");
    gStrHomePageURL = page("home.html", "<html><head><title>Home</title></head><body>home</body></html>");
    platform::web::WebBrowser::overrideOffline(false);
    dialogs = &platform::Seam<DialogRunner>::install(std::make_unique<ScriptedDialogs>());
}

void BrowserTest::TearDown()
{
    if (frmSearch *w = frmSearch::instance()) {
        w->close();
        delete w;
    }
    platform::web::WebBrowser::overrideOffline(std::nullopt);
    platform::Seam<DialogRunner>::reset();
    ProgramTest::TearDown();
}

bool BrowserTest::waitFor(const std::function<bool()> &condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QTest::qWait(10);
    }
    return true;
}

QString BrowserTest::page(const QString &name, const QByteArray &html)
{
    writeFile("pages/" + name, html);
    return QUrl::fromLocalFile(path("pages/" + name)).toString(QUrl::FullyEncoded);
}

QString BrowserTest::startPath()
{
    return QStringLiteral("/search/?l=2&v=%1_%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR);
}

frmSearch *BrowserTest::openBrowser()
{
    browser = frmSearch::showSearch();
    QObject::connect(browser->ie, &platform::web::WebBrowser::NavigateComplete2, browser, [this] {
        lastCompleted = browser->ie->LocationURL();
        ++completed;
    });
    QObject::connect(browser->ie, &platform::web::WebBrowser::NavigateError, browser, [this] { ++failed; });
    return browser;
}

void BrowserTest::type(const QString &address)
{
    browser->lstAdress->setEditText(address);
    QTest::keyClick(browser->lstAdress, Qt::Key_Return);
}

bool BrowserTest::waitForComplete(const QString &url)
{
    const int before = completed;
    return waitFor([&] { return completed > before && lastCompleted == url; });
}

bool BrowserTest::waitForError()
{
    const int before = failed;
    return waitFor([&] { return failed > before; });
}

QStringList BrowserTest::historyShown() const
{
    QStringList out;
    for (int i = 0; i < browser->lstAdress->count(); ++i)
        out << browser->lstAdress->itemText(i);
    return out;
}

} // namespace webtest
