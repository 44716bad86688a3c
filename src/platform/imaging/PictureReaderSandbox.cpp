// The picture reader's sandbox, in two layers that need no privilege:
//
// - A seccomp filter that names the system calls the decoders make once they are set up (all
//   they load is loaded before: see prepareDecoder) and refuses every other one, whatever it
//   is and however it is called: a call the list does not name fails with EPERM, one made
//   through another calling convention (32-bit or x32 numbers) ends the helper. Where a named
//   call could reach past the helper, its arguments are narrowed: signals only to itself,
//   resource limits read but not set, descriptors written only as the protocol writes them
//   (its standard error, the notice of a failed allocation, the socket to the program with
//   plain sends), the pixel memory the only descriptor that changes size, new threads but no
//   new process (with the pipes and counters of their wake-ups, open to no one else), files
//   opened to be read only. ioctl is named for TCGETS alone (the C library asks it to tell a
//   terminal), so TIOCSTI, TIOCLINUX and the others are refused. Under a sanitizer, whose
//   own checks write to a pipe of their own, every descriptor may be written.
//
// - Landlock, which names the folders the helper may read files from. Decoding a raster
//   picture opens no file at all: the filter then refuses every open. A metafile's texts are
//   drawn with the system's fonts, which the font libraries open as the texts ask for them
//   (fonts cannot be known before the metafile's records are played, and all of them are too
//   many to open ahead); such a picture may open, to read, the font folders of the font
//   configuration, its caches and configuration files, and nothing else: not the user's
//   files, not /proc (the program's memory) and not /dev. Where the kernel has no Landlock,
//   such a picture is not read (the helper reads nothing it cannot be kept to).
//
// What is left to the helper: the CPU time, memory and wall time the program allows it, and
// the metadata of files (stat tells whether a path exists; the C library's fstat goes through
// the same call).
#include "platform/imaging/PictureReaderSandbox.h"

#include "platform/imaging/PictureReaderProtocol.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <linux/filter.h>
#include <linux/landlock.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace platform::readerproto {

namespace {

QString systemError(const char *what, int error)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error)));
}

// Landlock, as the kernels since 5.13 have it; the rights of later versions are named here, as
// the system's headers may be older than its kernel.
namespace landlock {

struct RulesetAttr {
    quint64 handledAccessFs = 0;
    quint64 handledAccessNet = 0; // from version 4
    quint64 scoped = 0;           // from version 6
};
constexpr quint64 kAccessFsV1 = (1ULL << 13) - 1; // execute ... make_sym
constexpr quint64 kRefer = 1ULL << 13;            // version 2
constexpr quint64 kTruncate = 1ULL << 14;         // version 3
constexpr quint64 kIoctlDev = 1ULL << 15;         // version 5
constexpr quint64 kBindTcp = 1ULL << 0, kConnectTcp = 1ULL << 1;
constexpr quint64 kScopeAbstractUnixSocket = 1ULL << 0, kScopeSignal = 1ULL << 1;
constexpr quint64 kReadFile = LANDLOCK_ACCESS_FS_READ_FILE, kReadDir = LANDLOCK_ACCESS_FS_READ_DIR;

int version()
{
    const long v = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return v < 0 ? 0 : int(v);
}

// Every access the running kernel knows is refused but reading beneath the paths given.
bool restrict(const QStringList &readable, QString &why)
{
    const int abi = version();
    if (abi < 1) {
        why = QStringLiteral("the kernel cannot keep a process from opening files (Landlock is missing or "
                             "switched off)");
        return false;
    }
    RulesetAttr attr;
    attr.handledAccessFs = kAccessFsV1 | (abi >= 2 ? kRefer : 0) | (abi >= 3 ? kTruncate : 0) |
                           (abi >= 5 ? kIoctlDev : 0);
    size_t size = sizeof attr.handledAccessFs;
    if (abi >= 4) {
        attr.handledAccessNet = kBindTcp | kConnectTcp;
        size += sizeof attr.handledAccessNet;
    }
    if (abi >= 6) {
        attr.scoped = kScopeAbstractUnixSocket | kScopeSignal;
        size += sizeof attr.scoped;
    }
    const int ruleset = int(syscall(SYS_landlock_create_ruleset, &attr, size, 0));
    if (ruleset < 0) {
        why = systemError("landlock_create_ruleset", errno);
        return false;
    }
    bool ok = true;
    for (const QString &path : readable) {
        const int fd = open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC);
        if (fd < 0)
            continue; // a folder that is not there holds nothing to read
        landlock_path_beneath_attr rule{};
        rule.allowed_access = QFileInfo(path).isDir() ? kReadFile | kReadDir : kReadFile;
        rule.parent_fd = fd;
        if (syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) != 0) {
            why = systemError("landlock_add_rule", errno);
            ok = false;
        }
        close(fd);
    }
    if (ok && syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) {
        why = systemError("landlock_restrict_self", errno);
        ok = false;
    }
    close(ruleset);
    return ok;
}

} // namespace landlock

