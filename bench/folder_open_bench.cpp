// Opening a folder submenu as a user sees it: the launcher menu of a started settings form
// pops up, a key opens a My Menu folder's submenu, and the figure runs from that key to the
// last of the submenu's visible items painted (icons included), against the shell's own
// enumeration of the same folders in the same run.
#include "bench_support.h"

#include "support/gui_objects.h"
#include "support/menu_driver.h"
#include "support/started_launcher.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace tolvern {
namespace {

using namespace bench;
using namespace test;

constexpr wchar_t kEntryCaption[] = L"bench folder";

// Counts the paintings of items that folder reads created, and when the last one happened.
struct PaintProbe {
    std::atomic<int> draws{0};
    std::atomic<long long> last{0}; // Clock ticks

    void Note() {
        last = Clock::now().time_since_epoch().count();
        ++draws;
    }
    // Where the time goes: reading the folder and the item painters themselves (the rest is
    // the menu's realisation, measuring and the system's own work).
    double readMs = 0, paintMs = 0;
    Clock::time_point Last() const { return Clock::time_point(Clock::duration(last.load())); }
    // Waits until something was painted and nothing more for a while; false after a minute.
    bool WaitQuiet(int quietMs = 400) const {
        const auto deadline = Clock::now() + std::chrono::seconds(300);
        while (Clock::now() < deadline) {
            if (draws > 0 && MillisecondsSince(Last()) >= quietMs)
                return true;
            ::Sleep(20);
        }
        return false;
    }
};

// A visible menu window of this process that is none of the given ones, waiting up to the
// time given (a large folder is read before its submenu shows); null when none shows.
HWND WaitForMenu(std::initializer_list<HWND> except, int seconds = 300) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    do {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"#32768", nullptr)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(w, &process);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(w) &&
                std::find(except.begin(), except.end(), w) == except.end())
                return w;
        }
        ::Sleep(10);
    } while (Clock::now() < deadline);
    return nullptr;
}

void Press(HWND menu, UINT vk);

// Presses Esc until no menu window of this process shows.
void CloseMenus() {
    for (int i = 0; i < 50; ++i) {
        HWND w = WaitForMenu({}, 0);
        if (!w)
            return;
        Press(w, VK_ESCAPE);
        ::Sleep(100);
    }
}

// A key press and release posted to the menu, as Key does but without asking the keyboard
// layout for a scan code (which costs this thread a display connection under Wine).
void Press(HWND menu, UINT vk) {
    ::PostMessageW(menu, WM_KEYDOWN, vk, 1);
    ::Sleep(30);
    ::PostMessageW(menu, WM_KEYUP, vk, 1 | (3u << 30));
    ::Sleep(30);
}

bool Highlighted(HMENU menu, int position) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    return ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii) &&
           (mii.fState & MFS_HILITE);
}

int PositionOf(HMENU menu, const std::wstring& text) {
    const std::vector<std::wstring> texts = MenuTexts(menu);
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            return static_cast<int>(i);
    return -1;
}

// Moves the selection down until the item at the position is highlighted.
bool SelectWithKeys(HWND window, HMENU menu, int position) {
    for (int i = 0; i < 60 && position >= 0; ++i) {
        if (Highlighted(menu, position))
            return true;
        Press(window, VK_DOWN);
    }
    return false;
}

int Columns(HMENU menu) {
    int columns = 1;
    for (int i = 1; i < ::GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii) &&
            (mii.fType & MFT_MENUBARBREAK))
            ++columns;
    }
    return columns;
}

// Opens the selected item's submenu with the key and waits for it to be painted; the time
// from the key to the last painting.
double OpenTimed(PaintProbe& probe, HWND parentWindow, std::initializer_list<HWND> shown,
                 HWND& opened) {
    if (probe.draws > 0)
        probe.WaitQuiet(300); // the last opening's paintings are over
    else
        ::Sleep(300);
    probe.draws = 0;
    const auto start = Clock::now();
    Press(parentWindow, VK_RIGHT);
    opened = WaitForMenu(shown);
    if (!opened || !probe.WaitQuiet())
        return -1;
    return std::chrono::duration<double, std::milli>(probe.Last() - start).count();
}

