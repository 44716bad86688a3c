// The scanner helper: the SANE backends run in this process, apart from the program, which
// talks to it over the socket it was given as standard input and output.
#include "platform/scan/Scanner.h"
#include "platform/scan/ScannerProcess.h"

#include <fcntl.h>
#include <unistd.h>

int main()
{
    // The protocol keeps the socket to itself: what backends print goes to standard error, and
    // a program a backend starts does not inherit the socket (which would keep it open after
    // this helper has gone, so the program would not notice).
    const int socket = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_RDONLY);
    if (socket < 0 || null < 0)
        return 1;
    dup2(null, STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    close(null);
    return platform::runScannerHelper(socket, socket, platform::makeSaneScanner());
}