// The threads of this process; Landlock shuts in the calling thread (and those it starts)
// only, so it must be the only one (under a sanitizer, beside the sanitizer's own thread, which
// watches the memory the helper takes).
#ifdef PELMORA_SANITIZED
constexpr int kThreadsBeforeSandbox = 2;
#else
constexpr int kThreadsBeforeSandbox = 1;
#endif

int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return -1;
}

class Filter {
public:
    Filter() : ctx_(seccomp_init(SCMP_ACT_ERRNO(EPERM))) {}
    ~Filter()
    {
        if (ctx_)
            seccomp_release(ctx_);
    }
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;

    bool made() const { return ctx_ != nullptr; }
    // Allows the call, with the argument comparisons given (all of them must hold).
    void allow(int call, std::initializer_list<scmp_arg_cmp> args = {}) { add(SCMP_ACT_ALLOW, call, args); }
    void add(uint32_t action, int call, std::initializer_list<scmp_arg_cmp> args = {})
    {
        const int rc = seccomp_rule_add_array(ctx_, action, call, unsigned(args.size()), args.begin());
        if (rc != 0 && error_ == 0)
            error_ = -rc;
    }
    // The filter as the kernel's program, to be loaded later.
    bool build(QByteArray &program, QString &why)
    {
        // Another calling convention would reach the kernel's table of calls past the list:
        // such a call ends the process. x32 numbers, where the kernel has them, count as one.
        int rc = seccomp_attr_set(ctx_, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
        if (rc != 0 || error_ != 0) {
            why = systemError("seccomp_rule_add", rc != 0 ? -rc : error_);
            return false;
        }
        const int fd = memfd_create("pelmora-filter", MFD_CLOEXEC);
        if (fd < 0) {
            why = systemError("memfd_create", errno);
            return false;
        }
        rc = seccomp_export_bpf(ctx_, fd);
        const off_t size = lseek(fd, 0, SEEK_CUR);
        program.resize(qsizetype(size > 0 ? size : 0));
        const bool read = rc == 0 && size > 0 && pread(fd, program.data(), size_t(size), 0) == size;
        close(fd);
        if (!read) {
            why = systemError("seccomp_export_bpf", rc != 0 ? -rc : EIO);
            return false;
        }
        return true;
    }

private:
    scmp_filter_ctx ctx_;
    int error_ = 0;
};

scmp_arg_cmp equal(unsigned arg, scmp_datum_t value) { return SCMP_CMP64(arg, SCMP_CMP_EQ, value); }
scmp_arg_cmp masked(unsigned arg, scmp_datum_t mask, scmp_datum_t value)
{
    return SCMP_CMP64(arg, SCMP_CMP_MASKED_EQ, mask, value);
}

void allowDecoding(Filter &f, const SandboxPlan &plan)
{
    const scmp_datum_t self = scmp_datum_t(getpid());
    const scmp_datum_t socket = scmp_datum_t(plan.socket);

    // Memory.
    for (const int call : {SCMP_SYS(brk), SCMP_SYS(mmap), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(mprotect),
                           SCMP_SYS(madvise)})
        f.allow(call);
    // The descriptors it holds: read, looked at, closed. Written: standard output and error
    // (both the pipe the program reads) and the notice of a failed allocation; sized: the pixels.
    for (const int call : {SCMP_SYS(read), SCMP_SYS(readv), SCMP_SYS(pread64), SCMP_SYS(lseek), SCMP_SYS(close),
                           SCMP_SYS(fstat), SCMP_SYS(newfstatat), SCMP_SYS(statx)})
        f.allow(call);
#ifdef PELMORA_SANITIZED
    // A sanitizer tells whether memory can be read by writing it into a pipe of its own.
    f.allow(SCMP_SYS(write));
    f.allow(SCMP_SYS(writev));
#else
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO, kNoticeFd}) {
        f.allow(SCMP_SYS(write), {equal(0, scmp_datum_t(fd))});
        f.allow(SCMP_SYS(writev), {equal(0, scmp_datum_t(fd))});
    }