struct OpenRun {
    double openMs = -1;
    int gdi = 0;
};

// The top-level popup with `inside` run on another thread while it shows.
void PopupAndDrive(TForm2& form2, HWND front, const std::function<void(HWND)>& inside) {
    std::thread driver([&] {
        HWND menu = WaitForMenu({}, 30);
        if (menu)
            inside(menu);
        CloseMenus();
    });
    form2.PopupLauncherMenu({300, 300}, front, std::nullopt);
    driver.join();
}

// Opens the entry's submenu, then `groups` of its sub-folders one after another (each opening
// timed and added up); with everyColumn, moves through all of the submenu's columns.
OpenRun OpenEntry(StartedLauncher& launcher, PaintProbe& probe, int groups, bool everyColumn) {
    OpenRun run;
    TForm2& form2 = launcher.form2;
    PopupAndDrive(form2, launcher.form1.Handle(), [&](HWND top) {
        HMENU root = form2.PopupMenu2.Handle();
        const int position = PositionOf(root, kEntryCaption);
        if (!SelectWithKeys(top, root, position))
            return;
        HWND sub = nullptr;
        double total = OpenTimed(probe, top, {top}, sub);
        if (total < 0)
            return;
        HMENU subMenu = ::GetSubMenu(root, position);
        for (int g = 0; g < groups; ++g) {
            // Below the header and its separator stand the sub-folders (the hidden marker has no
            // place).
            if (!SelectWithKeys(sub, subMenu, 2 + g))
                return;
            HWND group = nullptr;
            const double ms = OpenTimed(probe, sub, {top, sub}, group);
            if (ms < 0)
                return;
            total += ms;
            Press(group, VK_LEFT);
            for (int i = 0; i < 200 && ::IsWindowVisible(group); ++i)
                ::Sleep(10);
        }
        run.openMs = total;
        if (everyColumn) {
            for (int c = 1; c < Columns(subMenu); ++c)
                Press(sub, VK_RIGHT);
            probe.WaitQuiet();
        }
        run.gdi = GdiObjectCount();
    });
    return run;
}

// Whether the entry's submenu is still the one its last read built (it is not read again while
// the option to check every time is off).
bool EntryKeptAsRead(TForm2& form2) {
    TMenuItem& top = form2.PopupMenu2.Items;
    for (int i = 0; i < top.Count(); ++i) {
        TMenuItem* entry = top.Items(i);
        if (entry->Caption == kEntryCaption)
            return entry->Count() > 0 && entry->Items(0)->Hint == L"OPENED";
    }
    return false;
}

