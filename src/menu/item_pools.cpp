// ItemIdPool and IconHandlePool: the identifier lists and icons that menu items refer to by
// index (their Tag), kept in step and emptied only at exit and by a restart.
#include "menu/item_pools.h"

#include <shellapi.h>

namespace tolvern {

int TItemIdPool::Add(PIDLIST_ABSOLUTE pidl) {
    items_.push_back(pidl);
    return Count() - 1;
}

void TItemIdPool::Release(IMalloc* allocator) {
    for (PIDLIST_ABSOLUTE pidl : items_) {
        SHFILEINFOW info{};
        if (pidl && allocator &&
            ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                             SHGFI_PIDL | SHGFI_DISPLAYNAME))
            allocator->Free(pidl);
    }
    items_.clear();
}

int TIconHandlePool::Add(HICON icon) {
    icons_.push_back(icon);
    return Count() - 1;
}

void TIconHandlePool::DestroyAll() {
    for (HICON icon : icons_)
        if (icon)
            ::DestroyIcon(icon);
    icons_.clear();
}

} // namespace tolvern
