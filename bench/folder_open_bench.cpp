// Opening a folder submenu as a user sees it: the launcher menu of a started settings form
// pops up, a key opens a My Menu folder's submenu, and the figures run from that key to the
// submenu's visible items painted with their names, and with their own icons, against what the
// shell's enumeration and icon look-up and the system's showing of a plain menu of the same
// items take in the same run.
#include "bench_support.h"

#include "support/gui_objects.h"
#include "support/menu_driver.h"
#include "support/started_launcher.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace tolvern {
namespace {

using namespace bench;
using namespace test;

constexpr wchar_t kEntryCaption[] = L"bench folder";

// The paintings of items that folder reads created: when each item was first painted, and when
// first with its own icon (or, for one that has none, once that is known), and when the last
// painting of all happened.
struct PaintProbe {
    struct Seen {
        Clock::time_point first, own;
        bool hasOwn = false;
    };
    std::mutex mutex;
    std::map<const void*, Seen> items;
    std::atomic<int> draws{0};
    std::atomic<long long> last{0}; // Clock ticks

    void Note(const void* item, bool own) {
        const auto now = Clock::now();
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto [it, added] = items.try_emplace(item);
            if (added)
                it->second.first = now;
            if (own && !it->second.hasOwn) {
                it->second.own = now;
                it->second.hasOwn = true;
            }
        }
        last = now.time_since_epoch().count();
        ++draws;
    }
    void Restart() {
        std::lock_guard<std::mutex> lock(mutex);
        items.clear();
        draws = 0;
        readStart = readEnd = filled = 0;
    }
    // The first item's first painting.
    Clock::time_point FirstPainted() {
        std::lock_guard<std::mutex> lock(mutex);
        Clock::time_point first = Clock::time_point::max();
        for (const auto& [item, seen] : items)
            first = std::min(first, seen.first);
        return first;
    }
    // From start to the last item's first painting, and to the last item's painting with its own
    // icon (-1 when an item never got it).
    std::pair<double, double> Since(Clock::time_point start) {
        std::lock_guard<std::mutex> lock(mutex);
        double first = -1, own = -1;
        bool complete = !items.empty();
        for (const auto& [item, seen] : items) {
            first = std::max(first, Milliseconds(start, seen.first));
            if (seen.hasOwn)
                own = std::max(own, Milliseconds(start, seen.own));
            complete = complete && seen.hasOwn;
        }
        return {first, complete ? own : -1};
    }
    static double Milliseconds(Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    }
    std::vector<const void*> Painted() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<const void*> painted;
        for (const auto& [item, seen] : items)
            painted.push_back(item);
        return painted;
    }
    int WithOwnIcon() {
        std::lock_guard<std::mutex> lock(mutex);
        int count = 0;
        for (const auto& [item, seen] : items)
            count += seen.hasOwn ? 1 : 0;
        return count;
    }
    // Where the time goes: reading the folder and the item painters themselves (the rest is
    // the menu's realisation, measuring and the system's own work).
    double readMs = 0, paintMs = 0;
    // Moments of the opening under way (Clock ticks, 0 until they happen): its read begun and
    // ended, its submenu filled.
    std::atomic<long long> readStart{0}, readEnd{0}, filled{0};
    static long long Now() { return Clock::now().time_since_epoch().count(); }
    Clock::time_point Last() const { return Clock::time_point(Clock::duration(last.load())); }
    // Waits until something was painted and nothing more for a while; false after a while.
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

