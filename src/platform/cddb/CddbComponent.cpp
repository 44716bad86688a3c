#include "platform/cddb/CddbComponent.h"

#include "platform/cddb/CdDrives.h"
#include "platform/cddb/CddbError.h"

#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTimer>

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace platform {

namespace {

constexpr const char *kDefaultHost = "gnudb.gnudb.org";

// What the reading thread hands back. Shared, so that a stopped wait may leave the thread to
// finish on its own.
struct TocRead {
    std::mutex lock;
    std::atomic<bool> done{false};
    TableOfContents toc;
    std::exception_ptr failure;
};

} // namespace

CddbComponent::CddbComponent() { server_.host = QString::fromLatin1(kDefaultHost); }

CddbComponent::~CddbComponent() = default;

QStringList CddbComponent::Drives() { return CdDrives::get().drives(); }

void CddbComponent::SetServer(const QString &host, long port, long timeLimitSeconds)
{
    if (host.trimmed().isEmpty())
        throw CddbError(CddbErr::ServerNotAvailable, QStringLiteral("No CDDB server is given."));
    if (port < 1 || port > 65535)
        throw CddbError(CddbErr::ServerNotAvailable, QStringLiteral("%1 is no port of a CDDB server.").arg(port));
    server_.host = host.trimmed();
    server_.port = int(port);
    server_.timeLimitSeconds = int(qBound(1L, timeLimitSeconds, 24L * 60 * 60));
}

TableOfContents CddbComponent::readToc(const QString &drive)
{
    CdDrives &drives = CdDrives::get();
    auto state = std::make_shared<TocRead>();
    std::thread([state, &drives, drive] {
        try {
            TableOfContents toc = drives.readTableOfContents(drive);
            const std::lock_guard<std::mutex> g(state->lock);
            state->toc = std::move(toc);
        } catch (...) {
            const std::lock_guard<std::mutex> g(state->lock);
            state->failure = std::current_exception();
        }
        state->done = true;
    }).detach();

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state->done || aborted_)
            loop.quit();
    });
    poll.start(5);
    if (!state->done)
        loop.exec();
    if (aborted_)
        throw CddbError(CddbErr::Cancelled, QStringLiteral("The lookup was stopped."));
    const std::lock_guard<std::mutex> g(state->lock);
    if (state->failure)
        std::rethrow_exception(state->failure);
    return state->toc;
}

void CddbComponent::QueryDisc(const QString &drive)
{
    if (querying_)
        throw CddbError(CddbErr::Cancelled, QStringLiteral("A lookup is already running."));
    const QScopedValueRollback<bool> running(querying_, true);
    aborted_ = false;
    discs_.clear();
    const DiscId id = DiscId::fromToc(readToc(drive));
    client_ = std::make_unique<CddbClient>(server_);
    const QList<CddbDiscData> found = client_->lookup(id);
    client_.reset();
    for (const CddbDiscData &d : found) {
        QList<CddbTrack> tracks;
        for (int i = 0; i < id.trackCount(); ++i)
            tracks << CddbTrack(d.entry.trackTitles.value(i), formatSectors(id.lengths.value(i)));
        discs_ << CddbDisc(d.entry.artist, d.entry.title, tracks);
    }
}

void CddbComponent::Abort()
{
    if (!querying_)
        return;
    aborted_ = true;
    if (client_)
        client_->abort();
}

} // namespace platform
