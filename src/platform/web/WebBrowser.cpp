#include "platform/web/WebBrowser.h"

#include <QNetworkInformation>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace platform::web {
namespace {

std::optional<bool> &offlineOverride()
{
    static std::optional<bool> value;
    return value;
}

} // namespace

WebBrowser::WebBrowser(QWidget *parent) : QWidget(parent), m_view(new QWebEngineView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        // A load given up for another one, or stopped, is neither complete nor failed.
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
            loadFinished(true);
        else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            loadFinished(false);
    });
}

WebBrowser::~WebBrowser() = default;

void WebBrowser::GoBack() { m_view->back(); }
void WebBrowser::GoForward() { m_view->forward(); }
void WebBrowser::Refresh() { m_view->reload(); }
void WebBrowser::Stop() { m_view->stop(); }
void WebBrowser::Navigate(const QString &address) { m_view->setUrl(completeAddress(address)); }
void WebBrowser::Navigate2(const QString &address) { Navigate(address); }

QUrl WebBrowser::completeAddress(const QString &address)
{
    const QString typed = address.trimmed();
    if (typed.isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    return QUrl::fromUserInput(typed);
}

QString WebBrowser::LocationURL() const
{
    const QUrl url = m_view->url();
    return url.isEmpty() ? QString() : url.toString(QUrl::FullyEncoded);
}

bool WebBrowser::Offline() const
{
    if (offlineOverride())
        return *offlineOverride();
    static const bool loaded = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (!loaded || !QNetworkInformation::instance())
        return false;
    return QNetworkInformation::instance()->reachability() == QNetworkInformation::Reachability::Disconnected;
}

void WebBrowser::overrideOffline(std::optional<bool> offline) { offlineOverride() = offline; }

void WebBrowser::loadFinished(bool ok)
{
    const quint64 load = ++m_loads;
    if (!ok) {
        m_title.clear();
        emit NavigateError();
        return;
    }
    // The page's own title, not the engine's stand-in (the address) for a page without one.
    QPointer<WebBrowser> self(this);
    m_view->page()->runJavaScript(QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
                                  [self, load](const QVariant &title) {
                                      if (!self || load != self->m_loads)
                                          return;
                                      self->m_title = title.toString();
                                      emit self->NavigateComplete2();
                                  });
}

} // namespace platform::web
