#pragma once
// Opening a file that the user named for reading its contents: only a regular file is opened.
// A FIFO or a device named like a music file or a text file would block the program on open()
// or on the first read, so the name is opened without waiting and given up unless it is a file.
#include <QFile>
#include <QString>

namespace platform {

// Opens path into file (which must not be open) for reading; false when it is no regular file
// or cannot be opened. The file is opened by its handle: its fileName() stays empty.
bool openRegularFile(QFile &file, const QString &path);

} // namespace platform
