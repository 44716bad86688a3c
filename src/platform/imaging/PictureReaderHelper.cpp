// The helper's side of the picture reader: one request, one picture, one answer. The program
// has set the process's limits before it sends the request; here the process gives up what
// it does not need before the decoders see a byte of the file (the network, file writes, new
// programs, signals to other processes), and the pixels go into the memfd the program maps.
#include "platform/imaging/PictureReader.h"

#include "platform/imaging/ImageDecoding.h"
#include "platform/imaging/PictureReaderProtocol.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/HelperChannel.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QThreadPool>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <unistd.h>

namespace platform {

using namespace readerproto;

namespace {

// How long the helper waits for the size of a preview; the program answers at once. For its
// request it waits as long as the program lets it: a helper may be started ahead of a load.
constexpr int kRequestWaitMs = 30000;

// Takes from the process what reading a picture does not need. A kernel without seccomp
// leaves the helper under its limits only, and says so.
void giveUpWhatIsNotNeeded()
{
    scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_ALLOW);
    if (!ctx) {
        std::fprintf(stderr, "pelmora-decoder: no seccomp filter could be made\n");
        return;
    }
    bool ok = true;
    const auto deny = [&](int call, int error, unsigned count = 0, scmp_arg_cmp arg = {}) {
        const int rc = count ? seccomp_rule_add(ctx, SCMP_ACT_ERRNO(error), call, 1, arg)
                             : seccomp_rule_add(ctx, SCMP_ACT_ERRNO(error), call, 0);
        ok = ok && rc == 0;
    };
    // The network: no socket can be made; the one to the program is there already.
    for (const int call : {SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(connect), SCMP_SYS(bind),
                           SCMP_SYS(listen), SCMP_SYS(accept), SCMP_SYS(accept4)})
        deny(call, EACCES);
    // File writes: files are opened to be read only, and nothing in the file system changes.
    for (const int flag : {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC}) {
        deny(SCMP_SYS(open), EACCES, 1, SCMP_A1(SCMP_CMP_MASKED_EQ, scmp_datum_t(flag), scmp_datum_t(flag)));
        deny(SCMP_SYS(openat), EACCES, 1, SCMP_A2(SCMP_CMP_MASKED_EQ, scmp_datum_t(flag), scmp_datum_t(flag)));
    }
    deny(SCMP_SYS(openat2), ENOSYS); // its flags are out of the filter's reach; the C library falls back
    for (const int call :
         {SCMP_SYS(creat), SCMP_SYS(unlink), SCMP_SYS(unlinkat), SCMP_SYS(rename), SCMP_SYS(renameat),
          SCMP_SYS(renameat2), SCMP_SYS(mkdir), SCMP_SYS(mkdirat), SCMP_SYS(rmdir), SCMP_SYS(link),
          SCMP_SYS(linkat), SCMP_SYS(symlink), SCMP_SYS(symlinkat), SCMP_SYS(truncate), SCMP_SYS(chmod),
          SCMP_SYS(fchmod), SCMP_SYS(fchmodat), SCMP_SYS(chown), SCMP_SYS(fchown), SCMP_SYS(lchown),
          SCMP_SYS(fchownat), SCMP_SYS(mknod), SCMP_SYS(mknodat), SCMP_SYS(utime), SCMP_SYS(utimes),
          SCMP_SYS(utimensat), SCMP_SYS(futimesat), SCMP_SYS(setxattr), SCMP_SYS(lsetxattr),
          SCMP_SYS(fsetxattr), SCMP_SYS(removexattr), SCMP_SYS(lremovexattr), SCMP_SYS(fremovexattr)})
        deny(call, EACCES);
    deny(SCMP_SYS(io_uring_setup), ENOSYS); // would reach files past the filter
    // New programs and processes; threads stay.
    for (const int call : {SCMP_SYS(execve), SCMP_SYS(execveat), SCMP_SYS(fork), SCMP_SYS(vfork)})
        deny(call, EPERM);
    deny(SCMP_SYS(clone), EPERM, 1, SCMP_A0(SCMP_CMP_MASKED_EQ, scmp_datum_t(CLONE_THREAD), 0));
    deny(SCMP_SYS(clone3), ENOSYS); // its flags are out of reach; threads are made with clone then
    // Other processes: no signals, no debugging, no namespaces.
    const scmp_datum_t self = scmp_datum_t(getpid());
    deny(SCMP_SYS(kill), EPERM, 1, scmp_arg_cmp{0, SCMP_CMP_NE, self, 0});
    deny(SCMP_SYS(tgkill), EPERM, 1, scmp_arg_cmp{0, SCMP_CMP_NE, self, 0});
    for (const int call : {SCMP_SYS(tkill), SCMP_SYS(ptrace), SCMP_SYS(process_vm_readv),
                           SCMP_SYS(process_vm_writev), SCMP_SYS(pidfd_open), SCMP_SYS(pidfd_send_signal),
                           SCMP_SYS(pidfd_getfd), SCMP_SYS(mount), SCMP_SYS(umount2), SCMP_SYS(setns),
                           SCMP_SYS(unshare), SCMP_SYS(chroot), SCMP_SYS(pivot_root)})
        deny(call, EPERM);
    if (!ok || seccomp_load(ctx) != 0)
        std::fprintf(stderr, "pelmora-decoder: the seccomp filter could not be loaded\n");
    seccomp_release(ctx);
}

// The memfd the program gave for the pixels: sized and mapped for a picture, rows of
// 4 x width bytes.
class SharedPixels {
public:
    explicit SharedPixels(int fd) : fd_(fd) {}
    ~SharedPixels() { unmap(); }
    SharedPixels(const SharedPixels &) = delete;
    SharedPixels &operator=(const SharedPixels &) = delete;