// Opens the selected item's submenu with the key and waits for it to be painted: the times from
// the key to the last item's first painting and to the last item painted with its own icon.
struct Opening {
    double firstMs = -1, ownMs = -1;
    // Where the first painting's time went: from the key to the read, the read, filling the
    // submenu, the system's showing of it until the first item is painted, and painting every
    // visible item once.
    double toRead = 0, read = 0, fill = 0, show = 0, painting = 0;
    void Add(const Opening& more) {
        firstMs += more.firstMs;
        ownMs = ownMs < 0 || more.ownMs < 0 ? -1 : ownMs + more.ownMs;
        toRead += more.toRead;
        read += more.read;
        fill += more.fill;
        show += more.show;
        painting += more.painting;
    }
};
Opening OpenTimed(PaintProbe& probe, HWND parentWindow, std::initializer_list<HWND> shown,
                  HWND& opened) {
    if (probe.draws > 0)
        probe.WaitQuiet(300); // the last opening's paintings are over
    else
        ::Sleep(300);
    probe.Restart();
    const auto start = Clock::now();
    Press(parentWindow, VK_RIGHT);
    opened = WaitForMenu(shown);
    if (!opened || !probe.WaitQuiet())
        return {};
    const auto [first, own] = probe.Since(start);
    Opening opening{first, own};
    const auto at = [](const std::atomic<long long>& ticks) {
        return Clock::time_point(Clock::duration(ticks.load()));
    };
    if (probe.filled != 0 && probe.readEnd != 0) {
        opening.toRead = PaintProbe::Milliseconds(start, at(probe.readStart));
        opening.read = PaintProbe::Milliseconds(at(probe.readStart), at(probe.readEnd));
        opening.fill = PaintProbe::Milliseconds(at(probe.readEnd), at(probe.filled));
        opening.show = PaintProbe::Milliseconds(at(probe.filled), probe.FirstPainted());
        opening.painting = first - PaintProbe::Milliseconds(start, probe.FirstPainted());
    }
    return opening;
}

struct OpenRun {
    double firstMs = -1, ownMs = -1; // added up over the submenus opened
    Opening split;
    int gdi = 0;
    std::vector<const void*> painted; // every item painted, in every submenu opened
    // What `keep` took of them while they were still there (a restart after the popup frees them).
    std::vector<std::vector<BYTE>> kept;
    const char* failed = "no menu showed";
};

// A menu shown by `popup` (which returns once it has closed), with `inside` run on another
// thread while it shows.
void PopupAndDrive(const std::function<void()>& popup, const std::function<void(HWND)>& inside) {
    std::thread driver([&] {
        HWND menu = WaitForMenu({}, 30);
        if (menu)
            inside(menu);
        CloseMenus();
    });
    popup();
    driver.join();
}

// Opens the entry's submenu, then `groups` of its sub-folders one after another (each opening
// timed and added up); with everyColumn, moves through all of the submenu's columns.
OpenRun OpenEntry(PaintProbe& probe, const std::function<void()>& popup,
                  const std::function<HMENU()>& root, int groups, bool everyColumn,
                  const std::function<std::vector<BYTE>(const void*)>& keep = {}) {
    OpenRun run;
    PopupAndDrive(popup, [&](HWND top) {
        const int position = PositionOf(root(), kEntryCaption);
        run.failed = "the entry could not be selected";
        if (!SelectWithKeys(top, root(), position))
            return;
        HWND sub = nullptr;
        run.failed = "the entry's submenu did not show or paint";
        Opening total = OpenTimed(probe, top, {top}, sub);
        if (total.firstMs < 0)
            return;
        run.failed = "a sub-folder did not open";
        std::vector<const void*> painted = probe.Painted();
        HMENU subMenu = ::GetSubMenu(root(), position);
        for (int g = 0; g < groups; ++g) {
            // Below the header and its separator stand the sub-folders (the hidden marker has no
            // place).
            if (!SelectWithKeys(sub, subMenu, 2 + g))
                return;
            HWND group = nullptr;
            const Opening one = OpenTimed(probe, sub, {top, sub}, group);
            if (one.firstMs < 0)
                return;
            total.Add(one);
            const std::vector<const void*> more = probe.Painted();
            painted.insert(painted.end(), more.begin(), more.end());
            Press(group, VK_LEFT);
            for (int i = 0; i < 200 && ::IsWindowVisible(group); ++i)
                ::Sleep(10);
        }
        run.firstMs = total.firstMs;
        run.ownMs = total.ownMs;
        run.split = total;
        run.failed = nullptr;
        run.painted = std::move(painted);
        for (const void* item : run.painted)
            if (keep)
                run.kept.push_back(keep(item));
        if (everyColumn) {
            for (int c = 1; c < Columns(subMenu); ++c)
                Press(sub, VK_RIGHT);
            probe.WaitQuiet();
        }
        run.gdi = GdiObjectCount();
    });
    return run;
}

