// ItemIdPool and IconHandlePool: the identifier lists and icons that menu items refer to by
// index (their Tag), kept in step and emptied only at exit and by a restart.
#pragma once

#include "base/unique_handle.h"
#include "menu/item_icons.h"

#include <shlobj.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace tolvern {

// More entries than this after a popup make the launcher restart itself; a folder submenu
// does not open beyond it.
inline constexpr int kItemIdPoolLimit = 2000;

class TItemIdPool {
public:
    TItemIdPool() = default;
    TItemIdPool(const TItemIdPool&) = delete;
    TItemIdPool& operator=(const TItemIdPool&) = delete;

    // Takes ownership (null is kept as an entry too); returns the index.
    int Add(PIDLIST_ABSOLUTE pidl);
    int Count() const { return static_cast<int>(items_.size()); }
    // Null for an index outside the pool, so a stale Tag reads as "no list".
    PCIDLIST_ABSOLUTE operator[](int index) const;

    // Frees every list with the allocator that made it and empties the pool. Every entry
    // was allocated for the pool alone, so each is freed, including lists of items the
    // shell no longer knows (asking the shell first would only leak those).
    void Release(IMalloc* allocator);

private:
    std::vector<PIDLIST_ABSOLUTE> items_;
};

// The icons are taken when an item is first painted, not when it is registered, so a large
// folder costs icons only for what is shown. Each entry remembers how it was registered.
// Entries that show the same picture share one icon (a folder of 5,000 text files holds one,
// not 5,000: each icon costs GDI objects, of which a process has a limited number), and an
// entry whose read named its shared class takes the class's icon without asking the shell.
class TIconHandlePool {
public:
    TIconHandlePool() = default;
    TIconHandlePool(const TIconHandlePool&) = delete;
    TIconHandlePool& operator=(const TIconHandlePool&) = delete;
    ~TIconHandlePool() { DestroyAll(); }

    int Add(HICON icon); // an icon already taken, owned by this entry alone
    int AddPending(bool hideArrow, const IconHint& hint = {});
    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsPending(int index) const { return entries_.at(index).pending; }
    bool HideArrow(int index) const { return entries_.at(index).hideArrow; }
    const IconHint& Hint(int index) const { return entries_.at(index).hint; }
    // Gives a pending entry the icon of its class when an entry of the class has one.
    bool ResolveFromClass(int index);
    // Gives the entry an icon of its own (taking ownership).
    void Resolve(int index, HICON icon);
    // Keeps the icon (taking ownership; 0 remembers that none could be made) under the key,
    // unless the key has one already, and destroys it then.
    void ShareIcon(const std::wstring& key, HICON icon);
    bool HasShared(const std::wstring& key) const { return shared_.count(key) > 0; }
    // Gives the entry the icon kept under the key; its class then shows that icon too. False
    // when the key has none.
    bool ResolveFromKey(int index, const std::wstring& key);
    // The key under which the entry's class shares its icon; empty when it shares none.
    std::wstring ClassKeyOf(int index) const { return ClassKey(entries_.at(index)); }
    // The icon, or 0 while pending or when none could be taken.
    HICON operator[](int index) const { return entries_.at(index).icon; }
    int LoadedCount() const;       // entries whose icon was taken (for tests and figures)
    int DistinctIconCount() const; // icons actually held
    void DestroyAll();

private:
    struct Entry {
        HICON icon = nullptr;
        bool pending = false;
        bool hideArrow = false;
        bool owned = false; // else borrowed from shared_ (or none)
        IconHint hint;
    };
    void Release(Entry& entry);
    static std::wstring ClassKey(const Entry& entry);
    std::vector<Entry> entries_;
    std::unordered_map<std::wstring, HICON> shared_;
    std::unordered_map<std::wstring, HICON> classes_; // borrowed from shared_
};

} // namespace tolvern
