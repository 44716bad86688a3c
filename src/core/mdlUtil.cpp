#include "core/mdlUtil.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Numbers.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <charconv>
#include <cmath>
#include <limits>

QString addBackslash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(u'/'))
        return path;
    return path + u'/';
}

QString BuildPath(const QStringList &parts)
{
    QString out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == 0 || out.isEmpty())
            out = parts[i];
        else
            out += u'/' + parts[i];
    }
    return out;
}

QString getTempFileName(const QString &folder)
{
    // Six X: with fewer, QTemporaryFile adds a random suffix after ".tmp".
    QTemporaryFile f(addBackslash(folder) + QStringLiteral("vbnXXXXXX.tmp"));
    f.setAutoRemove(false);
    if (!f.open())
        return QString();
    return QFileInfo(f.fileName()).absoluteFilePath();
}

QString getExtension(const QString &fileName) { return getPathExtension(fileName).toLower(); }

QString getPathExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString stripExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

PathParts splitPath(const QString &path)
{
    PathParts p;
    QString rest = path;
    if (path.size() >= 2 && path[1] == u':') {
        p.drive = path.left(2);
        rest = path.mid(2);
    } else if (path.startsWith(QStringLiteral("//"))) {
        const qsizetype sep = path.indexOf(u'/', 3);
        if (sep < 0)
            throw AppError(ErrNo::InvalidCall);
        p.drive = path.left(sep);
        rest = path.mid(sep);
    }
    const qsizetype slash = rest.lastIndexOf(u'/');
    p.folder = rest.left(slash + 1);
    p.fileName = rest.mid(slash + 1);
    const qsizetype dot = p.fileName.lastIndexOf(u'.');
    p.baseName = dot < 0 ? p.fileName : p.fileName.left(dot);
    p.extension = dot < 0 ? QString() : p.fileName.mid(dot + 1);
    return p;
}

QString stripQuotes(const QString &text)
{
    if (!(text.startsWith(u'"') && text.endsWith(u'"')))
        return text;
    QString t = text;
    t.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (t.size() < 2)
        throw AppError(ErrNo::InvalidCall);
    return t.mid(1, t.size() - 2);
}

QStringList getFileExtensions(const QString &folder)
{
    try {
        const QDir dir(folder);
        if (!dir.exists())
            throw AppError(ErrNo::PathNotFound);
        QStringList out{QStringLiteral("*")};
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden
                                                  | QDir::System, QDir::Unsorted);
        for (const QString &e : entries) {
            const QString ext = getExtension(e);
            if (!ext.isEmpty() && !out.contains(ext))
                out << ext;
        }
        return out;
    } catch (...) {
        reportError(QStringLiteral("ERR_GETFILEEXTENSIONS"), QStringLiteral("mdlUtil.getFileExtensions"));
        return {};
    }
}

bool FileExists(const QString &path)
{
    const QString p = path.trimmed();
    if (p.isEmpty())
        return false;
    const QFileInfo fi(p);
    if (p.contains(u'*') || p.contains(u'?')) {
        const QDir dir = fi.dir();
        return !dir.entryList({fi.fileName()}, QDir::Files).isEmpty();
    }
    return fi.isFile() && !fi.isHidden();
}

bool fileExistsByAssociation(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool directoryExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.isDir() && fi.isExecutable();
}

QString getSpecialFolder(int folderNumber)
{
    QStandardPaths::StandardLocation loc;
    switch (folderNumber) {
    case 5: loc = QStandardPaths::DocumentsLocation; break;
    case 13: loc = QStandardPaths::MusicLocation; break;
    case 14: loc = QStandardPaths::MoviesLocation; break;
    case 16: loc = QStandardPaths::DesktopLocation; break;
    case 26: loc = QStandardPaths::GenericConfigLocation; break;
    case 28: loc = QStandardPaths::GenericDataLocation; break;
    case 39: loc = QStandardPaths::PicturesLocation; break;
    case 40: loc = QStandardPaths::HomeLocation; break;
    default: return QString();
    }
    return QStandardPaths::writableLocation(loc);
}

namespace {

// The leading number of text as the classic Val reads it; a number too large for a double is 0.
double leadingNumber(const QString &text)
{
    // Blanks, tabs and line feeds inside the number are skipped, as the classic Val did.
    std::string s;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c.unicode() > 127)
            break;
        s.push_back(char(c.unicode()));
    }
    size_t i = 0;
    std::string num;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    bool digits = false;
    const auto takeDigits = [&] {
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            num.push_back(s[i++]);
            digits = true;
        }
    };
    takeDigits();
    if (i < s.size() && s[i] == '.') {
        num.push_back(s[i++]);
        takeDigits();
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::string exp = "e";
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exp.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    double v = 0;
    const auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), v);
    if (ec != std::errc() || !std::isfinite(v))
        v = 0;
    return negative ? -v : v;
}

} // namespace

double safeVal(const QString &text) { return leadingNumber(text); }

bool isInArray(const QStringList &array, const QString &value) { return array.contains(value); }

bool isBetween(double value, double low, double high) { return low <= value && value <= high; }

int rotationClass(double angle)
{
    // The rounded angle's integer quotient must equal the exact quotient.
    if (!std::isfinite(angle) || std::fabs(angle) > 2e9)
        return 0;
    const auto whole = static_cast<long long>(roundHalfEven(angle));
    if (double(whole / 180) == angle / 180.0)
        return 1;
    if (double(whole / 90) == angle / 90.0)
        return 2;
    return 0;
}

double cmToInch(double cm) { return cm / 2.54; }
double mmToInch(double mm) { return mm / 25.4; }

bool getListSeparator(QString &separator)
{
    // The locale has no list separator of its own: where the decimal sign is "," lists use ";".
    const QString dec = QLocale::system().decimalPoint();
    if (dec.isEmpty()) {
        separator = QStringLiteral(",");
        return false;
    }
    separator = dec == QStringLiteral(",") ? QStringLiteral(";") : QStringLiteral(",");
    return true;
}

bool getDecimalSeparator(QString &separator)
{
    const QString dec = QLocale::system().decimalPoint();
    if (dec.isEmpty()) {
        separator = QStringLiteral(".");
        return false;
    }
    separator = dec.left(1);
    return true;
}

void copyFont(const QFont &source, QFont &target)
{
    target.setBold(source.bold());
    target.setItalic(source.italic());
    target.setFamily(source.family());
    if (source.pointSizeF() > 0)
        target.setPointSizeF(source.pointSizeF());
    else if (source.pixelSize() > 0)
        target.setPixelSize(source.pixelSize());
    target.setStrikeOut(source.strikeOut());
    target.setUnderline(source.underline());
    target.setWeight(source.weight());
}

QString getImageFormat(int saveTypeIndex, int &fileTypeCode)
{
    static const std::pair<const char *, int> table[] = {
        {"jpg", 1}, {"png", 2}, {"psd", 9}, {"tif", 3}, {"pcx", 4},
        {"tga", 5}, {"wbmp", 10}, {"bmp", 6}, {"wmf", 7}, {"emf", 8}};
    if (saveTypeIndex < 1 || saveTypeIndex > 10)
        return QString();
    fileTypeCode = table[saveTypeIndex - 1].second;
    return QString::fromLatin1(table[saveTypeIndex - 1].first);
}