// The same items as the launcher's submenus (names, separators, column breaks) in a plain
// owner-drawn menu of the benchmark's own: filled and written on, no icon, nothing read. What
// the system itself takes to show such a menu.
class BareMenu {
public:
    // entry: the launcher's item, read with its first `groups` sub-folders.
    BareMenu(const TMenuItem& entry, int groups, PaintProbe& probe)
        : probe_(probe), itemHeight_(TPopupMenu::DefaultItemHeight(16, 96)),
          dc_(::CreateCompatibleDC(nullptr)) {
        const LOGFONTW menuFont = MenuFont();
        font_ = ::CreateFontIndirectW(&menuFont);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TolvernBareMenu";
        ::RegisterClassExW(&wc);
        window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SelectObject(dc_, font_);
        root_ = ::CreatePopupMenu();
        Append(root_, kEntryCaption, Build(entry, groups), false);
        screen_ = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    ~BareMenu() {
        ::DestroyMenu(root_);
        ::DestroyWindow(window_);
        ::DeleteDC(dc_);
        ::DeleteObject(font_);
    }
    HMENU Root() const { return root_; }
    void Popup() {
        ::SetForegroundWindow(window_);
        ::TrackPopupMenuEx(root_, TPM_RETURNCMD | TPM_RIGHTBUTTON, 300, 300, window_, nullptr);
        ::PostMessageW(window_, WM_NULL, 0, 0);
    }

private:
    struct Item {
        std::wstring caption;
        bool line;
    };
    static LOGFONTW MenuFont() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return metrics.lfMenuFont;
    }
    HMENU Build(const TMenuItem& owner, int groups) {
        HMENU menu = ::CreatePopupMenu();
        int folders = 0;
        for (int i = 0; i < owner.Count(); ++i) {
            const TMenuItem& child = *owner.Items(i);
            if (!child.Visible)
                continue;
            HMENU sub = nullptr;
            if (i >= 3 && child.Count() > 0 && folders++ < groups)
                sub = Build(child, 0);
            Append(menu, child.Caption, sub, child.Break);
        }
        return menu;
    }
    void Append(HMENU menu, const std::wstring& caption, HMENU sub, bool columnBreak) {
        items_.push_back(std::make_unique<Item>(Item{caption, caption == L"-"}));
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING | (sub ? MIIM_SUBMENU : 0);
        mii.fType = MFT_OWNERDRAW | (columnBreak ? MFT_MENUBARBREAK : 0);
        mii.wID = static_cast<UINT>(items_.size());
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(items_.back().get());
        mii.dwTypeData = const_cast<wchar_t*>(caption.c_str());
        mii.hSubMenu = sub;
        ::InsertMenuItemW(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &mii);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BareMenu*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            const Item& item = *reinterpret_cast<const Item*>(mis->itemData);
            SIZE text{};
            ::GetTextExtentPoint32W(self->dc_, item.caption.c_str(),
                                    static_cast<int>(item.caption.size()), &text);
            mis->itemWidth = static_cast<UINT>(16 + 15 + text.cx + 7);
            mis->itemHeight = static_cast<UINT>(item.line ? 8 : self->itemHeight_);
            return TRUE;
        }
        if (self && message == WM_DRAWITEM) {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const Item& item = *reinterpret_cast<const Item*>(dis->itemData);
            RECT onScreen = dis->rcItem, visible{};
            ::MapWindowPoints(::WindowFromDC(dis->hDC), HWND_DESKTOP,
                              reinterpret_cast<POINT*>(&onScreen), 2);
            if (!::IntersectRect(&visible, &onScreen, &self->screen_))
                return TRUE; // as the launcher does, columns off the screen are not painted
            const bool selected = (dis->itemState & ODS_SELECTED) != 0;
            ::FillRect(dis->hDC, &dis->rcItem,
                       ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
            if (!item.line) {
                RECT text = dis->rcItem;
                text.left += 22;
                ::SetBkMode(dis->hDC, TRANSPARENT);
                ::DrawTextW(dis->hDC, item.caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER);
            }
            self->probe_.Note(&item, true);
            return TRUE;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    PaintProbe& probe_;
    int itemHeight_;
    HDC dc_;
    HFONT font_ = nullptr;
    HWND window_ = nullptr;
    HMENU root_ = nullptr;
    RECT screen_{};
    std::vector<std::unique_ptr<Item>> items_;
};

// Whether the entry's submenu is still the one its last read built (it is not read again while
// the option to check every time is off).
TMenuItem* EntryItem(TForm2& form2) {
    TMenuItem& top = form2.PopupMenu2.Items;
    for (int i = 0; i < top.Count(); ++i)
        if (top.Items(i)->Caption == kEntryCaption)
            return top.Items(i);
    return nullptr;
}

bool EntryKeptAsRead(TForm2& form2) {
    TMenuItem* entry = EntryItem(form2);
    return entry && entry->Count() > 0 && entry->Items(0)->Hint == L"OPENED";
}

// The shell's own icon look-up for the items, one after another: the least any fetch of their
// icons costs.
double IconFloor(const std::vector<std::vector<BYTE>>& pidls) {
    const auto start = Clock::now();
    for (const std::vector<BYTE>& pidl : pidls) {
        SHFILEINFOW info{};
        if (!pidl.empty())
            ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl.data()), 0, &info, sizeof info,
                             SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    }
    return MillisecondsSince(start);
}

// A copy of a painted item's list, taken while the popup still shows.
std::vector<BYTE> ListOfItem(TForm2& form2, const void* item) {
    const auto* menuItem = static_cast<const TMenuItem*>(item);
    PCIDLIST_ABSOLUTE pidl = form2.ItemIdPool[static_cast<int>(menuItem->Tag)];
    if (!pidl)
        return {};
    const auto* bytes = reinterpret_cast<const BYTE*>(pidl);
    return std::vector<BYTE>(bytes, bytes + ::ILGetSize(pidl));
}

void PumpMessages(int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(10);
    } while (Clock::now() < end);
}

