#pragma once
// The web browser control: a page view with the members the program's browser window uses.
// The only user of the web engine; everything else reaches it through this class.
//
// The engine is a module of its own (WebPage.h), loaded when the first control is made, so
// that the program starts without it. A control made where the module cannot be loaded shows
// no page: Navigate throws std::runtime_error with the reason, the other members do nothing.
//
// Navigate and Navigate2 take an address as typed and complete it as browsers do
// ("www.example.de" becomes "http://www.example.de", a path becomes a file address).
// NavigateComplete2 is raised when the page's load has finished, NavigateError when it
// failed; both on the GUI thread, once per navigation of the page (not of its frames). A
// load that is stopped or given up for another one raises neither.
#include <QString>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace platform::web {

class WebPage;

class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    void GoBack();
    void GoForward();
    void Refresh();
    void Stop();
    void Navigate(const QString &address);
    void Navigate2(const QString &address);

    // The address of the page shown (after redirects); "" before the first navigation.
    QString LocationURL() const;
    // The title of the page's document as of the last completed navigation; "" for a page
    // without one.
    QString documentTitle() const { return m_title; }
    // True when the system reports no network connection; a system that cannot tell counts
    // as online.
    bool Offline() const;

    // Tests decide what Offline() answers; nothing lets the system answer again.
    static void overrideOffline(std::optional<bool> offline);
    // The address a typed text stands for.
    static QUrl completeAddress(const QString &address);

    // The page view (drags start there); none when the engine could not be loaded.
    QWidget *view() const;

signals:
    void NavigateComplete2();
    void NavigateError();

private:
    void loadFinished(bool ok);

    WebPage *m_page = nullptr; // owned as the view, a child of this control
    QString m_title;
    quint64 m_loads = 0; // counts finished loads, so a late title goes to its own load only
};

} // namespace platform::web