    // A picture over the memory, for a decoder to decode into; null when there is none.
    QImage wrap(QSize size, QImage::Format format)
    {
        if (!map(size))
            return {};
        return QImage(static_cast<uchar *>(address_), size.width(), size.height(), 4 * size.width(), format);
    }

    // Puts the picture into the memory, unless a decoder decoded it there already.
    bool store(QImage image)
    {
        if (holds(image))
            return true;
        if (inside(image))
            image = image.copy(); // in the memory, but not as the program reads it
        if (!map(image.size()))
            return false;
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(static_cast<uchar *>(address_) + qsizetype(y) * 4 * image.width(), image.constScanLine(y),
                        size_t(image.width()) * 4);
        return true;
    }

    void unmap()
    {
        if (address_)
            munmap(address_, length_);
        address_ = nullptr;
        length_ = 0;
    }

private:
    bool inside(const QImage &image) const
    {
        const auto *bits = image.constBits();
        const auto *start = static_cast<const uchar *>(address_);
        return address_ && bits >= start && bits < start + length_;
    }
    bool holds(const QImage &image) const
    {
        return inside(image) && image.constBits() == address_ && image.format() == QImage::Format_ARGB32_Premultiplied &&
               image.bytesPerLine() == 4 * image.width() && length_ == size_t(image.sizeInBytes());
    }
    bool map(QSize size)
    {
        unmap();
        const off_t bytes = off_t(4) * size.width() * size.height();
        if (bytes <= 0 || ftruncate(fd_, bytes) != 0)
            return false;
        void *address = mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (address == MAP_FAILED)
            return false;
        address_ = address;
        length_ = size_t(bytes);
        return true;
    }

    const int fd_;
    void *address_ = nullptr;
    size_t length_ = 0;
};

// The bytes of a picture held in memory, from the program's memfd.
bool readInput(QByteArray &data)
{
    for (;;) {
        char buffer[64 * 1024];
        const ssize_t n = ::read(kInputFd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (data.size() + n > kMaxPictureFileBytes)
            return false;
        data.append(buffer, n);
    }
}

QByteArray fileHead(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(64) : QByteArray();
}

int gArgc = 1;
char gProgramName[] = "pelmora-decoder";
char *gArgv[] = {gProgramName, nullptr};

} // namespace

int runPictureReader(const PictureReaderHooks &hooks)
{
    std::signal(SIGPIPE, SIG_IGN);
    // One allocator arena: every arena reserves its own address space under the limit.
    mallopt(M_ARENA_MAX, 1);
    // The protocol keeps the socket to itself: what libraries print goes to standard error.
    const int socket = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 10);
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (socket < 0 || null < 0)
        return 2;
    dup2(null, STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    close(null);

    // Qt's image readers are found before the request, while a helper started ahead of a load
    // waits: reading a small picture then takes a fraction of a millisecond, not five.
    QImageReader::supportedImageFormats();
    QByteArray message;
    if (!helper::receiveMessage(socket, message, -1, kMaxMessage))
        return 2;
    const std::optional<Request> request = decodeRequest(message);
    if (!request)
        return 2;
    QByteArray data;
    if (request->kind == Kind::Data && !readInput(data))
        return 2;
    close(kInputFd);

    // Text in a metafile is drawn with the fonts of a GUI application; other pictures need none.
    std::unique_ptr<QCoreApplication> app;
    if (decodingDrawsText(request->kind == Kind::Data ? data.left(64) : fileHead(request->path))) {
        app = std::make_unique<QGuiApplication>(gArgc, gArgv);
        QFontDatabase::families(); // the font configuration is read (and its cache kept) before the filter
    } else {
        app = std::make_unique<QCoreApplication>(gArgc, gArgv);
    }
    QThreadPool::globalInstance()->setMaxThreadCount(1); // one core: the time limit counts them all
    giveUpWhatIsNotNeeded();

    if (hooks.beforeDecode)
        hooks.beforeDecode(request->kind == Kind::Data ? request->nameHint : request->path);
    SharedPixels shared(kPixelsFd);
    const PixelAllocator allocate = [&shared](QSize size, QImage::Format format) { return shared.wrap(size, format); };
    QImage image;
    QSize original;
    CodecResult decoded;
    switch (request->kind) {
    case Kind::File: decoded = decodeImageFile(request->path, image, allocate); break;
    case Kind::Data: decoded = decodeImageData(data, request->nameHint, image, allocate); break;
    case Kind::Preview:
        decoded = decodePreviewFile(
            request->path,
            [socket](QSize size) {
                QByteArray reply;
                if (!helper::sendMessage(socket, sizeAnswer(size)) ||
                    !helper::receiveMessage(socket, reply, kRequestWaitMs, kMaxMessage))
                    std::_Exit(2);
                const std::optional<QSize> target = decodeTarget(reply);
                if (!target)
                    std::_Exit(2);
                return *target;
            },
            image, original);
        break;
    }
    data = QByteArray();

    Result result{decoded.error, decoded.message, decoded.size, {}, original};
    if (decoded.ok) {
        if (shared.store(image)) {
            result.pixels = image.size();
        } else {
            result.error = CodecError::TooLarge;
            result.message = QStringLiteral("Not enough memory for the picture.");
        }
    }
    image = QImage();
    shared.unmap();
    if (hooks.beforeAnswer)
        hooks.beforeAnswer(result.pixels);
    return helper::sendMessage(socket, resultAnswer(result)) ? 0 : 2;
}

} // namespace platform
