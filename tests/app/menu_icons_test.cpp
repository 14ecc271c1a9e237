// Names first, icons after, in the launcher menu of a started settings form: a submenu shows
// its items with their kinds' icons while the icon worker is held, each item is painted again
// alone when its own icon arrives, and closing the menu or restarting in the middle of the
// fetch leaves nothing behind.
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "support/gui_objects.h"
#include "support/menu_driver.h"
#include "support/scratch_key.h"
#include "support/screen_capture.h"
#include "support/started_launcher.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace tolvern {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

// Holds the worker before each icon it finds, and lets icons through one by one.
class WorkerGate {
public:
    WorkerGate() : semaphore_(::CreateSemaphoreW(nullptr, 0, 100, nullptr)) {}
    ~WorkerGate() { ::CloseHandle(semaphore_); }
    void Pass() {
        if (!held)
            return;
        ++waiting;
        ::WaitForSingleObject(semaphore_, 10000);
        --waiting;
    }
    void Let(int icons) { ::ReleaseSemaphore(semaphore_, icons, nullptr); }
    std::atomic<bool> held{false};
    std::atomic<int> waiting{0};

private:
    HANDLE semaphore_;
};

// How often each item was painted, by caption.
class PaintLog {
public:
    void Note(const std::wstring& caption) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++counts_[caption];
    }
    std::map<std::wstring, int> Counts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return counts_;
    }
    int Total() {
        int total = 0;
        for (const auto& [caption, count] : Counts())
            total += count;
        return total;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        counts_.clear();
    }

private:
    std::mutex mutex_;
    std::map<std::wstring, int> counts_;
};

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 30000) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        ::Sleep(10);
    }
    return true;
}