bool RunCase(const wchar_t* name, const fs::path& dir, int groups) {
    if (!Selected(name))
        return true;
    ScratchKey key;
    StoreEntries(key, {{kEntryCaption, dir.wstring()}});
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    PaintProbe probe;
    const TMenuItem::TDrawItemEvent draw = form2.Shell.DrawItem;
    form2.Shell.DrawItem = [&probe, draw](TMenuItem* sender, TCanvas& canvas, const RECT& rect,
                                          bool selected) {
        const auto start = Clock::now();
        draw(sender, canvas, rect, selected);
        probe.paintMs += MillisecondsSince(start);
        probe.Note();
    };
    // The entry's read, timed (the entry is made anew by every restart).
    auto timeReads = [&] {
        TMenuItem& top = form2.PopupMenu2.Items;
        for (int i = 0; i < top.Count(); ++i) {
            TMenuItem* entry = top.Items(i);
            if (entry->Caption != kEntryCaption)
                continue;
            const TMenuItem::TNotifyEvent open = entry->OnClick;
            entry->OnClick = [&probe, open](TMenuItem* sender) {
                const auto start = Clock::now();
                open(sender);
                probe.readMs += MillisecondsSince(start);
            };
        }
    };
    const std::vector<fs::path> opened = StartMenuGroups(dir);
    auto floor = [&] {
        int items = FloorOfPath(dir);
        for (int g = 0; g < groups; ++g)
            items += FloorOfPath(opened[g]);
        return items;
    };

    floor();
    OpenEntry(launcher, probe, groups, false); // warms the caches for both sides
    std::vector<double> floors, opens;
    int items = 0, gdi = 0, gdiRestarted = 0;
    bool ok = true;
    std::vector<double> readTimes, paintTimes;
    const int runs = Runs();
    for (int run = 0; run < runs; ++run) {
        form2.Restart();
        timeReads();
        probe.readMs = probe.paintMs = 0;
        const auto start = Clock::now();
        items = floor();
        floors.push_back(MillisecondsSince(start));
        const bool last = run == runs - 1;
        const OpenRun figures = OpenEntry(launcher, probe, groups, last);
        ok = ok && figures.openMs >= 0;
        opens.push_back(figures.openMs);
        readTimes.push_back(probe.readMs);
        paintTimes.push_back(probe.paintMs);
        if (last) {
            gdi = figures.gdi;
            form2.Restart(); // done by the popup itself when the pool has grown past its limit
            gdiRestarted = GdiObjectCount();
        }
    }
    // What the system itself takes to show and paint the same submenus when nothing is read:
    // without checking every time, a submenu once read is kept as it is, so opening it again only shows it
    // (its icons are already taken). No opening can take less.
    form2.SetDoNotCheckItemsEveryTime(false);
    OpenEntry(launcher, probe, groups, false); // reads them once
    std::vector<double> reopens;
    // A folder too large for the pool is not kept: the launcher restarts after its popup.
    if (EntryKeptAsRead(form2))
        for (int run = 0; run < runs; ++run)
            reopens.push_back(OpenEntry(launcher, probe, groups, false).openMs);
    form2.SetDoNotCheckItemsEveryTime(true); // the default: read at every opening

    char reopen[32] = "none";
    if (!reopens.empty())
        std::snprintf(reopen, sizeof reopen, "%.1f", Median(reopens));
    const double medianFloor = Median(floors), medianOpen = Median(opens);
    std::printf("folder_open %ls items=%d floor_ms=%.1f open_ms=%.1f ratio=%.2f gdi=%d "
                "gdi_restarted=%d min_floor_ms=%.1f min_open_ms=%.1f read_ms=%.1f paint_ms=%.1f "
                "reopen_ms=%s\n",
                name, items, medianFloor, medianOpen,
                medianFloor > 0 ? medianOpen / medianFloor : 0.0, gdi, gdiRestarted,
                Minimum(floors), Minimum(opens), Median(readTimes), Median(paintTimes),
                reopen);
    if (!ok)
        std::fprintf(stderr, "folder_open %ls: a submenu did not open or paint\n", name);
    std::fflush(stdout);
    return ok;
}

} // namespace
} // namespace tolvern

int wmain() {
    using namespace tolvern;
    using namespace tolvern::bench;
    OleScope ole;
    AssociateTextFiles();
    const fs::path base = FreshBase();
    PlainFolder(base / L"plain5000", 5000);
    MixedFolder(base / L"mixed");
    StartMenuTree(base / L"startmenu");
    PlainFolder(base / L"plain3", 3);
    LetFilesSettle();
    // What showing any submenu costs, whatever its folder holds: a reference for the others.
    bool ok = RunCase(L"plain_3", base / L"plain3", 0);
    ok = RunCase(L"plain_5000", base / L"plain5000", 0) && ok;
    ok = RunCase(L"mixed", base / L"mixed", 0) && ok;
    ok = RunCase(L"start_menu", base / L"startmenu", 3) && ok;
    std::error_code ignored;
    fs::remove_all(base, ignored);
    return ok ? 0 : 1;
}
