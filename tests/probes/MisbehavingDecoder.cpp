// The picture reader's helper, made to misbehave on purpose by the name of the picture it is
// given, so that the tests see each way a helper can end without waiting for a real decoder
// to do so. It runs under the same limits and filter as the real one; a name with none of the
// words below reads the picture as the real helper does.
//   spin     spends CPU time without end          swell   takes memory until there is none,
//   hang     sleeps without end                            then uses the null pointer it got
//   crash    dies of a segmentation fault         quiet   ends without an answer
//   lie      announces a picture larger than the memory it filled
//   huge     announces a picture past the picture limits
//   sandbox  tries to write a file beside the picture and to open a network socket, and ends
//            with exit code 3 if either worked
#include "platform/imaging/PictureReader.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString gName;

void misbehave(const QString &name)
{
    gName = QFileInfo(name).completeBaseName();
    if (gName == QLatin1String("spin")) {
        volatile unsigned long n = 0;
        for (;;)
            n = n + 1;
    }
    if (gName == QLatin1String("hang"))
        for (;;)
            pause();
    if (gName == QLatin1String("crash"))
        std::raise(SIGSEGV);
    if (gName == QLatin1String("quiet"))
        std::_Exit(0);
    if (gName == QLatin1String("swell")) {
        for (;;) {
            constexpr size_t chunk = 16 * 1024 * 1024;
            auto *p = static_cast<char *>(std::malloc(chunk));
            std::memset(p, 1, chunk); // as a careless decoder would, also when p is null
        }
    }
    if (gName == QLatin1String("sandbox")) {
        QFile written(QFileInfo(name).absolutePath() + QStringLiteral("/written.txt"));
        const bool wrote = written.open(QIODevice::WriteOnly);
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        if (wrote || s >= 0)
            std::_Exit(3);
    }
}

void announce(QSize &size)
{
    if (gName == QLatin1String("lie"))
        size = QSize(size.width() + 1, size.height());
    if (gName == QLatin1String("huge"))
        size = QSize(20000, 20000);
}

} // namespace

int main() { return platform::runPictureReader({misbehave, announce}); }
