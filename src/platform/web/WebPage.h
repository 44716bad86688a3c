#pragma once
// What the web engine module (WebEngineModule.cpp, loaded by WebBrowser when the first browser
// control is made) gives the browser control: one page view. Nothing here needs the engine,
// so the program starts without loading it.
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace platform::web {

class WebPage {
public:
    virtual ~WebPage() = default;

    // The view, a child of the parent it was made in, which owns it (and with it this page).
    virtual QWidget *widget() = 0;

    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;
    virtual void load(const QUrl &address) = 0;
    virtual QUrl address() const = 0;
    // Reads the document's title; answer is called on the GUI thread once it is known.
    virtual void readTitle(std::function<void(const QString &title)> answer) = 0;
};

// The module's one entry, by this name: a page view in parent that calls finished(true) when
// a load of the page (not of one of its frames) has completed and finished(false) when it has
// failed; a load that is stopped or given up for another one calls neither.
using CreateWebPage = WebPage *(QWidget *parent, std::function<void(bool ok)> finished);
constexpr char kCreateWebPage[] = "pelmoraCreateWebPage";
// Whether the system says the machine is off the network.
using NetworkOffline = bool();
constexpr char kNetworkOffline[] = "pelmoraNetworkOffline";

} // namespace platform::web
