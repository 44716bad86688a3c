// Row-band parallelism over the global thread pool.
//
// Helpers are only started on threads that are free at the moment (tryStart), and the calling
// thread works through the bands itself, so a filter called from inside a pool thread cannot
// wait for work that never gets a thread.
#include "platform/imaging/FiltersSupport.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>

namespace platform::imaging::detail {

void parallelRows(int rows, qint64 pixelsPerRow, const std::function<void(int, int)> &work)
{
    if (rows <= 0)
        return;
    // Below about this many pixels per band, starting a thread costs more than it saves.
    constexpr qint64 minPixelsPerBand = 65536;
    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = std::max(1, pool->maxThreadCount());
    const qint64 total = qint64(rows) * std::max<qint64>(1, pixelsPerRow);
    const int bands = int(std::min({qint64(rows), qint64(threads) * 4, total / minPixelsPerBand}));
    if (bands <= 1 || threads == 1) {
        work(0, rows);
        return;
    }

    std::atomic<int> next{0};
    auto runBands = [&] {
        for (int b = next.fetch_add(1); b < bands; b = next.fetch_add(1))
            work(int(qint64(rows) * b / bands), int(qint64(rows) * (b + 1) / bands));
    };
    // Shared, since a helper still touches the semaphore after the caller may have woken up.
    auto done = std::make_shared<QSemaphore>();
    int helpers = 0;
    for (int i = 1; i < std::min(threads, bands); ++i) {
        if (!pool->tryStart([&runBands, done] {
                runBands();
                done->release();
            }))
            break;
        ++helpers;
    }
    runBands();
    done->acquire(helpers);
}

QImage premultiplied(const QImage &img)
{
    if (img.isNull() || img.format() == QImage::Format_ARGB32_Premultiplied)
        return img;
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool makeWritablePremultiplied(QImage &img)
{
    if (img.isNull())
        return false;
    if (img.format() != QImage::Format_ARGB32_Premultiplied)
        img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    img.bits(); // detach here, on the calling thread
    return !img.isNull();
}

} // namespace platform::imaging::detail
