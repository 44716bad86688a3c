#pragma once
// Path, file, value and image-format helpers shared by every part of the program.
// Paths use "/" as separator.
#include <QFont>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// Path and file operations
QString addBackslash(const QString &path);              // appends "/" unless already there
QString BuildPath(const QStringList &parts);
QString getTempFileName(const QString &folder);        // a new empty file "vbnXXXXXX.tmp", "" on failure
QString getExtension(const QString &fileName);         // lower case, after the last "."
QString getPathExtension(const QString &path);         // letter case kept
QString stripExtension(const QString &fileName);

struct PathParts {
    QString drive, folder, fileName, baseName, extension;
};
// Raises AppError for a server path "//server" without a further "/".
PathParts splitPath(const QString &path);
// "\"say\"\"hi\"" -> "say\"hi"; raises AppError for a text of one or two quotation marks.
QString stripQuotes(const QString &text);
// "*", then the distinct lower-case extensions of the folder's entries; empty after a failure.
QStringList getFileExtensions(const QString &folder);
bool FileExists(const QString &path);                  // a normal, visible file (wildcards allowed)
bool fileExistsByAssociation(const QString &path);     // anything that exists there
bool directoryExists(const QString &path);             // a folder one can change into
// Special folders by their shell numbers: 5 documents, 13 music, 14 videos, 16 desktop,
// 26 and 28 application data, 39 pictures, 40 home. "" for others.
QString getSpecialFolder(int folderNumber);

// Values and arrays
double safeVal(const QString &text);                   // leading number, "." as decimal point
bool isInArray(const QStringList &array, const QString &value);
bool isBetween(double value, double low, double high);
template <class T>
T Inc(T &variable, T step = T(1))
{
    variable += step;
    return variable;
}
int rotationClass(double angle);                       // 1: 0 or n*180, 2: n*90, 0 otherwise
double cmToInch(double cm);
double mmToInch(double mm);
bool getListSeparator(QString &separator);
bool getDecimalSeparator(QString &separator);

// Bubble sort of keys with a companion array; order 0 ascending, otherwise descending.
template <class K, class C>
void sortArray(std::vector<K> &keys, std::vector<C> &companion, int order)
{
    if (keys.size() < 2)
        return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < keys.size(); ++i) {
            const bool swap = order == 0 ? keys[i + 1] < keys[i] : keys[i] < keys[i + 1];
            if (swap) {
                std::swap(keys[i], keys[i + 1]);
                if (i + 1 < companion.size())
                    std::swap(companion[i], companion[i + 1]);
                swapped = true;
            }
        }
    }
}

// Fonts and images
void copyFont(const QFont &source, QFont &target);
// Save-filter row 1..10 -> extension; sets the imaging file-type code. "" for other rows.
QString getImageFormat(int saveTypeIndex, int &fileTypeCode);
