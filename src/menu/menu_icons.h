// The icons of the pool's entries as the menu paints them: an entry whose own icon is not known
// yet shows the stand-in of its kind while the icon worker finds its own.
#pragma once

#include "base/unique_handle.h"
#include "menu/icon_locations.h"
#include "menu/icon_worker.h"
#include "menu/item_pools.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tolvern {

// Only the menu's thread uses this class and the pools; the worker gets copies of what it
// needs and hands icons back through it.
class TMenuIcons {
public:
    // commonPrograms: the shell's all-users Programs list, as it is whenever asked.
    TMenuIcons(TItemIdPool& lists, TIconHandlePool& icons, PIDLIST_ABSOLUTE const& commonPrograms);
    ~TMenuIcons();
    TMenuIcons(const TMenuIcons&) = delete;
    TMenuIcons& operator=(const TMenuIcons&) = delete;

    int IconSize = 16; // in pixels, of the icons asked for from now on
    // Runs on the worker's thread before each icon it finds. Wine finds icons faster than a
    // test can look at the screen: a test holds the worker here to see the stand-ins.
    std::function<void()> BeforeEachIcon;
    // Some entries have their own icons now (or are known to have none).
    std::function<void()> Arrived;

    // The icon to paint for the entry now (not owned). When its own is not known yet: the
    // stand-in of its kind, with own false, and its own is asked for before anything queued.
    // An entry that has no icon of its own keeps the stand-in.
    HICON ToPaint(int index, bool& own);
    // Whether the entry's own icon is known (taking its class's when the class has one).
    bool Known(int index);
    // The entry's own icon, found on this thread when it is not known yet; 0 for none.
    HICON Now(int index);
    // Asks for the icons of the entries, after everything asked for before.
    void Queue(const std::vector<int>& indices);
    // Drops every icon not yet asked of the shell, at once.
    void Cancel();
    // A submenu has opened: what is queued waits until its painting is over.
    void HoldForPainting();
    // Before the pools are emptied: drops what is queued, waits (bounded) for the icon in hand,
    // and makes sure that nothing asked for so far reaches the pools.
    void LetGo();
    // Nothing asked for is still on its way.
    bool Idle() const;
    // Where icons were found, kept across restarts.
    const TIconLocations& Locations() const { return *locations_; }

private:
    IconRequest RequestOf(int index) const;
    TIconWorker& Worker();
    void Ask(int index, bool urgent);
    void Accept(int index, FetchedIcon&& fetched);
    HICON StandIn(IconStandIn kind);

    TItemIdPool& lists_;
    TIconHandlePool& icons_;
    PIDLIST_ABSOLUTE const& commonPrograms_;
    std::shared_ptr<TIconLocations> locations_;
    std::unique_ptr<TIconWorker> worker_; // started when first needed
    bool holding_ = false;                // for a painting whose end is not yet told
    std::unordered_map<int, bool> asked_; // entry -> asked as urgent
    std::unordered_map<std::wstring, bool> classesAsked_; // class key -> asked as urgent
    // The kinds' pictures by kind and size, the same for every pool: kept across restarts.
    std::map<std::pair<IconStandIn, int>, UniqueIcon> standIns_;
};

} // namespace tolvern
