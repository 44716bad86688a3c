#pragma once
// What the program and its helper processes (the scanner, the picture reader) share: the
// message framing over a stream socket, the start of a helper with the descriptors it is
// given, its end within a deadline, and the wait of the GUI thread while the windows paint
// (also the download's). Each message is a 32-bit length (host order) and that many bytes.
#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/resource.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform::helper {

// What a wait between two looks at the socket does; false when the waiting is given up.
using Pump = std::function<bool()>;

// Between two looks at the socket a waiting GUI thread handles its events for at most this long.
constexpr int kSliceMs = 50;

// The most descriptors that go with one message.
constexpr int kMaxPassedFds = 4;

// passFds go with the message as descriptors the other side receives.
bool sendMessage(int fd, const QByteArray &message, const std::vector<int> &passFds = {});
// A timeout below 0 waits for ever; pump, when given, runs between slices of the wait. A
// message announced longer than maxBytes fails the call before anything is allocated for it.
// With passedFds, the descriptors that came with the message are stored there (close-on-exec);
// without it, none may come.
bool receiveMessage(int fd, QByteArray &message, int timeoutMs, quint32 maxBytes, const Pump &pump = {},
                    std::vector<int> *passedFds = nullptr);

// Starts the program at path in a session of its own (no controlling terminal, a process
// group of its own), with one end of a new socket pair as its standard input and output and
// the descriptors of extraFds (its own descriptor, the child's number) beside them; every
// other descriptor of the program is closed in the child. Standard error is the program's
// unless extraFds gives one. environment is the child's, "NAME=value" each, or the program's
// own when empty; arguments come after the program's name. Gives back the child's process id
// and the program's end of the socket (close-on-exec), or a process id of -1 and the errno of
// the failure.
struct Started {
    pid_t pid = -1;
    int socket = -1;
    int error = 0;
};
Started start(const QString &path, const std::vector<std::pair<int, int>> &extraFds = {},
              const std::vector<QByteArray> &environment = {}, const std::vector<QByteArray> &arguments = {});

// How a child ended.
struct Ending {
    int status = 0;
    rusage usage{};
    bool killed = false; // by end(), after the grace
};
// Waits at most graceMs (below 0: for ever) for the child to end, pump running between looks,
// then ends it and everything in its process group and waits for that. Gives how it ended.
Ending end(pid_t pid, int graceMs, const Pump &pump = {});
// Ends the child and everything in its process group at once, without waiting for it.
void kill(pid_t pid);

// True on the thread of a QApplication (with windows to keep painted while it waits).
bool onGuiThread();

// The pump of a wait on the GUI thread: the windows are painted, and a click or a key waits
// until the wait is over, unless input() says that a window of the wait's own (a modal wait
// window with its Cancel) takes them now. Empty on any other thread, which has no windows.
Pump guiPump(const std::function<bool()> &input = {});
// Runs the calling thread's events until done() holds (as an event loop does, waking for each
// event); on the GUI thread clicks and keys wait meanwhile unless input.
void waitForEvents(const std::function<bool()> &done, bool input = false);

// A helper program: the file named by the environment variable when it is set (also when it
// is no executable: then none), else the program name beside the running program; "" when
// there is none.
QString besideProgram(const char *environmentVariable, const QString &name);

// Where a helper begins, before anything else: it ends when the program ends, and is told
// whether the program that started it is still there (the peer of its socket on standard
// input); false when it is not (the helper then ends).
bool followProgram();

} // namespace platform::helper
