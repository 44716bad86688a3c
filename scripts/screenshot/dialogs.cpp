// Starts the program offscreen on a temporary program folder and saves the options (on the
// border page), the update check (after a check against a local web server), the about box,
// the tip of the day and the progress window as PNG files.
//
//   pelmora_screenshot_dialogs <resources folder> <output folder>
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmProgressBar.h"
#include "dialogs/frmTip.h"
#include "dialogs/frmUpdateCheck.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

bool save(QWidget *w, const QString &folder, const char *name)
{
    w->show();
    screenshot::settle();
    return w->grab().save(folder + u'/' + QLatin1String(name), "PNG");
}

// Answers every request with the given version file.
class VersionServer : public QTcpServer {
public:
    explicit VersionServer(QByteArray body) : body_(std::move(body))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->readAll().contains("\r\n\r\n"))
                        return;
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                             + QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

private:
    QByteArray body_;
};

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=0\r\nPRINTBORDER=1\r\nBORDERCOLOR=8421504\r\n"
                              "BORDERSTYLE=0\r\nBORDERWIDTH=0,25\r\nPRINTMARGIN=1\r\nMARGINTYPE=1\r\nMARGINCOLOR=255\r\n"
                              "PRINTWITHDEFAULT=0\r\nSTANDARDPATH=/home/user/Pictures/Covers\r\n"
                              "MYMUSICPATH=/home/user/Music\r\nLASTMEDIUM=0\r\n"))
        return 1;

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    auto *window = qobject_cast<frmPelmora *>(Main(hooks));
    if (!window)
        return 1;
    window->timTip->stop();
    screenshot::settle();

    const QString out = session.argument(2);
    QDir().mkpath(out);
    bool ok = true;
    {
        frmOptions dlg(window);
        dlg.tbsOptions->setCurrentIndex(1);
        ok = save(&dlg, out, "options.png") && ok;
    }
    {
        VersionServer server(QByteArrayLiteral("0.9\r\n"));
        if (!server.listen(QHostAddress::LocalHost))
            return 1;
        gStrHomePageURL = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
        frmUpdateCheck dlg(window);
        dlg.show();
        screenshot::settle();
        dlg.cmdRetry_Click();
        // The address shown is the one users see, not the local server's.
        dlg.lblCheckUpateInfo->setText(dlg.lblCheckUpateInfo->text().replace(gStrHomePageURL,
                                                                              QStringLiteral("https://www.pelmora.example/en/")));
        ok = save(&dlg, out, "update-check.png") && ok;
    }
    {
        setLanguage(session.home() + QStringLiteral("/language/English.dll"));
        frmAbout dlg(window);
        ok = save(&dlg, out, "about.png") && ok;
    }
    {
        frmTip dlg(window);
        ok = save(&dlg, out, "tip.png") && ok;
    }
    {
        frmProgressBar dlg(window);
        dlg.lblAction->setText(QStringLiteral("Printing the left side ..."));
        dlg.progBar->setValue(60);
        ok = save(&dlg, out, "progress.png") && ok;
    }
    delete window;
    return ok ? 0 : 1;
}
