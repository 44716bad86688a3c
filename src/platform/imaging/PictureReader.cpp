// The program's side of the picture reader: starts the helper under its limits, waits for it
// with the windows painted, tells from how it ended what happened, and maps the pixels.
#include "platform/imaging/PictureReader.h"

#include "platform/imaging/PictureReaderProtocol.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/HelperChannel.h"
#include "platform/ui/Screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

using codecs::failed;
using codecs::succeeded;
using namespace readerproto;

namespace {

constexpr PictureReaderLimits kDefaultLimits;
// How long a helper that has answered may take to end before it is made to.
constexpr int kExitGraceMs = 2000;
// A helper that failed after its resident memory came this close to the limit ran out of it.
constexpr double kNearMemoryLimit = 0.9;
#ifdef PELMORA_SANITIZED
// The exit code of a sanitizer's report (and of its memory limit) in the helper.
constexpr int kSanitizerExitCode = 86;
#endif

PictureReaderLimits &limitsInUse()
{
    static PictureReaderLimits limits;
    return limits;
}

PictureReaderRun &lastRun()
{
    static PictureReaderRun run;
    return run;
}

bool guiReading = false; // touched on the GUI thread only

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// The memfd holding a picture's bytes for a helper, read from its start.
int inputMemory(const QByteArray &data)
{
    Descriptor fd(memfd_create("pelmora-picture-input", MFD_CLOEXEC));
    if (!fd.valid())
        return -1;
    const char *at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = write(fd.get(), at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        at += n;
        left -= n;
    }
    if (lseek(fd.get(), 0, SEEK_SET) != 0)
        return -1;
    return fd.release();
}

std::vector<QByteArray> helperEnvironment(const PictureReaderLimits &limits)
{
    std::vector<QByteArray> env;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("QT_QPA_PLATFORM=") && !entry.startsWith("ASAN_OPTIONS=") &&
            !entry.startsWith("UBSAN_OPTIONS=") && !entry.startsWith("LSAN_OPTIONS="))
            env.push_back(entry);
    }
    // The helper shows no window: it never talks to a display.
    env.push_back("QT_QPA_PLATFORM=offscreen");
#ifdef PELMORA_SANITIZED
    // The sanitizer's shadow memory takes terabytes of address space, so no RLIMIT_AS: the
    // sanitizer's own resident-memory limit ends the helper instead. Crashes stay signals, so
    // that they read as crashes; a report ends the helper with its own exit code.
    const QByteArray common = ":exitcode=" + QByteArray::number(kSanitizerExitCode) +
                              ":handle_segv=0:handle_sigbus=0:handle_abort=0:handle_sigfpe=0:handle_sigill=0";
    env.push_back("ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:allocator_may_return_null=1:hard_rss_limit_mb=" +
                  QByteArray::number(limits.memoryBytes / (1024 * 1024)) + common);
    env.push_back("UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1" + common);
#else
    Q_UNUSED(limits);
#endif
    return env;
}

bool setLimits(pid_t pid, const PictureReaderLimits &limits)
{
    const rlimit cpu{rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds) + 1};
    const rlimit none{0, 0};
    bool ok = prlimit(pid, RLIMIT_CPU, &cpu, nullptr) == 0 && prlimit(pid, RLIMIT_CORE, &none, nullptr) == 0;
#ifndef PELMORA_SANITIZED
    const rlimit memory{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
    ok = ok && prlimit(pid, RLIMIT_AS, &memory, nullptr) == 0;
#endif
    return ok;
}

void nap(int milliseconds)
{
    const timespec t{0, long(milliseconds) * 1000 * 1000};
    nanosleep(&t, nullptr);
}

// How the helper ended.
struct Ending {
    int status = 0;
    rusage usage{};
    bool killed = false; // by us, at the deadline or after it had answered and lingered
};

