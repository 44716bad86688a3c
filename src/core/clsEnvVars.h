#pragma once
// The store's keyed collection: entries in insertion order, addressed by key (letter case
// ignored) or by 1-based position. Adding an existing key replaces the entry and moves it
// to the end, so the last write wins.
#include "core/clsEnvVar.h"

#include <QHash>
#include <list>
#include <memory>

class clsEnvVars {
public:
    using Ptr = std::shared_ptr<clsEnvVar>;
    using const_iterator = std::list<Ptr>::const_iterator;

    Ptr Add(const QString &Key, const QString &val, qint32 valType);
    Ptr Item(const QString &key) const;
    Ptr Item(int position) const;   // 1-based
    int Count() const { return int(entries_.size()); }
    void Remove(const QString &key);
    void Remove(int position);

    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

private:
    static QString fold(const QString &key) { return key.toCaseFolded(); }
    std::list<Ptr>::iterator positionIt(int position);

    std::list<Ptr> entries_;
    QHash<QString, std::list<Ptr>::iterator> index_;
};