#endif
    f.allow(SCMP_SYS(ftruncate), {equal(0, kPixelsFd)});
    for (const int command : {F_GETFD, F_SETFD, F_GETFL})
        f.allow(SCMP_SYS(fcntl), {equal(1, scmp_datum_t(command))});
    f.allow(SCMP_SYS(ioctl), {equal(1, TCGETS)});
    // The socket to the program: messages sent and received as the protocol does, no
    // descriptors, no out-of-band data, no address.
    f.allow(SCMP_SYS(sendto), {equal(0, socket), equal(3, MSG_NOSIGNAL), equal(4, 0)});
    f.allow(SCMP_SYS(recvfrom), {equal(0, socket), equal(3, 0), equal(4, 0)});
    f.allow(SCMP_SYS(poll));
    f.allow(SCMP_SYS(ppoll));
    // Threads of its own, no new process or namespace. The C library tries clone3 first and
    // takes clone where the kernel has none; clone3's flags are out of a filter's reach.
    constexpr scmp_datum_t threadFlags = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD;
    constexpr scmp_datum_t namespaces = CLONE_NEWNS | CLONE_NEWCGROUP | CLONE_NEWUTS | CLONE_NEWIPC | CLONE_NEWUSER |
                                        CLONE_NEWPID | CLONE_NEWNET | CLONE_PARENT | CLONE_PTRACE | CLONE_VFORK;
    f.allow(SCMP_SYS(clone), {masked(0, threadFlags | namespaces, threadFlags)});
    f.add(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3));
    for (const int call : {SCMP_SYS(futex), SCMP_SYS(set_robust_list), SCMP_SYS(rseq), SCMP_SYS(set_tid_address),
                           SCMP_SYS(sched_yield), SCMP_SYS(exit), SCMP_SYS(exit_group), SCMP_SYS(restart_syscall)})
        f.allow(call);
    // The wake-ups of the event loops of Qt's threads (which convert large pictures): a pipe
    // or counter within the helper, open to no one else.
    f.allow(SCMP_SYS(eventfd2));
    f.allow(SCMP_SYS(pipe2));
    f.allow(SCMP_SYS(prctl), {equal(0, PR_SET_NAME)});
    f.allow(SCMP_SYS(prctl), {equal(0, PR_GET_NAME)});
    // Signals: its own handlers and masks; sent only to itself (abort() raises SIGABRT).
    for (const int call : {SCMP_SYS(rt_sigaction), SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn),
                           SCMP_SYS(sigaltstack)})
        f.allow(call);
    f.allow(SCMP_SYS(tgkill), {equal(0, self)});
    // Time, its own identity and the machine's: read only.
    for (const int call : {SCMP_SYS(clock_gettime), SCMP_SYS(clock_getres), SCMP_SYS(gettimeofday), SCMP_SYS(time),
                           SCMP_SYS(nanosleep), SCMP_SYS(clock_nanosleep), SCMP_SYS(times), SCMP_SYS(getpid),
                           SCMP_SYS(gettid), SCMP_SYS(getuid), SCMP_SYS(geteuid), SCMP_SYS(getgid),
                           SCMP_SYS(getegid), SCMP_SYS(uname), SCMP_SYS(sysinfo), SCMP_SYS(getrandom),
                           SCMP_SYS(getcwd)})
        f.allow(call);
    f.allow(SCMP_SYS(getrusage), {equal(0, scmp_datum_t(RUSAGE_SELF))});
    f.allow(SCMP_SYS(getrusage), {equal(0, scmp_datum_t(RUSAGE_THREAD))});
    // Its own limits, looked at; setting a limit is refused, raising one included. The CPUs a
    // thread may run on are looked at by thread (whose numbers are not known here).
    f.allow(SCMP_SYS(getrlimit));
    f.allow(SCMP_SYS(prlimit64), {equal(0, 0), equal(2, 0)});
    f.allow(SCMP_SYS(prlimit64), {equal(0, self), equal(2, 0)});
    f.allow(SCMP_SYS(sched_getaffinity));

    if (plan.readable.isEmpty())
        return;
    // Files opened to be read (where Landlock lets them be): no writing, creating, truncating
    // or appending. openat2's flags are out of a filter's reach; the C library does not use it.
    constexpr scmp_datum_t writing = O_ACCMODE | O_CREAT | O_TRUNC | O_APPEND | O_PATH;
    f.allow(SCMP_SYS(openat), {masked(2, writing, 0)});
    f.allow(SCMP_SYS(open), {masked(1, writing, 0)});
    f.add(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(openat2));
    for (const int call : {SCMP_SYS(getdents64), SCMP_SYS(access), SCMP_SYS(faccessat), SCMP_SYS(faccessat2),
                           SCMP_SYS(readlink), SCMP_SYS(readlinkat), SCMP_SYS(fadvise64)})
        f.allow(call);
}

} // namespace

