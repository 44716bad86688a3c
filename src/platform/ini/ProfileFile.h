#pragma once
// Reader and writer of profile files ("INI text"): the classic profile-string semantics that
// the program's options, language and list files were written for.
//
// Reading: section and key names compare without letter case; of two equal sections or keys
// the first wins; values come back trimmed with one pair of enclosing quotes removed; a
// NUL ends a line's content; lines starting with ";" are comments. Key lists and values are
// delivered into fixed-size buffers as the classic calls did, with the same truncation.
//
// Writing: replaces a key's line in place, appends a new key after the last line of its
// section, creates the section at the end and the file when missing. Every other line keeps
// its bytes and its line end; the file keeps its encoding. The file is replaced atomically.
#include "platform/ini/TextCodec.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace platform {

class ProfileFile {
public:
    ProfileFile() = default;

    // Reads and parses a file. A missing or unreadable file gives an empty document.
    static ProfileFile load(const QString &path);
    static ProfileFile fromBytes(const QByteArray &bytes);

    bool existed() const { return existed_; }
    TextEncoding encoding() const { return encoding_; }
    // Whether the bytes hold a NUL (a UTF-16 or damaged file): the lines are cut there, and
    // the file is not what the program writes.
    bool hasNul() const { return hasNul_; }

    // The key names of a section as the classic call returns them into a buffer of
    // bufferSize characters: each name ended by NUL, the list ended by a second NUL; when
    // the buffer is too small the last name is cut. The result's length is the returned
    // count (without the final NUL); 0 when the section is missing or has no keys.
    QString keyNameBuffer(const QString &section, int bufferSize) const;
    // The value of a key as read into a buffer of bufferSize characters ("" when missing).
    QString value(const QString &section, const QString &key, int bufferSize) const;

    // Sets key=value in the document. Returns false (and changes nothing) for names or
    // values that would break the file's line structure.
    bool setValue(const QString &section, const QString &key, const QString &value);
    QByteArray toBytes() const;
    // Writes the document over path through a temporary file; false (with the reason in
    // *error) when it could not, and then the file is as it was.
    bool save(const QString &path, QString *error = nullptr) const;

    // The profile writer: load, set, save. False when nothing was written.
    static bool writeString(const QString &path, const QString &section, const QString &key,
                            const QString &value);

private:
    struct Line {
        QByteArray raw;   // the line's bytes without its line end
        QByteArray eol;   // "\r\n", "\n", "\r" or "" for a last line without one
        QString text;     // decoded, cut at the first NUL
    };
    struct Key {
        QString name;
        int line;
    };
    struct Section {
        QString name;
        int headerLine;
        int lastLine;     // last non-blank line belonging to the section
        std::vector<Key> keys;
        QHash<QString, int> firstKey; // folded name -> index in keys
    };

    void parse();
    const Section *findSection(const QString &name) const;
    QByteArray newLineEnd() const;
    void reencodeAsUtf8();

    std::vector<Line> lines_;
    std::vector<Section> sections_;
    QHash<QString, int> firstSection_; // folded name -> index in sections_
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool existed_ = false;
    bool bom_ = false;
    bool hasNul_ = false;
};

} // namespace platform
