// Any bytes as the web browser's favourites and address-history files: the favourites read by
// the count rule, written back whole and read again as they were; at most twenty addresses
// of the history, none of them blank; a file with NUL bytes is never written over.
#include "FuzzSupport.h"
#include "coverformats/BrowserLists.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString favorites = fuzzsupport::writeInput(QStringLiteral("data/favorites.dat"), data, size);
    const FavoritesFile read = FavoritesFile::load(favorites);
    const bool nul = QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)).contains('\0');
    if (read.readable() == nul)
        __builtin_trap();
    QList<FavoritesFile::Favorite> list;
    for (int i = 0; i < read.count(); ++i)
        list.append({read.description(i, QStringLiteral("0")), read.address(i, QStringLiteral("0"))});

    const bool written = FavoritesFile::rewrite(favorites, list);
    if (written == nul)
        __builtin_trap();
    if (written) {
        const FavoritesFile again = FavoritesFile::load(favorites);
        if (again.count() != qsizetype(list.size()))
            __builtin_trap();
        for (int i = 0; i < again.count(); ++i)
            if (again.description(i, QString()) != list[i].description || again.address(i, QString()) != list[i].address)
                __builtin_trap();
    } else {
        QFile f(favorites);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)))
            __builtin_trap(); // refused: the file as it was
    }

    const QString links = fuzzsupport::writeInput(QStringLiteral("data/links.dat"), data, size);
    const QStringList history = AddressHistory::load(links);
    if (history.size() > AddressHistory::kMaxEntries)
        __builtin_trap();
    for (const QString &address : history)
        if (address.trimmed().isEmpty())
            __builtin_trap();
    return 0;
}
