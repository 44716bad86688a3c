// The program's side of the picture reader: starts the helper under its limits, hands it the
// picture, waits for it with the windows painted, tells from its answer or from how it ended
// what happened, and maps the pixels.
#include "platform/imaging/PictureReader.h"

#include "platform/files/RegularFile.h"
#include "platform/imaging/PictureReaderProtocol.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/HelperChannel.h"
#include "platform/ui/Screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>

#include <algorithm>
#include <atomic>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char **environ;

namespace platform {

using codecs::failed;
using codecs::succeeded;
using namespace readerproto;

namespace {

constexpr PictureReaderLimits kDefaultLimits;
// How long a helper that has answered with an error may take to end before it is made to, and
// one whose answer broke off (it is ending, or answers no more).
constexpr int kExitGraceMs = 2000;
constexpr int kEndingGraceMs = 200;
// A helper that failed after its resident memory came this close to the limit ran out of it.
constexpr double kNearMemoryLimit = 0.9;
#ifdef PELMORA_SANITIZED
// The exit code of a sanitizer's report (and of its memory limit) in the helper.
constexpr int kSanitizerExitCode = 86;
#endif
// What is kept of what a helper wrote to its standard error.
constexpr qsizetype kMaxErrorText = 16 * 1024;

PictureReaderLimits &limitsInUse()
{
    static PictureReaderLimits limits;
    return limits;
}

std::mutex runMutex; // guards lastRun and the helpers that are ending
PictureReaderRun lastRun;

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

// A sealed memfd holding a picture's bytes for a helper, read from its start.
int inputMemory(const QByteArray &data)
{
    Descriptor fd(memfd_create("pelmora-picture-input", MFD_CLOEXEC | MFD_ALLOW_SEALING));
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
    if (lseek(fd.get(), 0, SEEK_SET) != 0 ||
        fcntl(fd.get(), F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0)
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

qint64 peakBytes(int who)
{
    rusage u{};
    getrusage(who, &u);
    return qint64(u.ru_maxrss) * 1024;
}

// The helper's own peak of resident memory, or 0 where it stayed below what the kernel counts
// in from the program (the program's peak when it started the helper, and what its other
// threads may have taken until the helper ran).
qint64 helperPeak(const rusage &u, qint64 programPeak)
{
    constexpr qint64 kMeanwhile = 8LL * 1024 * 1024;
    const qint64 peak = qint64(u.ru_maxrss) * 1024;
    return peak > programPeak + kMeanwhile ? peak : 0;
}

double cpuSeconds(const rusage &u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

CodecResult tooSlow() { return failed(CodecError::TooSlow, QStringLiteral("The picture takes too long to read.")); }
CodecResult outOfMemory()
{
    return failed(CodecError::TooLarge, QStringLiteral("The picture needs more memory than a picture may take."));
}
CodecResult brokenAnswer(const QString &why)
{
    return failed(CodecError::CannotDecode, QStringLiteral("The picture could not be read: %1").arg(why));
}
// A helper that could not be started, or ended before it was ready: why, in few words (the
// program's message says the rest), with the first line it wrote.
CodecResult brokenReader(QString why, const QByteArray &said = {})
{
    const QString first = QString::fromLocal8Bit(said).trimmed().section(u'\n', 0, 0).left(200);
    if (!first.isEmpty())
        why += QStringLiteral(": ") + first;
    return failed(CodecError::ReaderBroken, why);
}
QString endingText(const helper::Ending &ending)
{
    if (WIFSIGNALED(ending.status))
        return QStringLiteral("signal %1").arg(WTERMSIG(ending.status));
    return QStringLiteral("exit code %1").arg(WIFEXITED(ending.status) ? WEXITSTATUS(ending.status) : -1);
}

// The bytes of the pixels of the last picture read: the next helper makes the memory of a
// picture that large ahead (making a picture's memory takes the kernel about as long as
// decoding a small picture), at most kPreparedBytes and a quarter of the helper's memory. A
// helper waiting for the next load holds that memory.
constexpr qint64 kPreparedBytes = 128LL * 1024 * 1024;
std::atomic<qint64> expectedPixelBytes{0};

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
// picture limits and the memory itself. The memory is sealed against a change of size before
// its size is looked at: nothing can take pages from under the picture, also while the helper
// is still there.
CodecResult mapPixels(int fd, QSize size, QImage &out)
{
    if (size.width() < 1 || size.height() < 1 || !withinPictureLimits(size))
        return brokenAnswer(QStringLiteral("the picture's size is not one a picture can have."));
    const qint64 bytes = 4LL * size.width() * size.height();
    struct stat st{};
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0 || fstat(fd, &st) != 0 ||
        st.st_size != bytes)
        return brokenAnswer(QStringLiteral("the pixels do not match the picture's size."));
    // The pages are there already; the program's view of them is made as they are first looked
    // at, many at a fault, which costs less than making it for every page ahead.
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
    expectedPixelBytes = bytes;
    return succeeded();
}

// The file a helper was started from, as it was then: a file put in its place, or changed
// where it lies, is another helper.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    timespec changed{};
    bool operator==(const FileIdentity &o) const
    {
        return device == o.device && inode == o.inode && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat st{};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, st.st_ctim};
}

// A helper process and the program's ends of its descriptors; the process is ended by whoever
// holds it.
struct Helper {
    pid_t pid = -1;
    int error = 0; // why it could not be started
    // The kernel gives a child started from the program, as the peak of its resident memory,
    // at least the program's own peak when it started: only a peak above that is the helper's.
    qint64 programPeak = 0;
    Descriptor socket, pixels, notices, errors;
    QString program;
    std::optional<FileIdentity> identity;
    PictureReaderLimits limits;
};

// Starts a helper under its limits, with the memory for the pixels of a picture of the size
// last read: made ahead by a helper started ahead of its load, made here while it starts by one
// started for a load. Its standard error is a pipe whose end in the helper does not wait: what
// does not fit is lost, and the helper never waits for the program to read it.
std::unique_ptr<Helper> startHelper(const QString &program, const PictureReaderLimits &limits, bool ahead)
{
    auto h = std::make_unique<Helper>();
    h->program = program;
    h->limits = limits;
    h->identity = identityOf(program);
    h->pixels.reset(memfd_create("pelmora-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    int noticePipe[2] = {-1, -1}, errorPipe[2] = {-1, -1};
    if (!h->pixels.valid() || pipe2(noticePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        h->error = errno;
        return h;
    }
    h->notices.reset(noticePipe[0]);
    const Descriptor noticeEnd(noticePipe[1]);
    if (pipe2(errorPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        h->error = errno;
        return h;
    }
    h->errors.reset(errorPipe[0]);
    const Descriptor errorEnd(errorPipe[1]);
    const qint64 expected = std::min({qint64(expectedPixelBytes), kPreparedBytes, limits.memoryBytes / 4});
    std::vector<QByteArray> arguments;
    if (ahead && expected > 0)
        arguments.push_back("--pixels=" + QByteArray::number(expected));
    h->programPeak = peakBytes(RUSAGE_SELF);
    const helper::Started started = helper::start(
        program, {{errorEnd.get(), STDERR_FILENO}, {h->pixels.get(), kPixelsFd}, {noticeEnd.get(), kNoticeFd}},
        helperEnvironment(limits), arguments);
    if (started.pid < 0) {
        h->error = started.error;
        return h;
    }
    h->pid = started.pid;
    h->socket.reset(started.socket);
    // Nothing is read before the request comes, and the request comes after the limits.
    if (!setLimits(h->pid, limits)) {
        h->error = errno;
        helper::end(h->pid, 0);
        h->pid = -1;
        return h;
    }
    if (!ahead && expected > 0)
        fallocate(h->pixels.get(), 0, 0, expected);
    return h;
}

void endHelper(std::unique_ptr<Helper> h)
{
    if (h && h->pid > 0)
        helper::end(h->pid, 0);
}

// What a helper wrote to its standard error, at most kMaxErrorText of it.
QByteArray errorText(int fd)
{
    QByteArray text(kMaxErrorText, Qt::Uninitialized);
    const ssize_t n = ::read(fd, text.data(), size_t(text.size()));
    text.resize(n > 0 ? n : 0);
    return text;
}

// Starting a helper takes longer than many pictures take to read (it loads Qt and its
// libraries): a helper is started for the next load as soon as one has its picture, so that
// clicking through a folder of pictures finds one ready. It waits on its socket and spends
// nothing; it ends with the program.
std::mutex spareMutex;
std::unique_ptr<Helper> spare;

// A waiting helper of the program's own ends with it anyway; this ends one that is not.
struct SpareEnding {
    ~SpareEnding() { endSparePictureReader(); }
} spareEnding;

bool sameLimits(const PictureReaderLimits &a, const PictureReaderLimits &b)
{
    return a.cpuSeconds == b.cpuSeconds && a.memoryBytes == b.memoryBytes && a.deadlineMs == b.deadlineMs;
}

// True while the child runs: not ended, not stopped, and not ending (a process whose first
// thread has ended is not yet one to wait for while its other threads end).
bool running(pid_t pid)
{
    siginfo_t info{};
    if (waitid(P_PID, id_t(pid), &info, WEXITED | WSTOPPED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && end + 2 < line.size() && !QByteArrayView("ZXTt").contains(line.at(end + 2));
}

// The waiting helper, if it is one of this program file and these limits and still runs.
std::unique_ptr<Helper> takeSpare(const QString &program, const PictureReaderLimits &limits)
{
    std::unique_ptr<Helper> h;
    {
        const std::lock_guard lock(spareMutex);
        h = std::move(spare);
    }
    if (h && (h->program != program || !sameLimits(h->limits, limits) || !h->identity ||
              h->identity != identityOf(program) || !running(h->pid))) {
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
    std::unique_ptr<Helper> h = startHelper(program, limits, true);
    if (h->pid < 0)
        return;
    const std::lock_guard lock(spareMutex);
    if (!spare)
        spare = std::move(h);
    else
        endHelper(std::move(h));
}

// The helpers that answered and were ended then, reaped (and their run noted) by the next load.
struct EndedHelper {
    pid_t pid;
    qint64 programPeak;
};
std::vector<EndedHelper> endedHelpers;

void reapEnded()
{
    const std::lock_guard lock(runMutex);
    for (const EndedHelper &h : endedHelpers) {
        const helper::Ending e = helper::end(h.pid, 0);
        lastRun.helperCpuSeconds = cpuSeconds(e.usage);
        lastRun.helperPeakBytes = helperPeak(e.usage, h.programPeak);
    }
    endedHelpers.clear();
}

// The descriptor the helper reads the picture from: the file, opened here (a FIFO or a device
// is not waited for), or the bytes held in memory.
CodecResult openInput(const QString &path, const QByteArray *data, Descriptor &input)
{
    if (data) {
        input.reset(inputMemory(*data));
        if (!input.valid())
            return failed(CodecError::CannotDecode, QStringLiteral("The picture could not be handed to its reader: %1")
                                                        .arg(systemError(errno)));
        return succeeded();
    }
    QFile file;
    if (!openRegularFile(file, path))
        return failed(CodecError::CannotDecode, QStringLiteral("The file cannot be opened: %1").arg(path));
    if (file.size() > kMaxPictureFileBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The file is too large."));
    input.reset(fcntl(file.handle(), F_DUPFD_CLOEXEC, 0));
    return input.valid() ? succeeded() : failed(CodecError::CannotDecode, systemError(errno));
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
    reapEnded();
    {
        const std::lock_guard lock(runMutex);
        lastRun = {};
    }
    QElapsedTimer wall;
    wall.start();
    const PictureReaderLimits limits = limitsInUse();

    const QString program = pictureReaderPath();
    if (program.isEmpty())
        return failed(CodecError::ReaderMissing, QStringLiteral("The picture reader (pelmora-decoder) is missing."));
    Descriptor input;
    if (CodecResult opened = openInput(request.name, data, input); !opened)
        return opened;
    std::unique_ptr<Helper> reader = takeSpare(program, limits);
    if (!reader)
        reader = startHelper(program, limits, false);
    if (reader->pid < 0)
        return brokenReader(systemError(reader->error));
    const pid_t pid = reader->pid;
    const int socket = reader->socket.get();

    int pointerBefore = Pointer::Default;
    if (gui) {
        pointerBefore = Screen::get().mousePointer();
        Screen::get().setMousePointer(Pointer::Hourglass);
    }
    const auto restorePointer = qScopeGuard([&] {
        if (gui)
            Screen::get().setMousePointer(pointerBefore);
    });
    const helper::Pump pump = helper::guiPump();

    bool sent = helper::sendMessage(socket, encode(request), {input.get()});
    input.reset();
    // The next load finds a helper ready, however soon it comes (where this one could be asked).
    if (sent)
        keepSpare(program, limits);
    bool ready = false;
    std::optional<Result> result;
    QSize target, announced;
    while (sent) {
        const qint64 left = limits.deadlineMs - wall.elapsed();
        QByteArray message;
        if (left <= 0 || !helper::receiveMessage(socket, message, int(left), kMaxMessage, pump))
            break;
        const std::optional<Answered> answer = decodeAnswer(message);
        if (!answer || (answer->type == Answer::Ready) == ready)
            break; // Ready comes first, and once
        if (answer->type == Answer::Ready) {
            ready = true;
        } else if (answer->type == Answer::Result) {
            result = answer->result;
            break;
        } else {
            if (request.kind != Kind::Preview || announced.isValid())
                break; // a size is announced once, and only for a preview
            announced = answer->size;
            target = targetFor ? targetFor(announced) : QSize();
            sent = helper::sendMessage(socket, targetReply(target));
        }
    }

    if (result && result->error == CodecError::None) {
        // The helper has done its work: it is ended now and reaped by the next load, and the
        // picture is here as soon as it is mapped.
        helper::kill(pid);
        {
            const std::lock_guard lock(runMutex);
            endedHelpers.push_back({pid, reader->programPeak});
            lastRun.wallMs = wall.elapsed();
        }
        if (request.kind == Kind::Preview) {
            const QSize expected = target.isValid() ? target : announced;
            if (!announced.isValid() || result->original != announced || result->pixels != expected)
                return brokenAnswer(QStringLiteral("the preview is not of the size asked for."));
            if (original)
                *original = announced;
        }
        return mapPixels(reader->pixels.get(), result->pixels, out);
    }

    // A helper that answered may end as it will, to tell how (out of memory, say); one that
    // broke off is ending or is ended.
    const bool pastDeadline = !result && wall.elapsed() >= limits.deadlineMs;
    const helper::Ending ending = helper::end(pid, result ? kExitGraceMs : pastDeadline ? 0 : kEndingGraceMs, pump);
    char notice = 0;
    const bool noticed = ::read(reader->notices.get(), &notice, 1) == 1;
    const double cpu = cpuSeconds(ending.usage);
    const qint64 peak = helperPeak(ending.usage, reader->programPeak);
    {
        const std::lock_guard lock(runMutex);
        lastRun = {cpu, peak, wall.elapsed()};
    }

    const bool signalled = WIFSIGNALED(ending.status);
    const int signal = signalled ? WTERMSIG(ending.status) : 0;
    const bool overCpu = signal == SIGXCPU || (signal == SIGKILL && cpu >= limits.cpuSeconds);
    const bool overMemory = noticed || double(peak) >= kNearMemoryLimit * double(limits.memoryBytes);
#ifdef PELMORA_SANITIZED
    if (WIFEXITED(ending.status) && WEXITSTATUS(ending.status) == kSanitizerExitCode && !overMemory) {
        // A sanitizer found a fault in a decoder: in a sanitizer build that must not pass as
        // a damaged picture.
        qFatal("The picture reader's sanitizer reported a fault while reading %s:\n%s", qPrintable(request.name),
               errorText(reader->errors.get()).constData());
    }
#endif
    // A helper says it is ready as soon as it runs: one that did not is no reader.
    if (!ready)
        return brokenReader(pastDeadline ? QStringLiteral("no answer") : endingText(ending), errorText(reader->errors.get()));
    if (result) {
        if (result->error == CodecError::Unsafe)
            return failed(CodecError::Unsafe, result->message);
        return overMemory ? outOfMemory() : CodecResult{false, result->error, result->message, result->refused};
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

void endSparePictureReader()
{
    std::unique_ptr<Helper> h;
    {
        const std::lock_guard lock(spareMutex);
        h = std::move(spare);
    }
    endHelper(std::move(h));
}

PictureReaderRun lastPictureReaderRun()
{
    reapEnded();
    const std::lock_guard lock(runMutex);
    return lastRun;
}

CodecResult loadImageFile(const QString &path, QImage &out)
{
    if (!isSupportedForReading(QFileInfo(path).suffix()))
        return failed(CodecError::NotSupported, QStringLiteral("The picture type is not supported: %1").arg(path));
    return read(Request{Kind::File, path}, nullptr, {}, out, nullptr);
}

CodecResult loadImageData(const QByteArray &data, const QString &nameHint, QImage &out)
{
    if (data.isEmpty())
        return failed(CodecError::CannotDecode, QStringLiteral("The file is empty."));
    if (data.size() > kMaxPictureFileBytes)
        return failed(CodecError::TooLarge, QStringLiteral("The data is too large."));
    return read(Request{Kind::Data, nameHint}, &data, {}, out, nullptr);
}

CodecResult loadPreviewFile(const QString &path, const std::function<QSize(QSize)> &targetFor, QImage &out,
                            QSize &original)
{
    return read(Request{Kind::Preview, path}, nullptr, targetFor, out, &original);
}

} // namespace platform
