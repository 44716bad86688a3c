// What track lists are read from, when it is hostile or only large: the peak memory and the
// time of a 300 MB text file dropped on the text editor and answered No at the question after
// its 22nd line, of a 16 MiB one answered Yes, of a 300 MB binary file, of a playlist of one
// line of 100 MB, and of a CDDB lookup against a server that offers 2,000 matches of 1 MB
// each. The files are made at run time in a temporary folder and removed at the end.
#include "PeakMemory.h"
#include "platform/cddb/CddbClient.h"
#include "platform/cddb/DiscToc.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/TextEditorSeams.h"
#include "tracklists/ModalRunner.h"
#include "tracklists/TrackListImporters.h"
#include "tracklists/frmM3UParameters.h"

#include "BenchMain.h"

#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <benchmark/benchmark.h>

namespace {

using bench::measurePeak;

class Editor final : public texteditor::TextEditorHost {
public:
    QWidget *window() override { return nullptr; }
    QString text() const override { return text_; }
    void setText(const QString &t) override { text_ = t; }
    void focusTextAtEnd() override {}
    bool previewEnabled() const override { return true; }
    void setPreviewEnabled(bool) override {}
    bool autoPreview() const override { return false; }
    void doPreview() override {}
    QString text_;
};

// Answers the question after the 22nd entry; any other message is counted.
class Answers final : public platform::Prompter {
public:
    int msgBox(const QString &, int style, const QString &) override
    {
        ++shown;
        return (style & 0x0F) == platform::MsgStyle::YesNo ? answer : platform::MsgAnswer::Ok;
    }
    bool inputBox(const QString &, const QString &, const QString &, QString &) override { return false; }
    int answer = platform::MsgAnswer::No;
    int shown = 0;
};

class OnePlaylist final : public platform::Choosers {
public:
    std::optional<platform::FileDialogResult> chooseFile(const platform::FileDialogRequest &) override
    {
        return platform::FileDialogResult{path, 1};
    }
    QString chooseFolder(const QString &, const QString &) override { return QString(); }
    std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }
    QString path;
};

// The playlist dialog confirmed with its defaults.
class ConfirmDialogs final : public tracklists::ModalRunner {
public:
    void run(QDialog &dialog) override
    {
        if (auto *parameters = qobject_cast<frmM3UParameters *>(&dialog))
            parameters->cmdOK->click();
        else
            dialog.hide();
    }
};

const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

// A file of `bytes` bytes made of `piece` over and over, made once.
QString bigFile(const char *name, qint64 bytes, const QByteArray &piece)
{
    const QString path = scratch().filePath(QLatin1String(name));
    if (QFile::exists(path))
        return path;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    QByteArray chunk;
    while (chunk.size() < 1024 * 1024)
        chunk += piece;
    for (qint64 left = bytes; left > 0; left -= chunk.size())
        f.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
    return path;
}

const QByteArray kTrackLine = "Track 00001 - Some Artist - A Title Of Some Length\r\n";

Answers &answers()
{
    static Answers &a = platform::Seam<platform::Prompter>::install(std::make_unique<Answers>());
    return a;
}

void dropped(benchmark::State &state, const QString &path, int answer)
{
    if (path.isEmpty()) {
        state.SkipWithError("the file could not be made");
        return;
    }
    TrackListImporters importers;
    for (auto _ : state) {
        Editor editor;
        answers().answer = answer;
        answers().shown = 0;
        if (!measurePeak(state, [&] { importers.loadTextFromFile(editor, path); }))
            return;
        state.counters["lines"] = editor.text_.isEmpty() ? 0 : double(editor.text_.count(QStringLiteral("\r\n")) + 1);
        state.counters["messages"] = answers().shown;
    }
}

