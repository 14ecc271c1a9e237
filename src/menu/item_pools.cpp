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
    entries_.push_back({icon, false, false});
    return Count() - 1;
}

int TIconHandlePool::AddPending(bool hideArrow) {
    entries_.push_back({nullptr, true, hideArrow});
    return Count() - 1;
}

void TIconHandlePool::Resolve(int index, HICON icon) {
    Entry& entry = entries_.at(index);
    if (entry.icon)
        ::DestroyIcon(entry.icon);
    entry.icon = icon;
    entry.pending = false;
}

int TIconHandlePool::LoadedCount() const {
    int count = 0;
    for (const Entry& entry : entries_)
        count += entry.pending ? 0 : 1;
    return count;
}

void TIconHandlePool::DestroyAll() {
    for (const Entry& entry : entries_)
        if (entry.icon)
            ::DestroyIcon(entry.icon);
    entries_.clear();
}

} // namespace tolvern
