// Memory of a download from a server that never stops sending: the body goes to its file as it
// arrives, so the process's peak resident size grows by a few MiB whatever the size limit
// (the read-ahead is 1 MiB); a growth over 16 MiB is reported as an error. Peak growth is the
// counter "peak_MiB", measured for each size on its own.
#include "PeakMemory.h"
#include "platform/net/Download.h"
#include "BenchRun.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Answers every connection with a header and then an endless body, from its own thread.
class EndlessServer {
public:
    EndlessServer()
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a);
        listen(fd_, 4);
        getsockname(fd_, reinterpret_cast<sockaddr *>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~EndlessServer()
    {
        stop_ = true;
        thread_.join();
        close(fd_);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/endless.png").arg(port_); }

private:
    void run()
    {
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n";
        const std::string filler(256 * 1024, 'x');
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0)
                continue;
            bool ok = send(c, head.data(), head.size(), MSG_NOSIGNAL) > 0;
            while (ok && !stop_) {
                pollfd out{c, POLLOUT, 0};
                if (poll(&out, 1, 20) <= 0)
                    continue;
                ok = send(c, filler.data(), filler.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0 || errno == EAGAIN;
            }
            close(c);
        }
    }

    int fd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void BM_EndlessBodyStopsAtTheLimit(benchmark::State &state)
{
    EndlessServer server;
    QTemporaryDir dir;
    auto downloader = platform::makeNetworkDownloader();
    platform::DownloadLimits limits;
    limits.maxBytes = qint64(state.range(0)) << 20;
    downloader->setLimits(limits);
    qint64 transferred = 0;
    const auto growth = bench::measurePeak(state, [&] {
        for (auto _ : state) {
            const auto r = downloader->download(server.url(), dir.filePath(QStringLiteral("endless.png")));
            if (r.errorNumber != platform::DownloadErr::TooLarge)
                state.SkipWithError("the size limit did not stop the download");
            transferred = r.transferred;
        }
    });
    state.counters["transferred_MiB"] = double(transferred) / (1 << 20);
    if (growth && *growth > 16LL << 20)
        state.SkipWithError("the download's memory grew by more than 16 MiB");
}
BENCHMARK(BM_EndlessBodyStopsAtTheLimit)->Arg(64)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    return benchrun::runChosenBenchmarks();
}
