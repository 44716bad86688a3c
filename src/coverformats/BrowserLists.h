#pragma once
// The web browser's two list files in the data folder, read and written as they stand: no
// expansion of names between "%" signs and no line-break token, so an address such as
// ".../a%20b%20c" comes back as written. Writes replace the whole file atomically.
//
// favorites.dat: section FAVORITES with "favorite_<i>" = address, section DESCRIPTIONS with
// "desc_<i>" = description. The number of favourites is half the number of non-empty values
// of both sections, halves rounded to even (a file with stray or missing keys still gives a
// number, and the missing values read as the caller's default).
//
// links.dat: section LINKS with "link_0" (oldest) to "link_19" (newest); other keys are left
// alone.
#include <QHash>
#include <QString>
#include <QStringList>

class FavoritesFile {
public:
    struct Favorite {
        QString description;
        QString address;
    };

    // data/favorites.dat of the program folder.
    static QString defaultPath();
    // Reads a file; a missing or unreadable one holds no favourites.
    static FavoritesFile load(const QString &path = defaultPath());
    // False when the file is there but could not be read as the program writes it (it cannot
    // be opened, or holds NUL bytes: UTF-16 or damage). Such a file is never written over.
    bool readable() const { return m_readable; }

    int count() const;
    QString description(int i, const QString &defaultValue) const;
    QString address(int i, const QString &defaultValue) const;

    // Adds a favourite under the first number from count() on whose two keys are both free,
    // so that no value of the file is overwritten. Returns the number, or -1 with the reason
    // in *error when the file could not be written.
    static int append(const QString &path, const QString &address, const QString &description,
                      QString *error = nullptr);
    // Sets favourite i's address and description, in one write of the file.
    static bool store(const QString &path, int i, const QString &address, const QString &description,
                      QString *error = nullptr);
    // Replaces the file by the list: section DESCRIPTIONS, then FAVORITES, each in list order.
    // An empty list removes the file. False with the reason in *error when that failed or the
    // file there cannot be read (it is left as it is).
    static bool rewrite(const QString &path, const QList<Favorite> &favorites, QString *error = nullptr);

private:
    QHash<QString, QString> m_addresses;    // by key name in lower case
    QHash<QString, QString> m_descriptions;
    bool m_readable = true;
};

class AddressHistory {
public:
    static constexpr int kMaxEntries = 20;

    // data/links.dat of the program folder.
    static QString defaultPath();
    // The addresses of link_19 down to link_0 that are not blank: the newest first.
    static QStringList load(const QString &path = defaultPath());
    // Whether the list holds the address, blanks at both ends ignored, letter case compared.
    static bool contains(const QStringList &newestFirst, const QString &address);
    // Writes the list (newest first, at most kMaxEntries) as link_0 = oldest up to
    // link_(n - 1) = newest and empties the other keys link_0 to link_19 that have a value.
    static bool save(const QString &path, const QStringList &newestFirst, QString *error = nullptr);
};

// The text to write for a value so that the profile reader gives it back as it is: values
// with blanks at either end, or in quotes, are put in quotes; line breaks become blanks.
QString storedProfileValue(const QString &value);
