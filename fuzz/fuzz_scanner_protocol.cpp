// Any bytes as an answer of the scanner helper, through every reader of the program's side:
// no reader may take more than the answer holds, and a read answer stays within its size.
#include "platform/scan/ScannerProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace platform::scanproto;
    const QByteArray answer(reinterpret_cast<const char *>(data), qsizetype(size));
    int status = -1;
    readStatus(answer, status);
    QList<platform::ScanDevice> devices;
    if (readDevices(answer, status, devices) && devices.size() > answer.size())
        __builtin_trap();
    qint32 id = 0;
    readOpen(answer, status, id);
    std::optional<platform::ScanOption> option;
    if (readOption(answer, option) && option
        && option->strings.size() + option->values.size() > answer.size())
        __builtin_trap();
    platform::ScanParameters p;
    readParameters(answer, status, p);
    QByteArray bytes;
    if (readData(answer, 100, status, bytes)) {
        if (bytes.size() > 100 || (status == platform::ScanStatus::Good && bytes.isEmpty()))
            __builtin_trap();
    } else if (!bytes.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
