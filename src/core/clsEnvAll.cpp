#include "core/clsEnvAll.h"

#include "core/AppPath.h"
#include "platform/ini/ProfileFile.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {
const QString kLineBreakToken = QStringLiteral("@vbcrlf@");
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QString encodeLineBreaks(const QString &value)
{
    if (!value.contains(u'\r') && !value.contains(u'\n'))
        return value;
    QString out;
    out.reserve(value.size() + 16);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\r') {
            if (i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
            out += kLineBreakToken;
        } else if (c == u'\n') {
            out += kLineBreakToken;
        } else {
            out += c;
        }
    }
    return out;
}

clsEnvAll::clsEnvAll()
    : initFileName_(appPath() + u'/' + appExeName() + QStringLiteral(".ini"))
{
}

clsEnvVars &clsEnvAll::envVars()
{
    if (!envVars_)
        envVars_ = std::make_shared<clsEnvVars>();
    return *envVars_;
}

void clsEnvAll::clearAllInternalStructure()
{
    clsEnvVars &v = envVars();
    while (v.Count() > 0)
        v.Remove(1);
}

void clsEnvAll::initializeAll(const QString &sections)
{
    envVars_ = std::make_shared<clsEnvVars>();
    addBuiltInVars();
    if (!QFileInfo::exists(initFileName_))
        return;
    const platform::ProfileFile file = platform::ProfileFile::load(initFileName_);
    for (const QString &section : sections.split(u';', Qt::SkipEmptyParts))
        loadSection(file, section);
}

void clsEnvAll::addBuiltInVars()
{
    envVars().Add(QStringLiteral("App.Path"), appPath(), 2);
    envVars().Add(QStringLiteral("App.EXEName"), appExeName(), 2);
}

bool clsEnvAll::nextListItem(const QString &buffer, QString &item, qsizetype &position)
{
    if (position >= buffer.size())
        return false;
    qsizetype nul = buffer.indexOf(QChar(0), position);
    if (nul < 0)
        nul = buffer.size();
    item = buffer.mid(position, nul - position);
    position = nul + 1;
    return !item.isEmpty();
}

void clsEnvAll::loadSection(const platform::ProfileFile &file, const QString &section)
{
    const QString names = file.keyNameBuffer(section, kKeyListBuffer);
    if (names.isEmpty())
        return;
    qsizetype pos = 0;
    QString name;
    while (nextListItem(names, name, pos)) {
        const QString value = file.value(section, name, kValueBuffer);
        if (!value.isEmpty())
            envVars().Add(section + u'.' + name, value, 2);
    }
}

bool clsEnvAll::saveVar(const QString &key, const QString &value)
{
    const QString stored = encodeLineBreaks(value);
    envVars().Add(key, stored, 2);
    const qsizetype dot = key.indexOf(u'.');
    if (dot < 0)
        return true;
    return writeVar(initFileName_, key, stored);
}

bool clsEnvAll::writeVar(const QString &file, const QString &key, const QString &value)
{
    const qsizetype dot = key.indexOf(u'.');
    // A failed write leaves the value in memory only; the caller decides whether to tell.
    return platform::ProfileFile::writeString(file, key.left(dot), key.mid(dot + 1), value);
}

// What one getVar or chkSubstitution has spent so far.
struct clsEnvAll::Expansion {
    QStringList path; // the variables being expanded, outermost first, case-folded
    int lookupsLeft = kMaxExpansionLookups;
    qsizetype workLeft = kMaxExpansionWork;
};

QString clsEnvAll::getVar(const QString &key, const QString &defaultValue)
{
    Expansion state;
    return lookup(key, defaultValue, state);
}

QString clsEnvAll::lookup(const QString &key, const QString &defaultValue, Expansion &state)
{
    try {
        if (state.path.size() > kMaxExpansionDepth)
            return QString();
        if (const auto e = envVars().Item(key)) {
            const QString folded = key.toCaseFolded();
            if (state.path.contains(folded))
                return QString();
            state.path.append(folded);
            QString v = expand(e->val, state);
            state.path.removeLast();
            v.replace(kLineBreakToken, kCrLf);
            return v;
        }
        QString env = key.isEmpty() ? QString() : qEnvironmentVariable(key.toLocal8Bit().constData());
        if (!env.isEmpty()) {
            env.replace(kLineBreakToken, kCrLf);
            return env;
        }
        return defaultValue;
    } catch (...) {
        return QString();
    }
}

QString clsEnvAll::chkSubstitution(const QString &text)
{
    Expansion state;
    return expand(text, state);
}

QString clsEnvAll::expand(const QString &text, Expansion &state)
{
    QString out;
    qsizetype added = 0; // characters the references have added to out
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype p = text.indexOf(u'%', i);
        if (p < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, p - i);
        if (p + 1 < n && text[p + 1] == u'%') {
            i = p + 2; // "%%" gives nothing
            continue;
        }
        const qsizetype q = text.indexOf(u'%', p + 1);
        if (q < 0) {
            out += QStringView(text).mid(p);
            break;
        }
        i = q + 1;
        if (state.lookupsLeft <= 0 || state.workLeft <= 0 || added >= kMaxExpansionLength)
            continue; // a budget is spent: the reference gives nothing
        --state.lookupsLeft;
        const QString name = text.mid(p + 1, q - p - 1);
        QString v = lookup(name, QString(), state);
        if (v.isEmpty() && !name.isEmpty())
            v = qEnvironmentVariable(name.toLocal8Bit().constData());
        const qsizetype take = std::min({v.size(), kMaxExpansionLength - added, state.workLeft});
        out += QStringView(v).left(take);
        added += take;
        state.workLeft -= take;
    }
    return out;
}

void clsEnvAll::getVarList(const QString &prefix, std::vector<std::pair<QString, QString>> &target)
{
    for (const auto &e : envVars()) {
        const QString &k = e->Key;
        if (k.size() == prefix.size() + 2 && k.startsWith(prefix) && k[prefix.size()] == u'_')
            target.emplace_back(k, e->val);
    }
}

QString clsEnvAll::addVar(const QString &key, const QString &value, qint32 valType)
{
    try {
        envVars().Add(key, value, valType);
    } catch (...) {
    }
    return QString();
}
