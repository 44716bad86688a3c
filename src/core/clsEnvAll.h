#pragma once
// The variable store: named text variables loaded from the sections of one profile file,
// addressed "SECTION.KEY", with lookup defaults, a fallback to the process environment,
// expansion of names between "%" signs and the line-break token "@vbcrlf@".
#include "core/clsEnvVars.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace platform { class ProfileFile; }

class clsEnvAll {
public:
    clsEnvAll();

    clsEnvVars &envVars();
    void setEnvVars(std::shared_ptr<clsEnvVars> vars) { envVars_ = std::move(vars); }
    clsEnvVars &getCol() { return envVars(); }
    void clearAllInternalStructure();

    // Replaces every entry by the built-ins and the sections named in the ";" list.
    void initializeAll(const QString &sections);
    const QString &initFileName() const { return initFileName_; }
    void setInitFileName(const QString &path) { initFileName_ = path; }

    // Sets the variable and, for a "SECTION.KEY" name, writes it into the file at once;
    // false when the file could not be written (the value is then kept in memory only).
    bool saveVar(const QString &key, const QString &value);
    QString getVar(const QString &key, const QString &defaultValue = QString());
    // Raw values of the entries named prefix + "_" + one character, in collection order.
    void getVarList(const QString &prefix, std::vector<std::pair<QString, QString>> &target);
    QString addVar(const QString &key, const QString &value, qint32 valType = 2);
    QString chkSubstitution(const QString &text);

    bool initFinished() const { return initFinished_; }
    void setInitFinished(bool v) { initFinished_ = v; }

    // Bounds of one expansion. References between "%" signs are followed at most this deep;
    // a reference to a variable already being expanded (a cycle) gives the empty text.
    static constexpr int kMaxExpansionDepth = 16;
    // At most this many references are looked up for one result, references add at most
    // this many characters to any one expanded text, and all of them together at most
    // kMaxExpansionWork characters. Past a bound the remaining references give nothing, so
    // any file expands in time linear in its size.
    static constexpr int kMaxExpansionLookups = 4096;
    static constexpr qsizetype kMaxExpansionLength = 64 * 1024;
    static constexpr qsizetype kMaxExpansionWork = kMaxExpansionDepth * kMaxExpansionLength;
    static constexpr int kKeyListBuffer = 5000;
    static constexpr int kValueBuffer = 2000;

private:
    void loadSection(const platform::ProfileFile &file, const QString &section);
    static bool nextListItem(const QString &buffer, QString &item, qsizetype &position);
    void addBuiltInVars();
    bool writeVar(const QString &file, const QString &key, const QString &value);
    struct Expansion;
    QString lookup(const QString &key, const QString &defaultValue, Expansion &state);
    QString expand(const QString &text, Expansion &state);

    std::shared_ptr<clsEnvVars> envVars_;
    QString initFileName_;
    bool initFinished_ = false;
};

// "@vbcrlf@" for every line break of a value, so that it fits on one line of the file.
QString encodeLineBreaks(const QString &value);
