#pragma once
// A keyed collection in insertion order: entries are reached by key or walked in the
// order they were added. Removing keeps the order of the others.
#include <QHash>
#include <QString>
#include <list>
#include <utility>

template <class T>
class KeyedCollection {
public:
    using Entry = std::pair<QString, T>;
    using const_iterator = typename std::list<Entry>::const_iterator;
    using iterator = typename std::list<Entry>::iterator;

    // Adds at the end; false (and nothing added) when the key is in use.
    bool add(const QString &key, T value)
    {
        if (index_.contains(key))
            return false;
        entries_.emplace_back(key, std::move(value));
        index_.insert(key, std::prev(entries_.end()));
        return true;
    }
    bool contains(const QString &key) const { return index_.contains(key); }
    // The value under key, or a default-constructed one.
    T value(const QString &key) const
    {
        const auto it = index_.constFind(key);
        return it == index_.cend() ? T() : (*it)->second;
    }
    bool remove(const QString &key)
    {
        const auto it = index_.find(key);
        if (it == index_.end())
            return false;
        entries_.erase(*it);
        index_.erase(it);
        return true;
    }
    void clear()
    {
        entries_.clear();
        index_.clear();
    }
    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }

    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }

    KeyedCollection() = default;
    KeyedCollection(const KeyedCollection &o) { *this = o; }
    KeyedCollection &operator=(const KeyedCollection &o)
    {
        if (this != &o) {
            clear();
            for (const Entry &e : o.entries_)
                add(e.first, e.second);
        }
        return *this;
    }

private:
    std::list<Entry> entries_;
    QHash<QString, iterator> index_;
};