// Waits for the helper to end, at most graceMs (-1: for ever), and then ends it.
Ending reap(pid_t pid, int graceMs, const helper::Pump &pump)
{
    Ending e;
    QElapsedTimer waited, sincePump;
    waited.start();
    sincePump.start();
    for (;;) {
        const pid_t r = wait4(pid, &e.status, WNOHANG, &e.usage);
        if (r == pid || (r < 0 && errno != EINTR))
            return e;
        if (graceMs >= 0 && waited.elapsed() >= graceMs)
            break;
        if (pump && sincePump.elapsed() >= helper::kSliceMs) {
            pump();
            sincePump.restart();
        }
        nap(1);
    }
    ::kill(pid, SIGKILL);
    e.killed = true;
    while (wait4(pid, &e.status, 0, &e.usage) < 0 && errno == EINTR) {
    }
    return e;
}

double cpuSeconds(const rusage &u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

CodecResult tooSlow() { return failed(CodecError::TooSlow, QStringLiteral("The picture takes too long to read.")); }
CodecResult outOfMemory()
{
    return failed(CodecError::TooLarge, QStringLiteral("The picture needs more memory than a picture may take."));
}
CodecResult brokenAnswer(const QString &why)
{
    return failed(CodecError::CannotDecode, QStringLiteral("The picture could not be read: %1").arg(why));
}

struct PixelMapping {
    void *address;
    size_t length;
};

void unmapPixels(void *info)
{
    auto *m = static_cast<PixelMapping *>(info);
    munmap(m->address, m->length);
    delete m;
}

// The picture the helper put into the memfd, once its announced size is checked against the
// picture limits and the memory itself. The helper is gone, and the memory is sealed against
// shrinking before it is mapped: nothing can take pages from under the picture.
CodecResult mapPixels(int fd, QSize size, QImage &out)
{
    if (size.width() < 1 || size.height() < 1 || !withinPictureLimits(size))
        return brokenAnswer(QStringLiteral("the picture's size is not one a picture can have."));
    const qint64 bytes = 4LL * size.width() * size.height();
    struct stat st{};
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0 || fstat(fd, &st) != 0 ||
        st.st_size != bytes)
        return brokenAnswer(QStringLiteral("the pixels do not match the picture's size."));
    void *address = mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address == MAP_FAILED)
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    auto *mapping = new PixelMapping{address, size_t(bytes)};
    out = QImage(static_cast<uchar *>(address), size.width(), size.height(), 4 * size.width(),
                 QImage::Format_ARGB32_Premultiplied, &unmapPixels, mapping);
    if (out.isNull()) {
        unmapPixels(mapping);
        return failed(CodecError::TooLarge, QStringLiteral("Not enough memory for the picture."));
    }
    return succeeded();
}

// A helper process and the program's ends of its descriptors; the process is reaped by whoever
// holds it.
struct Helper {
    pid_t pid = -1;
    Descriptor socket, pixels, notices;
    QString program;
    PictureReaderLimits limits;
};

