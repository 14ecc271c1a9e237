// Where items' icons were found, kept across restarts, which free the icons themselves.
#pragma once

#include "menu/item_icons.h"

#include <windows.h>

#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace tolvern {

// Keyed by the item's path and last-write time (and the icon's size and arrow choice), so that
// a changed item is asked again; at most `capacity` entries, the least recently used going
// first. Used by the icon worker and by fetches on the menu's thread alike, hence locked.
class TIconLocations {
public:
    static constexpr size_t kDefaultCapacity = 20000;
    explicit TIconLocations(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}
    TIconLocations(const TIconLocations&) = delete;
    TIconLocations& operator=(const TIconLocations&) = delete;

    // The key of a request whose item lies in the file system, with the item's last-write time
    // asked now; empty for anything else.
    static std::wstring KeyOf(const IconRequest& request);
    std::optional<ItemIconSource> Find(const std::wstring& key);
    // Only sources that stay valid while the program runs are kept.
    void Remember(const std::wstring& key, const ItemIconSource& source);
    size_t Count() const;

private:
    using Entry = std::pair<const std::wstring*, ItemIconSource>; // the key is byKey_'s
    mutable std::mutex mutex_;
    size_t capacity_;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<std::wstring, std::list<Entry>::iterator> byKey_;
};

// The icon of a request, from where the table remembers it when it does (the shell is then not
// asked), else found and remembered. Icons whose key `held` names are not made again: the result
// then carries the key alone.
FetchedIcon FetchRemembered(IMalloc& allocator, const IconRequest& request,
                            TIconLocations& locations,
                            const std::function<bool(const std::wstring& key)>& held);

} // namespace tolvern