// Openings closed half-way through their icons, each after a restart, so that
// every one of them is left in the middle of its icons: the GDI objects held after 10 of them and
// after all.
void ChurnClosedHalfWay(StartedLauncher& launcher, PaintProbe& probe, int openings) {
    TForm2& form2 = launcher.form2;
    int gdiAfter10 = 0;
    std::vector<double> ownAtClose;
    for (int i = 1; i <= openings; ++i) {
        form2.Restart();
        PopupAndDrive(
            [&] {
                form2.PopupLauncherMenu({300, 300}, launcher.form1.Handle(), std::nullopt);
            },
            [&](HWND top) {
                HMENU root = form2.PopupMenu2.Handle();
                const int position = PositionOf(root, kEntryCaption);
                if (!SelectWithKeys(top, root, position))
                    return;
                probe.Restart();
                Press(top, VK_RIGHT);
                const auto deadline = Clock::now() + std::chrono::seconds(5);
                // Closed once half the items painted so far show their own icons.
                while (Clock::now() < deadline &&
                       (probe.Painted().empty() ||
                        2 * probe.WithOwnIcon() < static_cast<int>(probe.Painted().size())))
                    ::Sleep(1);
                const int painted = static_cast<int>(probe.Painted().size());
                ownAtClose.push_back(painted ? 100.0 * probe.WithOwnIcon() / painted : 0);
            });
        PumpMessages(20);
        if (i == 10)
            gdiAfter10 = GdiObjectCount();
    }
    form2.Restart();
    PumpMessages(100);
    std::printf("folder_open_churn programs_200 openings=%d gdi_after_10=%d gdi_after_%d=%d "
                "own_icons_at_close_pct=%.0f\n",
                openings, gdiAfter10, openings, GdiObjectCount(), Median(ownAtClose));
}

