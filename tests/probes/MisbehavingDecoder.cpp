// The picture reader's helper, made to misbehave on purpose by the name of the picture it is
// given, so that the tests see each way a helper can end, and each thing a decoder taken over
// by a file could try, without waiting for a real decoder to do so. It runs the real helper's
// set-up, limits and sandbox; a name with none of the words below reads the picture as the
// real helper does.
//   spin       spends CPU time without end         hang     sleeps without end
//   stubborn   spins with SIGXCPU ignored           crash    dies of a segmentation fault
//   swell      takes memory until there is none, then uses the null pointer it got
//   bloat      takes nine tenths of its memory, each allocation granted, then crashes
//   quiet      ends without an answer               busy     answers that it is busy
//   orphan     leaves a process of its own behind ("pelmora-orphan"), then hangs
//   lie        announces a picture larger than the memory it filled
//   huge       announces a picture past the picture limits
//   sealed     seals its pixel memory so that the program cannot seal it
//   whole      decodes a preview whole instead of at the size asked for
//   endless    announces an answer of 4 GB and sends nothing of it
//   linger     answers that the picture cannot be read, and does not end
//   nofilter   is kept (by a filter of the test's) from loading a system call filter
//   nolandlock is kept from using Landlock
//   sandbox    tries every way out of the sandbox it knows and answers "escaped: " and those
//              that worked, or "held"
//   sandbox-i386, sandbox-x32: tries to signal the program through the 32-bit or the x32
//              calling convention
#include "platform/imaging/PictureReader.h"
#include "platform/imaging/PictureReaderProtocol.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/io_uring.h>
#include <linux/perf_event.h>
#include <linux/bpf.h>
#include <linux/sched.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using platform::readerproto::Result;

QString gName;   // the picture's base name
QString gFolder; // the picture's folder
pid_t gProgram = -1;
pid_t gProgramGroup = -1;
QStringList gSetUp; // what is wrong with the helper's set-up

bool is(const char *word) { return gName == QLatin1String(word); }

// A filter of the test's own, loaded before the helper's: the calls named fail with error
// (prctl only where it would load a filter).
void refuse(std::initializer_list<int> calls, int error)
{
    scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_ALLOW);
    for (const int call : calls) {
        if (call == SCMP_SYS(prctl))
            seccomp_rule_add(ctx, SCMP_ACT_ERRNO(error), call, 1, SCMP_A0(SCMP_CMP_EQ, PR_SET_SECCOMP));
        else
            seccomp_rule_add(ctx, SCMP_ACT_ERRNO(error), call, 0);
    }
    seccomp_load(ctx);
    seccomp_release(ctx);
}

void beforeSandbox(const QString &name)
{
    const QFileInfo file(name);
    gName = file.completeBaseName();
    gFolder = file.absolutePath();
    gProgram = getppid();
    gProgramGroup = getpgid(gProgram);
    if (is("nofilter"))
        refuse({SCMP_SYS(seccomp), SCMP_SYS(prctl)}, EPERM); // as where a container's own filter forbids it
    if (is("nolandlock"))
        refuse({SCMP_SYS(landlock_create_ruleset), SCMP_SYS(landlock_add_rule), SCMP_SYS(landlock_restrict_self)},
               ENOSYS);
    if (is("sealed"))
        fcntl(platform::readerproto::kPixelsFd, F_ADD_SEALS, F_SEAL_SEAL);
    if (is("orphan") && fork() == 0) {
        prctl(PR_SET_NAME, "pelmora-orphan");
        for (;;)
            pause();
    }
    // What the helper is before it is shut in: a session of its own without a terminal, not
    // to be looked into.
    if (is("sandbox")) {
        if (getsid(0) != getpid())
            gSetUp << QStringLiteral("in the program's session");
        if (const int tty = open("/dev/tty", O_RDWR); tty >= 0) {
            gSetUp << QStringLiteral("with a controlling terminal");
            close(tty);
        }
        if (prctl(PR_GET_DUMPABLE) != 0)
            gSetUp << QStringLiteral("dumpable");
        if (isatty(STDERR_FILENO))
            gSetUp << QStringLiteral("a terminal as its standard error");
    }
}

// The socket to the program: the one socket the helper holds.
int channel()
{
    for (int fd = 0; fd < 1024; ++fd) {
        struct stat st{};
        if (fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode))
            return fd;
    }
    return -1;
}

