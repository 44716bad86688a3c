#pragma once
// The picture reader's sandbox: what its helper may still do once it decodes a picture, for
// it decodes what anyone may have made, with libraries that have had bugs through which such a
// file runs code of its own.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform::readerproto {

struct SandboxPlan {
    int socket = -1;        // the channel to the program, used as the protocol uses it
    QStringList readable;   // folders and files that may be opened to be read; none: no file at all
};

// The sandbox of a plan. enter() shuts the calling process in, for good: afterwards it can
// read and write only the descriptors it holds as the protocol uses them, map memory, run
// threads of its own, end, and open to read what the plan's readable names. Nothing else:
// every system call the decoders do not make is refused (also those of kernels to come and
// those of other calling conventions), so no signal, limit, priority or terminal of another
// process, no new process, namespace, socket or connection, no file written, moved or changed.
// prepare() builds the system call filter ahead (a helper waiting for its picture does so), and
// may be called again for another plan. Each gives false, with why, where the system cannot
// do so; the process must then read nothing.
class Sandbox {
public:
    bool prepare(const SandboxPlan &plan, QString &why);
    bool prepared(const SandboxPlan &plan) const
    {
        return !filter_.isEmpty() && plan.socket == plan_.socket && plan.readable == plan_.readable;
    }
    bool enter(QString &why);

private:
    SandboxPlan plan_;
    QByteArray filter_; // the filter's program
};

// The folders of the fonts the system's font configuration reads (the font folders, their
// caches, its configuration files), for the texts of metafiles.
QStringList fontFolders();

} // namespace platform::readerproto