bool RunCase(const wchar_t* name, const fs::path& dir, int groups, int churn = 0) {
    if (!Selected(name))
        return true;
    ScratchKey key;
    StoreEntries(key, {{kEntryCaption, dir.wstring()}});
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    PaintProbe probe;
    const TMenuItem::TDrawItemEvent draw = form2.Shell.DrawItem;
    form2.Shell.DrawItem = [&probe, &form2, draw](TMenuItem* sender, TCanvas& canvas,
                                                  const RECT& rect, bool selected) {
        const auto start = Clock::now();
        draw(sender, canvas, rect, selected);
        probe.paintMs += MillisecondsSince(start);
        // Its own icon, or none to wait for.
        probe.Note(sender, sender->ImageIndex != -1 ||
                               !form2.IconHandlePool.IsPending(static_cast<int>(sender->Tag)));
    };
    // The reads of the sub-folders, timed (their items take the handler when they are made).
    const TMenuItem::TNotifyEvent folderClick = form2.Shell.FolderClick;
    form2.Shell.FolderClick = [&probe, folderClick](TMenuItem* sender) {
        const auto start = Clock::now();
        probe.readStart = PaintProbe::Now();
        folderClick(sender);
        probe.readEnd = PaintProbe::Now();
        probe.readMs += MillisecondsSince(start);
    };
#if __has_include("menu/menu_icons.h")
    const auto filled = form2.PopupMenu2.OnSubmenuOpen;
    form2.PopupMenu2.OnSubmenuOpen = [&probe, filled](TMenuItem* owner) {
        if (filled)
            filled(owner);
        probe.filled = PaintProbe::Now();
    };
#endif
    // The entry's read, timed (the entry is made anew by every restart).
    auto timeReads = [&] {
        TMenuItem* entry = EntryItem(form2);
        if (!entry)
            return;
        const TMenuItem::TNotifyEvent open = entry->OnClick;
        entry->OnClick = [&probe, open](TMenuItem* sender) {
            const auto start = Clock::now();
            probe.readStart = PaintProbe::Now();
            open(sender);
            probe.readEnd = PaintProbe::Now();
            probe.readMs += MillisecondsSince(start);
        };
    };
    const std::vector<fs::path> opened = StartMenuGroups(dir);
    auto floor = [&] {
        int items = FloorOfPath(dir);
        for (int g = 0; g < groups; ++g)
            items += FloorOfPath(opened[g]);
        return items;
    };
    auto popupLauncher = [&] {
        form2.PopupLauncherMenu({300, 300}, launcher.form1.Handle(), std::nullopt);
    };
    auto launcherRoot = [&] { return form2.PopupMenu2.Handle(); };

    floor();
    OpenEntry(probe, popupLauncher, launcherRoot, groups, false); // warms the caches for both sides
    // The plain menu takes its items from a read of the same folders (made here, since a popup
    // that reads past the pool's limit restarts the launcher afterwards).
    PaintProbe bareProbe;
    std::unique_ptr<BareMenu> bare;
    if (TMenuItem* entry = EntryItem(form2)) {
        form2.GetSubItems2(entry);
        for (int g = 0; g < groups && 3 + g < entry->Count(); ++g) {
            TMenuItem* group = entry->Items(3 + g);
            form2.GetSubItems2(group);
        }
        bare = std::make_unique<BareMenu>(*entry, groups, bareProbe);
        form2.Restart();
    }
    auto popupBare = [&] { bare->Popup(); };
    auto bareRoot = [&] { return bare->Root(); };
    if (bare)
        OpenEntry(bareProbe, popupBare, bareRoot, groups, false);

    std::vector<double> floors, bares, firsts, owns, iconFloors;
    std::vector<double> toReads, reads, fills, shows, paintings;
    int items = 0, gdi = 0, gdiRestarted = 0;
    bool ok = bare != nullptr;
    std::vector<double> readTimes, paintTimes;
    const int runs = Runs();
    for (int run = 0; run < runs && ok; ++run) {
        form2.Restart();
        timeReads();
        probe.readMs = probe.paintMs = 0;
        const auto start = Clock::now();
        items = floor();
        floors.push_back(MillisecondsSince(start));
        bares.push_back(OpenEntry(bareProbe, popupBare, bareRoot, groups, false).firstMs);
        const bool last = run == runs - 1;
        const OpenRun figures =
            OpenEntry(probe, popupLauncher, launcherRoot, groups, last,
                      [&form2](const void* item) { return ListOfItem(form2, item); });
        ok = figures.firstMs >= 0 && figures.ownMs >= 0 && bares.back() >= 0;
        if (!ok)
            std::fprintf(stderr, "folder_open %ls run %d: %s (bare %.1f ms, own icons %.1f ms)\n",
                         name, run + 1, figures.failed ? figures.failed : "icons missing",
                         bares.back(), figures.ownMs);
        firsts.push_back(figures.firstMs);
        toReads.push_back(figures.split.toRead);
        reads.push_back(figures.split.read);
        fills.push_back(figures.split.fill);
        shows.push_back(figures.split.show);
        paintings.push_back(figures.split.painting);
        owns.push_back(figures.ownMs);
        iconFloors.push_back(IconFloor(figures.kept));
        readTimes.push_back(probe.readMs);
        paintTimes.push_back(probe.paintMs);
        if (last) {
            gdi = figures.gdi;
            form2.Restart(); // done by the popup itself when the pool has grown past its limit
            PumpMessages(100);
            gdiRestarted = GdiObjectCount();
        }
    }
    // What the system itself takes to show and paint the same submenus when nothing is read:
    // without checking every time, a submenu once read is kept as it is, so opening it again
    // only shows it (its icons are already taken). No opening can take less.
    form2.SetDoNotCheckItemsEveryTime(false);
    OpenEntry(probe, popupLauncher, launcherRoot, groups, false); // reads them once
    std::vector<double> reopens;
    // A folder too large for the pool is not kept: the launcher restarts after its popup.
    if (EntryKeptAsRead(form2))
        for (int run = 0; run < runs; ++run)
            reopens.push_back(OpenEntry(probe, popupLauncher, launcherRoot, groups, false).firstMs);
    form2.SetDoNotCheckItemsEveryTime(true); // the default: read at every opening

    char reopen[32] = "none";
    if (!reopens.empty())
        std::snprintf(reopen, sizeof reopen, "%.1f", Median(reopens));
    const double medianFloor = Median(floors), medianBare = Median(bares);
    const double medianFirst = Median(firsts), medianOwn = Median(owns);
    const double medianIconFloor = Median(iconFloors);
    std::printf("folder_open %ls items=%d floor_ms=%.1f bare_ms=%.1f first_paint_ms=%.1f "
                "icons_ms=%.1f icon_floor_ms=%.1f ratio=%.2f icons_over_first_ms=%.1f "
                "icon_ratio=%.2f gdi=%d gdi_restarted=%d read_ms=%.1f paint_ms=%.1f "
                "reopen_ms=%s\n",
                name, items, medianFloor, medianBare, medianFirst, medianOwn, medianIconFloor,
                medianFloor + medianBare > 0 ? medianFirst / (medianFloor + medianBare) : 0.0,
                medianOwn - medianFirst,
                medianIconFloor > 0 ? (medianOwn - medianFirst) / medianIconFloor : 0.0, gdi,
                gdiRestarted, Median(readTimes), Median(paintTimes), reopen);
    std::printf("folder_open_split %ls key_to_read_ms=%.1f read_ms=%.1f fill_ms=%.1f "
                "show_ms=%.1f painting_ms=%.1f\n",
                name, Median(toReads), Median(reads), Median(fills), Median(shows),
                Median(paintings));
    if (!ok)
        std::fprintf(stderr, "folder_open %ls: a submenu did not open or paint\n", name);
    std::fflush(stdout);
    if (ok && churn > 0)
        ChurnClosedHalfWay(launcher, probe, churn);
#if __has_include("menu/menu_icons.h")
    std::printf("icon_locations %ls entries=%zu\n", name, form2.Shell.Icons.Locations().Count());
#endif
    std::fflush(stdout);
    return ok;
}

