// ItemIdPool and IconHandlePool: the identifier lists and icons that menu items refer to by
// index (their Tag), kept in step and emptied only at exit and by a restart.
#include "menu/item_pools.h"

namespace tolvern {

int TItemIdPool::Add(PIDLIST_ABSOLUTE pidl) {
    items_.push_back(pidl);
    return Count() - 1;
}

PCIDLIST_ABSOLUTE TItemIdPool::operator[](int index) const {
    return index >= 0 && index < Count() ? items_[index] : nullptr;
}

void TItemIdPool::Release(IMalloc* allocator) {
    for (PIDLIST_ABSOLUTE pidl : items_)
        if (pidl && allocator)
            allocator->Free(pidl);
    items_.clear();
}

int TIconHandlePool::Add(HICON icon) {
    entries_.push_back({icon, false, false, true, {}});
    return Count() - 1;
}

int TIconHandlePool::AddPending(bool hideArrow, const IconHint& hint) {
    entries_.push_back({nullptr, true, hideArrow, false, hint});
    return Count() - 1;
}

std::wstring TIconHandlePool::ClassKey(const Entry& entry) {
    if (entry.hint.sharedClass.empty())
        return {};
    return (entry.hideArrow ? L"-" : L"+") + entry.hint.sharedClass;
}

bool TIconHandlePool::ResolveFromClass(int index) {
    Entry& entry = entries_.at(index);
    const std::wstring key = ClassKey(entry);
    auto it = key.empty() ? classes_.end() : classes_.find(key);
    if (it == classes_.end())
        return false;
    Release(entry);
    entry.icon = it->second;
    entry.pending = false;
    return true;
}

void TIconHandlePool::Release(Entry& entry) {
    if (entry.owned && entry.icon)
        ::DestroyIcon(entry.icon);
    entry.icon = nullptr;
    entry.owned = false;
}

void TIconHandlePool::Resolve(int index, HICON icon) {
    Entry& entry = entries_.at(index);
    Release(entry);
    entry.icon = icon;
    entry.owned = true;
    entry.pending = false;
}

void TIconHandlePool::ShareIcon(const std::wstring& key, HICON icon) {
    if (!shared_.emplace(key, icon).second && icon)
        ::DestroyIcon(icon);
}

bool TIconHandlePool::ResolveFromKey(int index, const std::wstring& key) {
    auto it = shared_.find(key);
    if (it == shared_.end())
        return false;
    Entry& entry = entries_.at(index);
    Release(entry);
    entry.icon = it->second;
    entry.pending = false;
    if (const std::wstring cls = ClassKey(entry); !cls.empty())
        classes_.emplace(cls, entry.icon);
    return true;
}

int TIconHandlePool::LoadedCount() const {
    int count = 0;
    for (const Entry& entry : entries_)
        count += entry.pending ? 0 : 1;
    return count;
}

int TIconHandlePool::DistinctIconCount() const {
    int count = 0;
    for (const Entry& entry : entries_)
        count += entry.owned && entry.icon ? 1 : 0;
    for (const auto& [key, icon] : shared_)
        count += icon ? 1 : 0;
    return count;
}

void TIconHandlePool::DestroyAll() {
    for (Entry& entry : entries_)
        Release(entry);
    entries_.clear();
    for (const auto& [key, icon] : shared_)
        if (icon)
            ::DestroyIcon(icon);
    shared_.clear();
    classes_.clear();
}

} // namespace tolvern