QStringList fontFolders()
{
    QStringList folders;
    FcConfig *config = FcConfigGetCurrent();
    for (FcStrList *list : {FcConfigGetFontDirs(config), FcConfigGetCacheDirs(config), FcConfigGetConfigFiles(config),
                            FcConfigGetConfigDirs(config)}) {
        if (!list)
            continue;
        while (const FcChar8 *path = FcStrListNext(list))
            folders.append(QFile::decodeName(reinterpret_cast<const char *>(path)));
        FcStrListDone(list);
    }
    // The fonts of programs that keep their own lists of them (ImageMagick's type lists).
    folders << QStringLiteral("/usr/share/fonts") << QStringLiteral("/usr/local/share/fonts");
    return folders;
}

bool Sandbox::prepare(const SandboxPlan &plan, QString &why)
{
    plan_ = plan;
    filter_.clear();
    Filter filter;
    if (!filter.made()) {
        why = QStringLiteral("no system call filter can be made (seccomp)");
        return false;
    }
    allowDecoding(filter, plan);
    return filter.build(filter_, why);
}

bool Sandbox::enter(QString &why)
{
    if (filter_.isEmpty())
        return false;
    // Both the fence of the files and the filter need it.
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        why = systemError("no_new_privs", errno);
        return false;
    }
    if (!plan_.readable.isEmpty()) {
        if (const int threads = threadCount(); threads != kThreadsBeforeSandbox) {
            why = QStringLiteral("the reader runs %1 threads where it must run %2").arg(threads).arg(kThreadsBeforeSandbox);
            return false;
        }
        if (!landlock::restrict(plan_.readable, why))
            return false;
    }
    sock_fprog program{static_cast<unsigned short>(filter_.size() / qsizetype(sizeof(sock_filter))),
                       reinterpret_cast<sock_filter *>(filter_.data())};
    // Every thread alike: the call fails where one of them cannot take the filter.
    const long rc = syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &program);
    if (rc != 0) {
        why = rc > 0 ? QStringLiteral("seccomp: thread %1 cannot take the filter").arg(rc) : systemError("seccomp", errno);
        return false;
    }
    return true;
}

} // namespace platform::readerproto
