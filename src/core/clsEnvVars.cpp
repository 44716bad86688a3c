#include "core/clsEnvVars.h"

clsEnvVars::Ptr clsEnvVars::Add(const QString &Key, const QString &val, qint32 valType)
{
    auto e = std::make_shared<clsEnvVar>();
    e->Key = Key;
    e->val = val;
    e->valType = valType;
    if (!Key.isEmpty()) {
        const QString k = fold(Key);
        const auto it = index_.find(k);
        if (it != index_.end()) {
            entries_.erase(*it);
            index_.erase(it);
        }
        entries_.push_back(e);
        index_.insert(k, std::prev(entries_.end()));
    } else {
        entries_.push_back(e);
    }
    return e;
}

clsEnvVars::Ptr clsEnvVars::Item(const QString &key) const
{
    if (key.isEmpty())
        return nullptr;
    const auto it = index_.constFind(fold(key));
    return it == index_.cend() ? nullptr : **it;
}

std::list<clsEnvVars::Ptr>::iterator clsEnvVars::positionIt(int position)
{
    if (position < 1 || position > Count())
        return entries_.end();
    auto it = entries_.begin();
    std::advance(it, position - 1);
    return it;
}

clsEnvVars::Ptr clsEnvVars::Item(int position) const
{
    auto it = const_cast<clsEnvVars *>(this)->positionIt(position);
    return it == entries_.end() ? nullptr : *it;
}

void clsEnvVars::Remove(const QString &key)
{
    const auto it = index_.find(fold(key));
    if (it == index_.end())
        return;
    entries_.erase(*it);
    index_.erase(it);
}

void clsEnvVars::Remove(int position)
{
    const auto it = positionIt(position);
    if (it == entries_.end())
        return;
    if (!(*it)->Key.isEmpty())
        index_.remove(fold((*it)->Key));
    entries_.erase(it);
}
