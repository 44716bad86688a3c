#pragma once
// What the program and its helper processes (the scanner, the picture reader) share: the
// message framing over a stream socket, the start of a helper with the descriptors it is
// given, and where a helper is found. Each message is a 32-bit length (host order) and that
// many bytes.
#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform::helper {

// What a wait between two looks at the socket does; false when the waiting is given up.
using Pump = std::function<bool()>;

// Between two looks at the socket a waiting GUI thread handles its events for at most this long.
constexpr int kSliceMs = 50;

bool sendMessage(int fd, const QByteArray &message);
// A timeout below 0 waits for ever; pump, when given, runs between slices of the wait. A
// message announced longer than maxBytes fails the call before anything is allocated for it.
bool receiveMessage(int fd, QByteArray &message, int timeoutMs, quint32 maxBytes, const Pump &pump = {});

// Starts the program at path with one end of a new socket pair as its standard input and
// output, and the descriptors of extraFds (its own descriptor, the child's number) beside
// them; environment is the child's, "NAME=value" each, or the program's own when empty.
// Gives back the child's process id and the program's end of the socket (close-on-exec), or
// a process id of -1.
struct Started {
    pid_t pid = -1;
    int socket = -1;
};
Started start(const QString &path, const std::vector<std::pair<int, int>> &extraFds = {},
              const std::vector<QByteArray> &environment = {});

// True on the thread of a QApplication (with windows to keep painted while it waits).
bool onGuiThread();

// A helper program: the file named by the environment variable when it is set (also when it
// is no executable: then none), else the program name beside the running program; "" when
// there is none.
QString besideProgram(const char *environmentVariable, const QString &name);

} // namespace platform::helper
