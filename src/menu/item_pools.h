// ItemIdPool and IconHandlePool: the identifier lists and icons that menu items refer to by
// index (their Tag), kept in step and emptied only at exit and by a restart.
#pragma once

#include "base/unique_handle.h"

#include <shlobj.h>

#include <vector>

namespace tolvern {

class TItemIdPool {
public:
    TItemIdPool() = default;
    TItemIdPool(const TItemIdPool&) = delete;
    TItemIdPool& operator=(const TItemIdPool&) = delete;

    // Takes ownership; returns the index.
    int Add(PIDLIST_ABSOLUTE pidl);
    int Count() const { return static_cast<int>(items_.size()); }
    PCIDLIST_ABSOLUTE operator[](int index) const { return items_[index]; }

    // Frees every list the shell still accepts (a probe of its display name succeeds) with
    // the given allocator, then empties the pool. A list the shell no longer describes is
    // left alone rather than freed.
    void Release(IMalloc* allocator);

private:
    std::vector<PIDLIST_ABSOLUTE> items_;
};

class TIconHandlePool {
public:
    TIconHandlePool() = default;
    TIconHandlePool(const TIconHandlePool&) = delete;
    TIconHandlePool& operator=(const TIconHandlePool&) = delete;
    ~TIconHandlePool() { DestroyAll(); }

    int Add(HICON icon);
    int Count() const { return static_cast<int>(icons_.size()); }
    HICON operator[](int index) const { return icons_[index]; }
    void DestroyAll();

private:
    std::vector<HICON> icons_;
};

} // namespace tolvern
