#pragma once
// The scanner in a helper process of its own. Backends run reader threads and processes,
// and some of them misbehave when a scan is given up: a thread killed while it holds the
// memory allocator's lock, a reader outliving its device, a crash inside the backend. In a
// helper process none of that reaches the program, which never loses the covers being
// worked on; a helper that stops answering is ended. Each session is one helper process,
// so every session also reads SANE's configuration afresh.
#include "platform/scan/Scanner.h"

namespace platform {

// How long the program waits for its helper.
struct ScannerHelperTimes {
    int callMs = 60 * 1000; // a call other than start and read (a network device may be slow)
    int quitMs = 5 * 1000;  // the end of a helper, before it is made to end
    // On the GUI thread: how long a call waits before a wait window with Cancel appears (the
    // windows are repainted all along).
    int patienceMs = 1000;
};

// Scanner calls through the helper at this path ("pelmora-scanner"). An answer that breaks
// the protocol ends the helper and fails the call with IoError; a call given up in the wait
// window ends it too and fails with Cancelled.
std::unique_ptr<Scanner> makeProcessScanner(const QString &helperPath, const ScannerHelperTimes &times = {});

// The texts of the wait window shown while the program waits for its helper; English unless
// the program sets its own.
struct WaitTexts;
void setScannerWaitTexts(const WaitTexts &texts);

// Where the helper is: $PELMORA_SCANNER_HELPER when set, else "pelmora-scanner" beside the
// running program; "" when there is none.
QString scannerHelperPath();

// The helper's side: answers the requests read from inFd on outFd with the scanner given (the
// SANE library of the helper's process), until told to end or the program on the other side
// goes. Returns the exit code of the helper.
int runScannerHelper(int inFd, int outFd, std::unique_ptr<Scanner> scanner);

} // namespace platform