// Each way out, tried after the real set-up; true where it worked.
QStringList escapes()
{
    const pid_t p = gProgram;
    const QByteArray victim = QFile::encodeName(gFolder + QStringLiteral("/victim.txt"));
    const QByteArray other = QFile::encodeName(gFolder + QStringLiteral("/other.txt"));
    const char *v = victim.constData();
    const int socket = channel();
    QStringList worked;
    const auto tried = [&](const char *what, bool ok) {
        if (ok)
            worked << QLatin1String(what);
    };
    const auto opened = [](int fd) {
        if (fd >= 0)
            close(fd);
        return fd >= 0;
    };

    // Signals to the program, by every call that sends one (signal 0 asks the kernel whether
    // the signal would be delivered, without sending it).
    siginfo_t info{};
    info.si_code = SI_QUEUE;
    info.si_pid = getpid();
    tried("kill", kill(p, 0) == 0);
    tried("kill the program's group", kill(-gProgramGroup, 0) == 0);
    tried("kill every process", kill(-1, 0) == 0);
    tried("tkill", syscall(SYS_tkill, p, 0) == 0);
    tried("tgkill", syscall(SYS_tgkill, p, p, 0) == 0);
    tried("rt_sigqueueinfo", syscall(SYS_rt_sigqueueinfo, p, 0, &info) == 0);
    tried("rt_tgsigqueueinfo", syscall(SYS_rt_tgsigqueueinfo, p, p, 0, &info) == 0);
    const int pidfd = int(syscall(SYS_pidfd_open, p, 0));
    tried("pidfd_open", pidfd >= 0);
    tried("pidfd_send_signal", pidfd >= 0 && syscall(SYS_pidfd_send_signal, pidfd, 0, nullptr, 0) == 0);
    tried("SIGIO to the program", fcntl(socket, F_SETOWN, p) == 0);
    // Another process's limits, CPUs and priority; its own limits raised.
    rlimit limit{};
    tried("prlimit64 of the program", syscall(SYS_prlimit64, p, RLIMIT_NOFILE, nullptr, &limit) == 0);
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    sched_getaffinity(0, sizeof cpus, &cpus);
    tried("sched_setaffinity of the program", sched_setaffinity(p, sizeof cpus, &cpus) == 0);
    tried("setpriority of the program", setpriority(PRIO_PROCESS, id_t(p), 0) == 0);
    const sched_param normal{};
    tried("sched_setscheduler of the program", sched_setscheduler(p, SCHED_OTHER, &normal) == 0);
    tried("ioprio_set of the program", syscall(SYS_ioprio_set, 1 /* IOPRIO_WHO_PROCESS */, p, 0) == 0);
    getrlimit(RLIMIT_CPU, &limit);
    const rlimit raised{RLIM_INFINITY, RLIM_INFINITY};
    tried("its CPU limit raised", limit.rlim_cur != RLIM_INFINITY && (setrlimit(RLIMIT_CPU, &raised) == 0 ||
                                                                       prlimit(0, RLIMIT_CPU, &raised, nullptr) == 0));
    const rlimit hard{limit.rlim_max, limit.rlim_max};
    tried("its CPU limit raised to the hard one", limit.rlim_cur != limit.rlim_max && setrlimit(RLIMIT_CPU, &hard) == 0);
    // Terminals: typing into one, its console; a descriptor of the program's: its file (the test
    // holds the user's file open), a terminal, another socket.
    struct stat user{};
    stat(v, &user);
    for (int fd = 0; fd < 1024; ++fd) {
        char c = ' ';
        int subcode = 6; // TIOCL_GETSHIFTSTATE
        tried("TIOCSTI", ioctl(fd, TIOCSTI, &c) == 0);
        tried("TIOCLINUX", ioctl(fd, TIOCLINUX, &subcode) == 0);
        struct stat st{};
        if (fstat(fd, &st) != 0)
            continue;
        if ((st.st_dev == user.st_dev && st.st_ino == user.st_ino) || (S_ISSOCK(st.st_mode) && fd != socket) ||
            isatty(fd))
            worked << QStringLiteral("descriptor %1 of the program's").arg(fd);
    }
    const int tty = open("/dev/tty", O_RDWR);
    tried("/dev/tty", tty >= 0);
    if (tty >= 0) {
        char c = ' ';
        tried("TIOCSTI on /dev/tty", ioctl(tty, TIOCSTI, &c) == 0);
        close(tty);
    }
    // The user's files: changed, written, created, moved, removed; read.
    tried("chmod", chmod(v, 0777) == 0);
    tried("fchmodat", fchmodat(AT_FDCWD, v, 0777, 0) == 0);
    tried("fchmodat2", syscall(452, AT_FDCWD, v, 0777, 0) == 0);
    tried("chown", chown(v, getuid(), getgid()) == 0);
    tried("utimensat", utimensat(AT_FDCWD, v, nullptr, 0) == 0);
    for (const int flags : {O_WRONLY, O_RDWR, O_WRONLY | O_APPEND, O_RDONLY | O_TRUNC})
        tried("open for writing", opened(open(v, flags)));
    tried("open to create", opened(open(other.constData(), O_WRONLY | O_CREAT, 0600)));
    tried("creat", opened(creat(other.constData(), 0600)));
    tried("O_TMPFILE", opened(open(QFile::encodeName(gFolder).constData(), O_TMPFILE | O_RDWR, 0600)));
    tried("rename", rename(v, other.constData()) == 0);
    tried("renameat2", syscall(SYS_renameat2, AT_FDCWD, v, AT_FDCWD, other.constData(), 0) == 0);
    tried("link", link(v, other.constData()) == 0);
    tried("symlink", symlink(v, other.constData()) == 0);
    tried("unlink", unlink(v) == 0);
    tried("truncate", truncate(v, 0) == 0);
    tried("mkdir", mkdir(other.constData(), 0700) == 0);
    tried("mknod", mknod(other.constData(), S_IFIFO | 0600, 0) == 0);
    tried("the user's file read", opened(open(v, O_RDONLY)));
    tried("/etc/passwd read", opened(open("/etc/passwd", O_RDONLY)));
    tried("the program's memory", opened(open(QStringLiteral("/proc/%1/mem").arg(p).toLocal8Bit().constData(), O_RDONLY)));
    tried("the program's environment",
          opened(open(QStringLiteral("/proc/%1/environ").arg(p).toLocal8Bit().constData(), O_RDONLY)));
    // The network and the channel.
    tried("socket", opened(::socket(AF_INET, SOCK_STREAM, 0)));
    tried("unix socket", opened(::socket(AF_UNIX, SOCK_STREAM, 0)));
    tried("netlink socket", opened(::socket(AF_NETLINK, SOCK_RAW, 0)));
    int pair[2];
    tried("socketpair", socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path + 1, "pelmora-escape"); // abstract
    tried("connect", connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    msghdr empty{};
    tried("sendmsg on the channel", sendmsg(socket, &empty, MSG_NOSIGNAL) == 0);
    tried("out-of-band data", send(socket, "", 0, MSG_OOB | MSG_NOSIGNAL) == 0);
    for (int fd = 0; fd < 1024; ++fd) {
        if (fd == socket)
            continue;
        iovec io{const_cast<char *>("x"), 1};
        msghdr one{};
        one.msg_iov = &io;
        one.msg_iovlen = 1;
        tried("sendmsg", sendmsg(fd, &one, MSG_NOSIGNAL | MSG_DONTWAIT) >= 0);
        tried("sendto", sendto(fd, "x", 1, MSG_NOSIGNAL | MSG_DONTWAIT, nullptr, 0) >= 0);
    }
    // New programs, processes and namespaces; other processes' memory.
    char *const argv[] = {const_cast<char *>("true"), nullptr};
    tried("execve", execve("/bin/true", argv, nullptr) == 0);
    tried("execveat", syscall(SYS_execveat, AT_FDCWD, "/bin/true", argv, nullptr, 0) == 0);
    const auto child = [&](const char *what, long pid) {
        if (pid == 0)
            _exit(0);
        tried(what, pid > 0);
    };
    child("fork", syscall(SYS_fork));
    child("clone", syscall(SYS_clone, SIGCHLD, nullptr, nullptr, nullptr, nullptr));
    child("clone into a new user namespace", syscall(SYS_clone, CLONE_NEWUSER | SIGCHLD, nullptr, nullptr, nullptr, nullptr));
    clone_args args{};
    args.exit_signal = SIGCHLD;
    child("clone3", syscall(SYS_clone3, &args, sizeof args));
    tried("unshare", unshare(CLONE_NEWUSER) == 0 || unshare(CLONE_NEWNS) == 0 || unshare(CLONE_NEWNET) == 0);
    tried("ptrace", ptrace(PTRACE_SEIZE, p, nullptr, nullptr) == 0);
    char byte = 0;
    iovec local{&byte, 1}, remote{reinterpret_cast<void *>(0x400000), 1};
    tried("process_vm_readv", process_vm_readv(p, &local, 1, &remote, 1, 0) >= 0 || errno == EFAULT);
    // The kernel's other doors.
    io_uring_params ring{};
    tried("io_uring_setup", opened(int(syscall(SYS_io_uring_setup, 1, &ring))));
    tried("userfaultfd", opened(int(syscall(SYS_userfaultfd, O_CLOEXEC))));
    bpf_attr map{};
    map.map_type = BPF_MAP_TYPE_ARRAY;
    map.key_size = 4;
    map.value_size = 4;
    map.max_entries = 1;
    tried("bpf", opened(int(syscall(SYS_bpf, BPF_MAP_CREATE, &map, sizeof map))));
    perf_event_attr event{};
    event.type = PERF_TYPE_SOFTWARE;
    event.size = sizeof event;
    event.config = PERF_COUNT_SW_TASK_CLOCK;
    tried("perf_event_open", opened(int(syscall(SYS_perf_event_open, &event, 0, -1, -1, 0))));
    tried("keyctl", syscall(SYS_keyctl, 0 /* KEYCTL_GET_KEYRING_ID */, -3 /* the session keyring */, 0) >= 0);
    tried("memfd_create", opened(int(syscall(SYS_memfd_create, "x", 0))));
    tried("prctl", prctl(PR_SET_PDEATHSIG, 0) == 0 || prctl(PR_SET_DUMPABLE, 1) == 0);
    return worked;
}

// The program, signalled through another calling convention than the helper's own.
bool foreignCall()
{
    long rc = -1;
    if (is("sandbox-i386")) {
        // kill(program, 0) as a 32-bit program calls it.
        asm volatile("int $0x80" : "=a"(rc) : "a"(37), "b"(gProgram), "c"(0) : "memory");
    } else {
        rc = syscall(0x40000000 | SYS_kill, gProgram, 0); // the x32 number
    }
    return rc == 0;
}

void misbehave(const QString &)
{
    if (is("spin") || is("stubborn")) {
        if (is("stubborn"))
            std::signal(SIGXCPU, SIG_IGN);
        volatile unsigned long n = 0;
        for (;;)
            n = n + 1;
    }
    // Waiting as a blocked decoder waits, without CPU time (sleep is a call the filter allows;
    // pause is not).
    if (is("hang") || is("orphan"))
        for (;;)
            sleep(60);
    if (is("crash"))
        std::raise(SIGSEGV);
    if (is("quiet"))
        _exit(0);
    if (is("swell") || is("bloat")) {
        // The limit of the address space, or, under a sanitizer, of the resident memory.
        rlimit memory{};
        getrlimit(RLIMIT_AS, &memory);
        size_t limit = memory.rlim_cur == RLIM_INFINITY ? 0 : size_t(memory.rlim_cur);
        if (const char *options = std::getenv("ASAN_OPTIONS"); options && std::strstr(options, "hard_rss_limit_mb="))
            limit = size_t(std::atoll(std::strstr(options, "hard_rss_limit_mb=") + 18)) * 1024 * 1024;
        const size_t enough = limit / 10 * 9;
        constexpr size_t chunk = 16 * 1024 * 1024;
        for (size_t taken = 0; is("swell") || taken + chunk < enough; taken += chunk) {
            auto *p = static_cast<char *>(std::malloc(chunk));
            std::memset(p, 1, chunk); // as a careless decoder would, also when p is null
        }
        std::raise(SIGSEGV);
    }
}

void beforeDecode(const QString &name)
{
    if (gName.startsWith(QLatin1String("sandbox-"))) {
        const bool worked = foreignCall();
        platform::readerproto::Result r{platform::CodecError::CannotDecode,
                                        worked ? QStringLiteral("escaped: a foreign call") : QStringLiteral("held"),
                                        {}, {}, {}};
        // Answered from here, as the decoder is not reached.
        const int socket = channel();
        const QByteArray answer = platform::readerproto::resultAnswer(r);
        const quint32 size = quint32(answer.size());
        send(socket, &size, sizeof size, MSG_NOSIGNAL);
        send(socket, answer.constData(), size_t(size), MSG_NOSIGNAL);
        _exit(0);
    }
    misbehave(name);
}

void previewTarget(QSize &target)
{
    if (is("whole"))
        target = QSize();
}

void beforeAnswer(Result &answer)
{
    if (is("sandbox")) {
        const QStringList escaped = gSetUp + escapes();
        answer = {platform::CodecError::CannotDecode,
                  escaped.isEmpty() ? QStringLiteral("held") : QStringLiteral("escaped: ") + escaped.join(u"; "), {}, {}, {}};
    }
    if (is("lie"))
        answer.pixels = QSize(answer.pixels.width() + 1, answer.pixels.height());
    if (is("huge"))
        answer.pixels = QSize(20000, 20000);
    if (is("busy"))
        answer = {platform::CodecError::Busy, QStringLiteral("busy"), {}, {}, {}};
    if (is("linger")) {
        const QByteArray bytes = platform::readerproto::resultAnswer(
            {platform::CodecError::CannotDecode, QStringLiteral("lingers"), {}, {}, {}});
        const quint32 size = quint32(bytes.size());
        send(channel(), &size, sizeof size, MSG_NOSIGNAL);
        send(channel(), bytes.constData(), size_t(size), MSG_NOSIGNAL);
        for (;;)
            sleep(60);
    }
    if (is("endless")) {
        const quint32 size = 0xFFFFFFF0u;
        send(channel(), &size, sizeof size, MSG_NOSIGNAL);
        for (;;)
            sleep(60);
    }
}

} // namespace

int main(int argc, char **argv)
{
    return platform::runPictureReader(argc, argv, {beforeSandbox, beforeDecode, previewTarget, beforeAnswer});
}