// Starts a helper, given the descriptor of a picture's bytes (or -1).
std::unique_ptr<Helper> startHelper(const QString &program, const PictureReaderLimits &limits, int inputFd)
{
    auto h = std::make_unique<Helper>();
    h->program = program;
    h->limits = limits;
    h->pixels.reset(memfd_create("pelmora-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    const Descriptor none(inputFd < 0 ? open("/dev/null", O_RDONLY | O_CLOEXEC) : -1);
    int noticePipe[2] = {-1, -1};
    if (!h->pixels.valid() || (inputFd < 0 && !none.valid()) || pipe2(noticePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    h->notices.reset(noticePipe[0]);
    const Descriptor noticeEnd(noticePipe[1]);
    const helper::Started started = helper::start(
        program,
        {{h->pixels.get(), kPixelsFd}, {inputFd < 0 ? none.get() : inputFd, kInputFd}, {noticeEnd.get(), kNoticeFd}},
        helperEnvironment(limits));
    if (started.pid < 0)
        return nullptr;
    h->pid = started.pid;
    h->socket.reset(started.socket);
    return h;
}

// Starting a helper takes longer than most pictures take to read (it loads the libraries of
// every decoder): after each load one is started to wait for the next, so that clicking
// through a folder of pictures stays quick. It waits on its socket and spends nothing; it
// ends with the program.
std::mutex spareMutex;
std::unique_ptr<Helper> spare;

bool sameLimits(const PictureReaderLimits &a, const PictureReaderLimits &b)
{
    return a.cpuSeconds == b.cpuSeconds && a.memoryBytes == b.memoryBytes && a.deadlineMs == b.deadlineMs;
}

void endHelper(std::unique_ptr<Helper> h)
{
    if (!h)
        return;
    ::kill(h->pid, SIGKILL);
    while (waitpid(h->pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// The waiting helper, if it is one of this program and limits and still there.
std::unique_ptr<Helper> takeSpare(const QString &program, const PictureReaderLimits &limits)
{
    std::unique_ptr<Helper> h;
    {
        const std::lock_guard lock(spareMutex);
        h = std::move(spare);
    }
    if (h && (h->program != program || !sameLimits(h->limits, limits) || waitpid(h->pid, nullptr, WNOHANG) != 0)) {
        endHelper(std::move(h));
        return nullptr;
    }
    return h;
}

void keepSpare(const QString &program, const PictureReaderLimits &limits)
{
    {
        const std::lock_guard lock(spareMutex);
        if (spare)
            return;
    }
    std::unique_ptr<Helper> h = startHelper(program, limits, -1);
    const std::lock_guard lock(spareMutex);
    if (!spare)
        spare = std::move(h);
    else
        endHelper(std::move(h));
}

// One picture read by a helper. data, when given, is the picture's bytes; targetFor, for a
// preview, gives the size to decode at.
CodecResult read(const Request &request, const QByteArray *data, const std::function<QSize(QSize)> &targetFor,
                 QImage &out, QSize *original)
{
    const bool gui = helper::onGuiThread();
    if (gui && guiReading)
        return failed(CodecError::Busy, QStringLiteral("Another picture is being read."));
    const QScopedValueRollback<bool> reading(guiReading, guiReading || gui);
    lastRun() = {};
    QElapsedTimer wall;
    wall.start();
    const PictureReaderLimits limits = limitsInUse();

    const QString program = pictureReaderPath();
    if (program.isEmpty())
        return failed(CodecError::CannotDecode, QStringLiteral("The picture reader (pelmora-decoder) is missing."));
    // A picture held in memory goes to a helper of its own, which is given the bytes; a file
    // to the helper started after the last load, if there is one.
    std::unique_ptr<Helper> reader = data ? nullptr : takeSpare(program, limits);
    if (!reader) {
        const Descriptor input(data ? inputMemory(*data) : -1);
        if (data && !input.valid())
            return failed(CodecError::CannotDecode, QStringLiteral("The picture reader could not be prepared."));
        reader = startHelper(program, limits, input.get());
    }
    const auto nextSpare = qScopeGuard([&] {
        // On the GUI thread the next helper starts once the picture is shown.
        if (gui)
            QTimer::singleShot(0, [program, limits] { keepSpare(program, limits); });
        else
            keepSpare(program, limits);
    });
    if (!reader)
        return failed(CodecError::CannotDecode, QStringLiteral("The picture reader could not be started."));
    const pid_t pid = reader->pid;
    const int socket = reader->socket.get();

    helper::Pump pump;
    int pointerBefore = Pointer::Default;
    if (gui) {
        pump = [] {
            // The windows are painted; a click or a key waits until the picture is read.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, helper::kSliceMs);
            return true;
        };
        pointerBefore = Screen::get().mousePointer();
        Screen::get().setMousePointer(Pointer::Hourglass);
    }
    const auto restorePointer = qScopeGuard([&] {
        if (gui)
            Screen::get().setMousePointer(pointerBefore);
    });

    // Nothing is decoded before the request arrives, and the request comes after the limits.
    bool sent = setLimits(pid, limits) && helper::sendMessage(socket, encode(request));
    std::optional<Result> result;
    QSize target, announced;
    while (sent) {
        const qint64 left = limits.deadlineMs - wall.elapsed();
        QByteArray message;
        if (left <= 0 || !helper::receiveMessage(socket, message, int(left), kMaxMessage, pump))
            break;
        const std::optional<Answered> answer = decodeAnswer(message);
        if (!answer)
            break;
        if (answer->type == Answer::Result) {
            result = answer->result;
            break;
        }
        if (request.kind != Kind::Preview || announced.isValid())
            break; // a size is announced once, and only for a preview
        announced = answer->size;
        target = targetFor ? targetFor(announced) : QSize();
        sent = helper::sendMessage(socket, targetReply(target));
    }
    const bool pastDeadline = !result && wall.elapsed() >= limits.deadlineMs;
    const Ending ending = reap(pid, result ? kExitGraceMs : pastDeadline ? 0 : kExitGraceMs, pump);
    char notice = 0;
    const bool noticed = ::read(reader->notices.get(), &notice, 1) == 1;
    lastRun() = {cpuSeconds(ending.usage), qint64(ending.usage.ru_maxrss) * 1024, wall.elapsed()};

    const bool signalled = WIFSIGNALED(ending.status);
    const int signal = signalled ? WTERMSIG(ending.status) : 0;
    const bool overCpu = signal == SIGXCPU || (signal == SIGKILL && cpuSeconds(ending.usage) >= limits.cpuSeconds);
    const bool overMemory =
        noticed || double(lastRun().helperPeakBytes) >= kNearMemoryLimit * double(limits.memoryBytes);
#ifdef PELMORA_SANITIZED
    if (WIFEXITED(ending.status) && WEXITSTATUS(ending.status) == kSanitizerExitCode && !overMemory) {
        // A sanitizer found a fault in a decoder: in a sanitizer build that must not pass as
        // a damaged picture.
        qFatal("The picture reader's sanitizer reported a fault while reading %s", qPrintable(request.path));
    }
#endif
    if (result && !ending.killed && WIFEXITED(ending.status) && WEXITSTATUS(ending.status) == 0) {
        if (result->error != CodecError::None)
            return overMemory ? outOfMemory()
                              : CodecResult{false, result->error, result->message, result->refused};
        if (request.kind == Kind::Preview) {
            const QSize expected = target.isValid() ? target : announced;
            if (!announced.isValid() || result->original != announced || result->pixels != expected)
                return brokenAnswer(QStringLiteral("the preview is not of the size asked for."));
            if (original)
                *original = announced;
        }
        return mapPixels(reader->pixels.get(), result->pixels, out);
    }
    // An allocation the helper saw fail is the cause, even where the CPU time ran out while
    // the memory was being filled; a peak near the limit without one only where it did not.
    if (noticed)
        return outOfMemory();
    if (pastDeadline || overCpu)
        return tooSlow();
    if (overMemory)
        return outOfMemory();
    if (signalled)
        return brokenAnswer(QStringLiteral("the reader ended with signal %1.").arg(signal));
    return brokenAnswer(QStringLiteral("the reader gave no answer (exit code %1).")
                            .arg(WIFEXITED(ending.status) ? WEXITSTATUS(ending.status) : -1));
}

} // namespace

PictureReaderLimits pictureReaderLimits() { return limitsInUse(); }

void setPictureReaderLimits(const PictureReaderLimits &limits)
{
    PictureReaderLimits &l = limitsInUse();
    l.cpuSeconds = limits.cpuSeconds > 0 ? limits.cpuSeconds : kDefaultLimits.cpuSeconds;
    l.memoryBytes = limits.memoryBytes > 0 ? limits.memoryBytes : kDefaultLimits.memoryBytes;
    l.deadlineMs = limits.deadlineMs > 0 ? limits.deadlineMs : kDefaultLimits.deadlineMs;
}

QString pictureReaderPath() { return helper::besideProgram("PELMORA_DECODER_HELPER", QStringLiteral("pelmora-decoder")); }

bool pictureBeingRead() { return guiReading; }

PictureReaderRun lastPictureReaderRun() { return lastRun(); }

CodecResult loadImageFile(const QString &path, QImage &out)
{
    if (!isSupportedForReading(QFileInfo(path).suffix()))
        return failed(CodecError::NotSupported, QStringLiteral("The picture type is not supported: %1").arg(path));
    return read(Request{Kind::File, path, {}}, nullptr, {}, out, nullptr);
}

CodecResult loadImageData(const QByteArray &data, const QString &nameHint, QImage &out)
{
    if (data.isEmpty())
        return failed(CodecError::CannotDecode, QStringLiteral("The file is empty."));
    if (data.size() > kMaxPictureFileBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The data is too large."));
    return read(Request{Kind::Data, {}, nameHint}, &data, {}, out, nullptr);
}

CodecResult loadPreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                            QSize &original)
{
    return read(Request{Kind::Preview, path, {}}, nullptr, targetFor, out, &original);
}

} // namespace platform