// The 16 pixels square an icon covers, drawn on the item's colour as the painter draws it.
Image OnColour(HICON icon, int colour) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    HDC screen = ::GetDC(nullptr);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, 16, 16));
    ::ReleaseDC(nullptr, screen);
    SelectGuard select(dc.get(), bitmap.get());
    UniqueBrush menu(::CreateSolidBrush(::GetSysColor(colour)));
    RECT all{0, 0, 16, 16};
    ::FillRect(dc.get(), &all, menu.get());
    ::DrawIconEx(dc.get(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    return CaptureDC(dc.get(), 16, 16);
}

// The icon square of the item at the position of the shown submenu, from the screen.
std::vector<COLORREF> IconOnScreen(HWND window, int position) {
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
    RECT item{};
    if (!::GetMenuItemRect(window, menu, static_cast<UINT>(position), &item))
        return {};
    const RECT icon{item.left + 1, item.top + 1, item.left + 17, item.top + 17};
    return CaptureScreen(&icon).pixels;
}

// Pops up the launcher menu, opens the entry's submenu with the keys and runs `inside` with
// its window; the menus are closed afterwards.
void OpenEntry(TForm2& form2, HWND front, const std::wstring& caption,
               const std::function<void(HWND)>& inside) {
    std::thread driver([&] {
        HWND top = WaitForMenuWindow();
        if (!top)
            return;
        HMENU root = form2.PopupMenu2.Handle();
        const std::vector<std::wstring> texts = MenuTexts(root);
        const int position =
            static_cast<int>(std::find(texts.begin(), texts.end(), caption) - texts.begin());
        for (int i = 0; i < 30 && !Highlighted(root, position); ++i)
            Key(top, VK_DOWN);
        Key(top, VK_RIGHT);
        if (HWND sub = WaitForMenuWindow({top}))
            inside(sub);
        CloseAllMenus();
    });
    form2.PopupLauncherMenu({300, 300}, front, std::nullopt);
    driver.join();
}

void PumpUntilIdle(TForm2& form2) {
    WaitFor([&] {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        return form2.Shell.Icons.Idle();
    });
}

TEST(MenuIcons, StandInsFirstThenEachItemAloneWithItsOwnIconAndNothingLeftBehind) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tolvern-menu-icons";
    std::filesystem::remove_all(folder);
    MakeDir(folder);
    // Three shortcuts to a program, each naming an icon of its own.
    const std::wstring shell32 = GetSystemDir() + L"shell32.dll";
    const std::wstring notepad = GetWindowsDir() + L"notepad.exe";
    MakeShortcut(folder + L"\\a.lnk", notepad, shell32, 8);
    MakeShortcut(folder + L"\\b.lnk", notepad, shell32, 9);
    MakeShortcut(folder + L"\\c.lnk", notepad, shell32, 10);
    ScratchKey key;
    StoreEntries(key, {{L"icons", folder}});
    key.SetString(kSettingSection, L"ViewRecentMenu", L"0");
    key.SetString(kSettingSection, L"ViewHistoryMenu", L"0");
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    const HWND front = launcher.form1.Handle();
    WorkerGate gate;
    form2.Shell.Icons.BeforeEachIcon = [&gate] { gate.Pass(); };
    PaintLog paints;
    const TMenuItem::TDrawItemEvent draw = form2.Shell.DrawItem;
    form2.Shell.DrawItem = [&paints, draw](TMenuItem* sender, TCanvas& canvas, const RECT& rect,
                                           bool selected) {
        draw(sender, canvas, rect, selected);
        paints.Note(sender->Caption);
    };
    form2.Restart(); // the entry's items are made again with the counting painter

    std::vector<Image> own;
    for (int index : {8, 9, 10}) {
        UniqueIcon icon(ExtractIconFromFile(shell32, index, 16));
        own.push_back(OnColour(icon.get(), COLOR_MENU));
    }
    SHFILEINFOW info{};
    ::SHGetFileInfoW(folder.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
    UniqueIcon folderIcon(info.hIcon);
    // The open item is selected as its submenu opens by the key.
    const Image folderOwn = OnColour(folderIcon.get(), COLOR_HIGHLIGHT);
    UniqueIcon program(MakeStandInIcon(IconStandIn::Program, 16));
    UniqueIcon folderKind(MakeStandInIcon(IconStandIn::Folder, 16));
    const Image programStandIn = OnColour(program.get(), COLOR_MENU);
    const Image folderStandIn = OnColour(folderKind.get(), COLOR_HIGHLIGHT);
    for (const Image& image : own)
        ASSERT_NE(programStandIn.pixels, image.pixels);

    // Once through with the worker free: the shell's caches and the stand-ins are made.
    OpenEntry(form2, front, L"icons", [](HWND) { ::Sleep(500); });
    form2.Restart();
    PumpUntilIdle(form2);
    const int gdiBefore = GdiObjectCount();

    // Held: the names show at once, with the stand-ins; then one icon after another arrives
    // and only its item is painted again.
    gate.held = true;
    OpenEntry(form2, front, L"icons", [&](HWND sub) {
        ::Sleep(400);
        EXPECT_EQ(folderStandIn.pixels, IconOnScreen(sub, 0)) << "the open item";
        for (int position : {2, 3, 4})
            EXPECT_EQ(programStandIn.pixels, IconOnScreen(sub, position)) << position;
        EXPECT_EQ(1, gate.waiting.load());
        const std::wstring order[] = {L"icons", L"a", L"b", L"c"};
        paints.Clear();
        for (int k = 0; k < 4; ++k) {
            gate.Let(1);
            EXPECT_TRUE(WaitFor([&] { return paints.Counts()[order[k]] == 1; })) << k;
            ::Sleep(150);
            EXPECT_EQ(k + 1, paints.Total()) << "painted again alone: " << order[k];
        }
        EXPECT_EQ((std::map<std::wstring, int>{{L"icons", 1}, {L"a", 1}, {L"b", 1}, {L"c", 1}}),
                  paints.Counts());
        EXPECT_EQ(folderOwn.pixels, IconOnScreen(sub, 0));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(own[i].pixels, IconOnScreen(sub, 2 + i)) << i;
    });

    // Closed half-way: what was not begun is dropped, the icon in hand still reaches its entry.
    form2.Restart();
    PumpUntilIdle(form2);

    paints.Clear();
    OpenEntry(form2, front, L"icons", [&](HWND) {
        ::Sleep(300);
        gate.Let(2); // the open item and a, painted first with its stand-in, then with its own
        EXPECT_TRUE(WaitFor([&] { return paints.Counts()[L"a"] == 2 && gate.waiting == 1; }));
    });
    gate.Let(1); // b, in hand when the menu closed
    PumpUntilIdle(form2);
    EXPECT_TRUE(form2.Shell.Icons.Idle());
    EXPECT_EQ(0, gate.waiting.load());
    TMenuItem* entry = nullptr;
    for (int i = 0; i < form2.PopupMenu2.Items.Count(); ++i)
        if (form2.PopupMenu2.Items.Items(i)->Caption == L"icons")
            entry = form2.PopupMenu2.Items.Items(i);
    ASSERT_NE(nullptr, entry);
    ASSERT_EQ(6, entry->Count());
    std::vector<bool> pending;
    for (int i : {0, 3, 4, 5})
        pending.push_back(form2.IconHandlePool.IsPending(static_cast<int>(entry->Items(i)->Tag)));
    EXPECT_EQ((std::vector<bool>{false, false, false, true}), pending) << "open item, a, b, c";

    // Restart while the worker holds an icon: it waits for the worker to let go, and nothing of
    // before reaches the new pools.
    form2.Restart();
    PumpUntilIdle(form2);

    OpenEntry(form2, front, L"icons",
              [&](HWND) { EXPECT_TRUE(WaitFor([&] { return gate.waiting == 1; }, 30000)); });
    std::atomic<long long> letAt{0};
    std::thread letGo([&] {
        ::Sleep(300);
        letAt = Clock::now().time_since_epoch().count();
        gate.Let(1);
    });
    form2.Restart();
    const long long restarted = Clock::now().time_since_epoch().count();
    letGo.join();
    EXPECT_GT(restarted, letAt.load());
    PumpUntilIdle(form2);
    EXPECT_TRUE(form2.Shell.Icons.Idle());
    EXPECT_EQ(0, form2.IconHandlePool.LoadedCount());
    EXPECT_EQ(form2.ItemIdPool.Count(), form2.IconHandlePool.Count());

    // A worker that holds on past the bound: the restart goes on without it, and the icon it
    // delivers afterwards, meant for the pools that are gone, is destroyed unseen.
    OpenEntry(form2, front, L"icons",
              [&](HWND) { EXPECT_TRUE(WaitFor([&] { return gate.waiting == 1; }, 30000)); });
    // The worker holds on until the restart has returned (or a minute has passed, which an
    // unbounded wait would reach): the rest of a restart may take long on a busy machine.
    std::atomic<bool> restartReturned{false};
    std::thread late([&] {
        WaitFor([&] { return restartReturned.load(); }, 60000);
        gate.Let(1);
    });
    form2.Restart();
    EXPECT_EQ(1, gate.waiting.load()) << "the restart did not wait beyond its bound";
    restartReturned = true;
    late.join();
    PumpUntilIdle(form2);
    EXPECT_TRUE(form2.Shell.Icons.Idle());
    EXPECT_EQ(0, form2.IconHandlePool.LoadedCount());

    gate.held = false;
    EXPECT_EQ(gdiBefore, GdiObjectCount());
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tolvern
