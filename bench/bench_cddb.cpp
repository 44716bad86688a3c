// The CDDB layer: parsing a query answer of 50 matches and a disc entry of 99 tracks (each
// under 1 ms), and a whole lookup against a server on 127.0.0.1, one query and three reads
// (under 100 ms). A run over its bound is reported as an error.
#include "BenchBounds.h"
#include "platform/cddb/CddbClient.h"
#include "platform/cddb/CddbProtocol.h"
#include "platform/cddb/DiscToc.h"
#include "BenchRun.h"

#include <QCoreApplication>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <benchmark/benchmark.h>

namespace {

QByteArray fiftyMatches()
{
    QByteArray r = "211 Found inexact matches, list follows (until terminating `.')\r\n";
    for (int i = 0; i < 50; ++i)
        r += "rock " + QByteArray::number(0x2a09c800 + i, 16) + " Some Artist " + QByteArray::number(i)
             + " / Some Rather Long Album Title\r\n";
    return r + ".\r\n";
}

QByteArray entry(int tracks)
{
    QByteArray r = "210 rock 2a09c863 CD database entry follows (until terminating `.')\r\n# xmcd\r\n#\r\n"
                   "# Track frame offsets:\r\n";
    for (int i = 0; i < tracks; ++i)
        r += "#\t" + QByteArray::number(150 + i * 3000) + "\r\n";
    r += "DISCID=2a09c863\r\nDTITLE=Some Artist / Some Album\r\nDYEAR=1999\r\nDGENRE=Rock\r\n";
    for (int i = 0; i < tracks; ++i)
        r += "TTITLE" + QByteArray::number(i) + "=Track number " + QByteArray::number(i)
             + " with a title of some length \\t and \xc3\xa4 umlaut\r\n";
    r += "EXTD=\r\n";
    for (int i = 0; i < tracks; ++i)
        r += "EXTT" + QByteArray::number(i) + "=\r\n";
    return r + "PLAYORDER=\r\n.\r\n";
}

void BM_ParseQueryOf50Matches(benchmark::State &state)
{
    const QByteArray reply = fiftyMatches();
    runWithin(state, 1, "parsing took over 1 ms", [&] { benchmark::DoNotOptimize(platform::parseQueryReply(reply)); });
}
BENCHMARK(BM_ParseQueryOf50Matches)->Unit(benchmark::kMicrosecond);

void BM_ParseEntryOf99Tracks(benchmark::State &state)
{
    const QByteArray reply = entry(99);
    runWithin(state, 1, "parsing took over 1 ms", [&] { benchmark::DoNotOptimize(platform::parseReadReply(reply, 99)); });
}
BENCHMARK(BM_ParseEntryOf99Tracks)->Unit(benchmark::kMicrosecond);

// Answers each request by its target from the thread's event loop, which the client keeps
// running while it waits.
class CannedServer {
public:
    CannedServer()
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    request_[s] += s->readAll();
                    const QByteArray &req = request_[s];
                    if (!req.contains("\r\n\r\n"))
                        return;
                    const QByteArray target = req.split(' ').value(1);
                    request_.remove(s);
                    const QByteArray body = routes.value(target, "404 not here");
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                             + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return server_.serverPort(); }

    QHash<QByteArray, QByteArray> routes;

private:
    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> request_;
};

void BM_LookupWithThreeMatches(benchmark::State &state)
{
    platform::TableOfContents toc;
    for (int i = 0; i < 12; ++i)
        toc.offsets << 150 + i * 17321;
    toc.leadout = 150 + 12 * 17321;
    const platform::DiscId disc = platform::DiscId::fromToc(toc);
    CannedServer server;
    const platform::CddbServer where{QStringLiteral("127.0.0.1"), server.port(), 60};
    const auto target = [&](const QString &command) {
        return QUrl(platform::CddbClient(where).requestUrl(command)).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    };
    const QByteArray id = disc.freedbId.toLatin1();
    server.routes.insert(target(disc.queryCommand()),
                         "210 exact matches\r\nrock " + id + " A\r\njazz " + id + " B\r\nmisc " + id + " C\r\n.\r\n");
    for (const char *category : {"rock", "jazz", "misc"})
        server.routes.insert(target(QStringLiteral("cddb read %1 %2").arg(QLatin1String(category), disc.freedbId)),
                             entry(12));
    bool complete = true;
    runWithin(state, 100, "the lookup took over 100 ms",
              [&] { complete = complete && platform::CddbClient(where).lookup(disc).size() == 3; });
    if (!complete)
        state.SkipWithError("the lookup did not find the three matches");
}
BENCHMARK(BM_LookupWithThreeMatches)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    return benchrun::runChosenBenchmarks();
}