#if __has_include("menu/menu_icons.h")
// The bytes in use in every heap of the process.
double HeapBytes() {
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    double bytes = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData + entry.cbOverhead;
        ::HeapUnlock(heap);
    }
    return bytes;
}

// The memory of a full table of icon locations: the heaps' bytes before and after filling one
// with keys and sources like those of real items.
void IconLocationsMemory() {
    const double start = HeapBytes();
    auto table = std::make_unique<TIconLocations>();
    ItemIconSource source;
    source.kind = ItemIconSource::Kind::File;
    source.file = L"C:\\Program Files\\Some Vendor\\Some Product\\bin\\product.exe";
    for (int i = 0; i < static_cast<int>(TIconLocations::kDefaultCapacity) + 1000; ++i) {
        source.index = i % 7;
        table->Remember(L"16-133498712345678901|C:\\users\\someone\\AppData\\Roaming\\"
                        L"Microsoft\\Windows\\Start Menu\\Programs\\Some Group\\Program " +
                            std::to_wstring(i) + L".lnk",
                        source);
    }
    const double bytes = HeapBytes() - start;
    std::printf("icon_locations_memory entries=%zu bytes=%.0f bytes_per_entry=%.0f\n",
                table->Count(), bytes, table->Count() ? bytes / table->Count() : 0.0);
    std::fflush(stdout);
}
#endif

} // namespace
} // namespace tolvern

