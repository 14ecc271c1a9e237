// The one worker thread of the program: it finds and makes items' icons off the menu's thread.
#pragma once

#include "menu/icon_locations.h"
#include "menu/item_icons.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <thread>

namespace tolvern {

// Finds and makes icons in the order they are asked for (urgent ones first), on a thread with
// a COM apartment of its own. It works on plain data only and never touches a window, menu,
// image list or pool: each icon goes back as a message to a window of the thread that made the
// worker, and is handed to `deliver` there. Every wait for the thread is bounded.
class TIconWorker {
public:
    // index: the pool entry asked for; the icon (owned by the receiver from then on) may be 0
    // with a key the receiver holds already, or 0 because none could be made.
    using Deliver = std::function<void(int index, FetchedIcon&& icon)>;

    // How long Restart and exit wait for the icon in hand; a shell call that hangs longer (a
    // drive that does not answer) is left behind, holding nothing of the menu's.
    static constexpr DWORD kLetGoMilliseconds = 2000;

    // beforeEach runs on the worker's thread before each icon it finds (may be empty).
    TIconWorker(std::shared_ptr<TIconLocations> locations, Deliver deliver,
                std::function<void()> beforeEach = {});
    ~TIconWorker(); // drops the queue and ends the thread (bounded)
    TIconWorker(const TIconWorker&) = delete;
    TIconWorker& operator=(const TIconWorker&) = delete;

    void Request(int index, IconRequest request, bool urgent);
    // Holds back what is queued while the menu's thread paints a submenu that has just opened
    // (the shell calls would slow that painting down: Wine serves both through one server),
    // until ResumeAfterPainting's message comes through, which is after the painting under way,
    // or kHoldMilliseconds have passed.
    void HoldForPainting();
    void ResumeAfterPainting();
    static constexpr DWORD kHoldMilliseconds = 300;
    // Drops every icon still queued, at once; the one in hand is finished and delivered.
    void Cancel();
    // Waits at most the time given for the icon in hand; true when nothing is in hand.
    bool WaitIdle(DWORD milliseconds);
    // The entries asked for so far belong to pools that are gone: icons of theirs that are
    // delivered from now on, or wait in this thread's queue, are destroyed unseen.
    void NewEpoch();
    // Nothing queued, nothing in hand and nothing waiting to be delivered.
    bool Idle();

    struct Shared;

private:
    class ResultWindow;
    void DropUndelivered();

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<ResultWindow> window_;
    Deliver deliver_;
    std::thread thread_;
};

} // namespace tolvern
