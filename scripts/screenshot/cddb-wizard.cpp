// Opens the CD track-list wizard offscreen with a scripted CD drive and a CDDB server of its
// own on 127.0.0.1, steps to the choice of the match and saves it as a PNG file.
//
//   pelmora_screenshot_cddb <resources folder> <output folder>
#include "core/libLanguage.h"
#include "platform/cddb/CdDrives.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/TextEditorSeams.h"
#include "tracklists/frmCDDBAssist.h"
#include <QListWidget>

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QHostAddress>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

namespace {

// A drive holding a disc of eleven tracks.
class OneDrive final : public platform::CdDrives {
public:
    QStringList drives() override { return {QStringLiteral("/dev/sr0")}; }
    bool holdsDisc(const QString &) override { return true; }
    platform::TableOfContents readTableOfContents(const QString &) override
    {
        platform::TableOfContents toc;
        const int seconds[] = {214, 187, 245, 198, 301, 176, 229, 262, 193, 240, 318};
        int at = 150;
        for (int s : seconds) {
            toc.offsets << at;
            at += s * 75;
        }
        toc.leadout = at;
        return toc;
    }
};

// Answers a query with three matches and every read with an entry of the category.
class CddbServer : public QTcpServer {
public:
    CddbServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    const QByteArray request = s->readAll();
                    QByteArray body;
                    if (request.contains("cmd=cddb+query")) {
                        const QByteArray id = request.split('+').value(2);
                        body = "211 close matches\r\nrock " + id + " The Lanterns / Harbour Lights\r\nfolk " + id
                               + " The Lanterns / Harbour Lights (Live)\r\nmisc " + id + " Various / Evening\r\n.\r\n";
                    } else if (request.contains("cmd=cddb+read+rock")) {
                        body = "210 rock entry follows\r\nDTITLE=The Lanterns / Harbour Lights\r\n";
                        const char *titles[] = {"Harbour Lights", "Salt and Cedar", "North Pier", "Paper Boats",
                                                "The Long Tide", "Gulls", "Lantern Song", "Weather Vane",
                                                "Low Water", "Driftwood", "Home Before Dark"};
                        for (int i = 0; i < 11; ++i)
                            body += "TTITLE" + QByteArray::number(i) + '=' + titles[i] + "\r\n";
                        body += ".\r\n";
                    } else {
                        body = "210 misc entry follows\r\nDTITLE=Various / Evening\r\n.\r\n";
                    }
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                             + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost, 0);
    }
};

class NoEditor final : public texteditor::TextEditorHost {
public:
    QWidget *window() override { return nullptr; }
    QString text() const override { return {}; }
    void setText(const QString &) override {}
    void focusTextAtEnd() override {}
    bool previewEnabled() const override { return true; }
    void setPreviewEnabled(bool) override {}
    bool autoPreview() const override { return false; }
    void doPreview() override {}
};

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    setLanguage(session.home() + QStringLiteral("/language/English.dll"));
    platform::Seam<platform::CdDrives>::install(std::make_unique<OneDrive>());
    CddbServer server;

    NoEditor editor;
    frmCDDBAssist wizard(editor);
    wizard.Form_Load();
    wizard.txtCDDBServer->setText(QStringLiteral("127.0.0.1"));
    wizard.txtCDDBPort->setText(QString::number(server.serverPort()));
    wizard.show();
    wizard.cmdQuery_Click();
    wizard.cmdQuery_Click();
    if (wizard.step() != 3) {
        std::fprintf(stderr, "the lookup failed\n");
        return 1;
    }
    wizard.lstTracklist->setCurrentRow(0);
    screenshot::settle();
    const QString out = session.argument(2) + QStringLiteral("/cddb-wizard.png");
    return wizard.grab().save(out, "PNG") ? 0 : 1;
}
