#pragma once
// The answer of the update check, read from version.txt as a whole before anything is shown:
// each line (blanks around it ignored) is a version number, compared with the program's own.
// A file of thousands of lines is read at once and shown once.
#include <QByteArrayView>
#include <QString>

struct UpdateReply {
    int lines = 0;            // the lines of the file; a line end after the last opens none
    QString lastLine;         // the last line, as read (blanks kept)
    bool lastIsOwn = false;   // the last line names the program's own version
    bool anotherVersion = false; // some line names another version
};

// Reads the bytes of version.txt (UTF-8 when valid, else Windows-1252; CR LF, LF or CR).
UpdateReply readUpdateReply(QByteArrayView bytes, const QString &ownVersion);