int wmain() {
    using namespace tolvern;
    using namespace tolvern::bench;
    OleScope ole;
    AssociateTextFiles();
    const fs::path base = FreshBase();
    // Only the folders of the cases to run are made (thousands of files take a while).
    if (Selected(L"plain_5000"))
        PlainFolder(base / L"plain5000", 5000);
    if (Selected(L"mixed"))
        MixedFolder(base / L"mixed");
    if (Selected(L"start_menu"))
        StartMenuTree(base / L"startmenu");
    if (Selected(L"plain_3"))
        PlainFolder(base / L"plain3", 3);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (Selected(L"programs_200"))
        ProgramsFolder(base / L"programs", base / L"program-copies",
                       fs::path(self).parent_path() / L"data" / L"bench_icon_program.exe", 200);
    LetFilesSettle();
    // What showing any submenu costs, whatever its folder holds: a reference for the others.
    bool ok = RunCase(L"plain_3", base / L"plain3", 0);
    ok = RunCase(L"plain_5000", base / L"plain5000", 0) && ok;
    ok = RunCase(L"mixed", base / L"mixed", 0) && ok;
    ok = RunCase(L"start_menu", base / L"startmenu", 3) && ok;
    ok = RunCase(L"programs_200", base / L"programs", 0, 200) && ok;
#if __has_include("menu/menu_icons.h")
    if (Selected(L"icon_locations"))
        IconLocationsMemory();
#endif
    std::error_code ignored;
    fs::remove_all(base, ignored);
    return ok ? 0 : 1;
}
