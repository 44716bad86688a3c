// Opens the web browser offscreen on a temporary program folder with a few typed addresses
// and favourites, shows a page of cover pictures from a local file and saves the window as
// a PNG file; then the favourites editor over it.
//
//   pelmora_screenshot_web <resources folder> <web-browser.png> <favourites.png>
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "coverformats/BrowserLists.h"
#include "coverformats/DialogRunner.h"
#include "coverformats/frmFavorites.h"
#include "coverformats/frmSearch.h"
#include "platform/web/WebBrowser.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace {

void wait(int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A cover picture: a gradient with a title.
bool writeCover(const QString &file, const QColor &from, const QColor &to, const QString &title)
{
    QImage img(220, 220, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 220, 220);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(img.rect(), g);
    p.setPen(QColor(255, 255, 255, 90));
    for (int r = 30; r < 160; r += 22)
        p.drawEllipse(QPointF(110, 110), r, r);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 16, QFont::Bold));
    p.drawText(QRect(0, 150, 220, 50), Qt::AlignCenter, title);
    p.end();
    return img.save(file, "PNG");
}

// Closes the favourites editor after its picture is taken.
class Snapshot final : public DialogRunner {
public:
    explicit Snapshot(QString out) : m_out(std::move(out)) {}
    int run(QDialog &dialog) override
    {
        auto &editor = static_cast<frmFavorites &>(dialog);
        editor.show();
        editor.lstFavorites->setCurrentRow(1);
        wait(500);
        saved = editor.grab().save(m_out, "PNG");
        dialog.reject();
        return 0;
    }
    bool saved = false;

private:
    QString m_out;
};

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <web-browser.png> <favourites.png>", 3, 3);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    const QString data = session.home() + QStringLiteral("/data");
    getLanguageFiles();
    setLanguage(session.home() + QStringLiteral("/language/English.dll"));

    // A page of cover pictures in the program folder.
    const QString pages = session.home() + QStringLiteral("/pages");
    QDir().mkpath(pages);
    const struct { const char *file, *title; QColor from, to; } covers[] = {
        {"hills.png", "EVENING HILLS", QColor(24, 32, 84), QColor(250, 176, 96)},
        {"sea.png", "DEEP SEA", QColor(10, 60, 90), QColor(60, 200, 190)},
        {"forest.png", "FOREST", QColor(20, 70, 30), QColor(180, 210, 90)},
        {"night.png", "NIGHT DRIVE", QColor(40, 10, 60), QColor(230, 60, 120)}};
    QByteArray html = "<html><head><title>Cover pictures</title><style>"
                      "body{font-family:'DejaVu Sans';margin:24px;background:#f4f1ea}"
                      "h1{font-size:22px;color:#333}figure{display:inline-block;margin:0 14px 14px 0}"
                      "figcaption{font-size:12px;color:#555;text-align:center}</style></head><body>"
                      "<h1>Cover pictures</h1><p>Drag a picture onto a cover side of the main window.</p>";
    for (const auto &c : covers) {
        if (!writeCover(pages + u'/' + QLatin1String(c.file), c.from, c.to, QLatin1String(c.title)))
            return 1;
        html += QByteArray("<figure><img src='") + c.file + "' width='220' height='220'><figcaption>" + c.file
                + "</figcaption></figure>";
    }
    html += "</body></html>";
    QFile page(pages + QStringLiteral("/covers.html"));
    if (!page.open(QIODevice::WriteOnly))
        return 1;
    page.write(html);
    page.close();
    const QString address = QUrl::fromLocalFile(page.fileName()).toString(QUrl::FullyEncoded);

    AddressHistory::save(AddressHistory::defaultPath(),
                         {QStringLiteral("http://www.example.de/covers/"), QStringLiteral("http://127.0.0.1/pictures/")});
    FavoritesFile::rewrite(FavoritesFile::defaultPath(),
                           {{QStringLiteral("Cover pictures"), address},
                            {QStringLiteral("Free photos"), QStringLiteral("http://www.example.de/photos/")},
                            {QStringLiteral("Band pictures & logos"), QStringLiteral("http://www.example.org/bands/")}});

    // No network here: the start page is blank; the page comes as a typed address.
    platform::web::WebBrowser::overrideOffline(true);
    frmSearch *browser = frmSearch::showSearch();
    browser->resize(900, 640);
    bool loaded = false;
    QObject::connect(browser->ie, &platform::web::WebBrowser::NavigateComplete2, browser,
                     [&] { loaded = browser->ie->LocationURL() == address; });
    QElapsedTimer t;
    t.start();
    wait(1000);
    browser->lstAdress->setEditText(address);
    browser->lstAdress_KeyPress(13);
    while (!loaded && t.elapsed() < 120000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!loaded)
        return 1;
    wait(2000);

    const QString out = session.argument(2);
    QDir().mkpath(QFileInfo(out).path());
    bool saved = browser->grab().save(out, "PNG");

    auto &snapshot = platform::Seam<DialogRunner>::install(std::make_unique<Snapshot>(session.argument(3)));
    browser->menuEditFavorite_Click();
    saved = saved && snapshot.saved;
    browser->close();
    delete browser;
    return saved ? 0 : 1;
}
