#include "platform/web/WebBrowser.h"

#include "platform/web/WebPage.h"
#include "platform/process/ProgramModules.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>
#include <QVBoxLayout>

#if QT_CONFIG(opengl)
#include <QOpenGLContext>
#include <QSurfaceFormat>

// Qt's global share context, as Qt's own modules (the web engine among them) reach it.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
QT_END_NAMESPACE
#endif

#include <stdexcept>
#include <unistd.h>

namespace platform::web {
namespace {

std::optional<bool> &offlineOverride()
{
    static std::optional<bool> value;
    return value;
}

// The engine module beside the program (the build tree) or in the installed lib/pelmora.
constexpr char kModule[] = "pelmora-webengine.so";


#if QT_CONFIG(opengl)
QOpenGLContext *gShareContext = nullptr;

void deleteShareContext()
{
    if (qt_gl_global_share_context() == gShareContext)
        qt_gl_set_global_share_context(nullptr);
    delete gShareContext;
    gShareContext = nullptr;
}
#endif

// What the engine needs before it is loaded. The engine expects to be loaded before the
// application is made, when it has Qt make a global OpenGL share context that its compositor
// shares; made now in the same way, that context is the one it finds (where there is no
// OpenGL, as on the offscreen platform, the context stays invalid and the engine draws in
// software, as it would have). Chromium refuses to start its sandbox as root: for root it is
// switched off. No background networking (no update, metrics or safe-browsing requests) and
// software rendering, so that the engine needs neither a network nor a GPU of its own.
void prepareEngine()
{
#if QT_CONFIG(opengl)
    if (!qt_gl_global_share_context()) {
        gShareContext = new QOpenGLContext;
        gShareContext->setFormat(QSurfaceFormat::defaultFormat());
        gShareContext->create();
        qt_gl_set_global_share_context(gShareContext);
        qAddPostRoutine(deleteShareContext);
    }
#endif
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char *flag : {"--disable-background-networking", "--disable-component-update", "--disable-gpu",
                             "--disable-gpu-compositing"}) {
        if (!flags.contains(flag)) {
            if (!flags.isEmpty())
                flags += ' ';
            flags += flag;
        }
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

struct Engine {
    CreateWebPage *create = nullptr;
    NetworkOffline *offline = nullptr;
    QString error; // why create is null
};

// The engine module, loaded once, on the GUI thread, when the first control is made.
const Engine &engine()
{
    static const Engine loaded = [] {
        prepareEngine();
        Engine e;
        e.create = programModuleFunction<CreateWebPage>(QLatin1String(kModule), kCreateWebPage, &e.error);
        e.offline = programModuleFunction<NetworkOffline>(QLatin1String(kModule), kNetworkOffline);
        return e;
    }();
    return loaded;
}

} // namespace

WebBrowser::WebBrowser(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (CreateWebPage *create = engine().create) {
        m_page = create(this, [self = QPointer<WebBrowser>(this)](bool ok) {
            if (self)
                self->loadFinished(ok);
        });
        layout->addWidget(m_page->widget());
    }
}

WebBrowser::~WebBrowser() = default;

QWidget *WebBrowser::view() const { return m_page ? m_page->widget() : nullptr; }

void WebBrowser::GoBack()
{
    if (m_page)
        m_page->back();
}
void WebBrowser::GoForward()
{
    if (m_page)
        m_page->forward();
}
void WebBrowser::Refresh()
{
    if (m_page)
        m_page->reload();
}
void WebBrowser::Stop()
{
    if (m_page)
        m_page->stop();
}
void WebBrowser::Navigate(const QString &address)
{
    if (!m_page)
        throw std::runtime_error("The web engine could not be loaded: " + engine().error.toStdString());
    m_page->load(completeAddress(address));
}
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
    const QUrl url = m_page ? m_page->address() : QUrl();
    return url.isEmpty() ? QString() : url.toString(QUrl::FullyEncoded);
}

bool WebBrowser::Offline() const
{
    if (offlineOverride())
        return *offlineOverride();
    // The system's answer comes through the engine's module, which has the network layer.
    NetworkOffline *offline = engine().offline;
    return offline && offline();
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
    m_page->readTitle([self, load](const QString &title) {
        if (!self || load != self->m_loads)
            return;
        self->m_title = title;
        emit self->NavigateComplete2();
    });
}

} // namespace platform::web