void BM_Dropped300MBTextAnsweredNo(benchmark::State &state)
{
    dropped(state, bigFile("300MB.txt", 300LL * 1000 * 1000, kTrackLine), platform::MsgAnswer::No);
}
BENCHMARK(BM_Dropped300MBTextAnsweredNo)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Dropped16MiBTextAnsweredYes(benchmark::State &state)
{
    dropped(state, bigFile("16MiB.txt", 16LL * 1024 * 1024, kTrackLine), platform::MsgAnswer::Yes);
}
BENCHMARK(BM_Dropped16MiBTextAnsweredYes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Dropped300MBBinary(benchmark::State &state)
{
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131) & 0xFF);
    dropped(state, bigFile("300MB.bin", 300LL * 1000 * 1000, binary), platform::MsgAnswer::Yes);
}
BENCHMARK(BM_Dropped300MBBinary)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlaylistOfOne100MBLine(benchmark::State &state)
{
    const QString path = bigFile("one-line.m3u", 100LL * 1000 * 1000, "music/folder/");
    auto &chooser = platform::Seam<platform::Choosers>::install(std::make_unique<OnePlaylist>());
    chooser.path = path;
    platform::Seam<tracklists::ModalRunner>::install(std::make_unique<ConfirmDialogs>());
    TrackListImporters importers;
    for (auto _ : state) {
        Editor editor;
        answers().shown = 0;
        if (!measurePeak(state, [&] { importers.listPlaylist(editor); }))
            return;
        state.counters["messages"] = answers().shown;
    }
    platform::Seam<tracklists::ModalRunner>::reset();
    platform::Seam<platform::Choosers>::reset();
}
BENCHMARK(BM_PlaylistOfOne100MBLine)->Unit(benchmark::kMillisecond)->Iterations(3);

// A CDDB server that finds 2,000 matches for every disc and sends each entry as 1 MB: a
// valid entry whose disc title never ends, made while it is sent.
class HostileCddbServer {
public:
    HostileCddbServer()
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
                QObject::connect(s, &QTcpSocket::bytesWritten, s, [this, s] { feed(s); });
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return server_.serverPort(); }
    QByteArray query;

private:
    static constexpr qint64 kEntryBytes = 1000 * 1000;

    void answer(QTcpSocket *s)
    {
        QByteArray &request = requests_[s];
        request += s->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const bool read = QUrl::fromPercentEncoding(request.split(' ').value(1)).contains(QStringLiteral("cddb+read"));
        requests_.remove(s);
        if (!read) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(query.size()) +
                     "\r\nConnection: close\r\n\r\n" + query);
            s->disconnectFromHost();
            return;
        }
        const QByteArray start = "210 rock 1 CD database entry follows\r\nDTITLE=";
        s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(kEntryBytes) +
                 "\r\nConnection: close\r\n\r\n" + start);
        left_[s] = kEntryBytes - start.size();
        feed(s);
    }
    void feed(QTcpSocket *s)
    {
        if (!left_.contains(s) || s->bytesToWrite() > 256 * 1024)
            return;
        qint64 &left = left_[s];
        const qint64 n = std::min<qint64>(left, 64 * 1024);
        s->write(QByteArray(int(n - (left == n ? 5 : 0)), 'x') + (left == n ? "\r\n.\r\n" : ""));
        left -= n;
        if (left <= 0) {
            left_.remove(s);
            s->disconnectFromHost();
        }
    }

    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> requests_;
    QHash<QTcpSocket *, qint64> left_;
};

void BM_CddbLookupOf2000MatchesOf1MB(benchmark::State &state)
{
    // A disc of four tracks; the server answers any disc alike.
    platform::TableOfContents toc;
    toc.offsets = {150, 21000, 43500, 61200};
    toc.leadout = 80250;
    const platform::DiscId disc = platform::DiscId::fromToc(toc);
    HostileCddbServer server;
    server.query = "211 close matches\r\n";
    for (int i = 0; i < 2000; ++i)
        server.query += "rock " + QByteArray::number(i, 16).rightJustified(8, '0') + " Match " + QByteArray::number(i) + "\r\n";
    server.query += ".\r\n";
    const platform::CddbServer where{QStringLiteral("127.0.0.1"), server.port(), 600};
    for (auto _ : state) {
        int found = 0;
        QString failure;
        const bool measured = measurePeak(state, [&] {
            try {
                found = int(platform::CddbClient(where).lookup(disc).size());
            } catch (const std::exception &e) {
                failure = QString::fromLocal8Bit(e.what());
            }
        }).has_value();
        if (!measured)
            return;
        state.counters["matches_read"] = found;
        if (!failure.isEmpty())
            state.SetLabel(failure.toStdString());
    }
}
BENCHMARK(BM_CddbLookupOf2000MatchesOf1MB)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
