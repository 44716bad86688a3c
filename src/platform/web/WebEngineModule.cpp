// The web engine module: the page view of the browser control over Qt WebEngine, built as a
// library of its own that WebBrowser loads when the first browser control is made. Only this
// file includes the engine, so that nothing else loads it (nor the Qt Quick and OpenGL
// libraries it brings) before a browser opens.
#include "platform/web/WebPage.h"

#include <QNetworkInformation>
#include <QQuickWindow>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

class EnginePage : public QWebEngineView, public platform::web::WebPage {
public:
    EnginePage(QWidget *parent, std::function<void(bool)> finished) : QWebEngineView(parent)
    {
        connect(page(), &QWebEnginePage::loadingChanged, this,
                [finished = std::move(finished)](const QWebEngineLoadingInfo &info) {
                    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
                        finished(true);
                    else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
                        finished(false);
                });
    }

    QWidget *widget() override { return this; }
    void back() override { QWebEngineView::back(); }
    void forward() override { QWebEngineView::forward(); }
    void reload() override { QWebEngineView::reload(); }
    void stop() override { QWebEngineView::stop(); }
    void load(const QUrl &address) override { setUrl(address); }
    QUrl address() const override { return url(); }
    void readTitle(std::function<void(const QString &)> answer) override
    {
        page()->runJavaScript(QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
                              [answer = std::move(answer)](const QVariant &title) { answer(title.toString()); });
    }
};

} // namespace

extern "C" Q_DECL_EXPORT platform::web::WebPage *pelmoraCreateWebPage(QWidget *parent, std::function<void(bool)> finished)
{
    // What the engine sets up for itself when it is loaded before the application is made: its
    // views draw their pages through Qt Quick on OpenGL.
    static const bool once = [] {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
        return true;
    }();
    Q_UNUSED(once);
    return new EnginePage(parent, std::move(finished));
}

extern "C" Q_DECL_EXPORT bool pelmoraNetworkOffline()
{
    static const bool loaded = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (!loaded || !QNetworkInformation::instance())
        return false;
    return QNetworkInformation::instance()->reachability() == QNetworkInformation::Reachability::Disconnected;
}
