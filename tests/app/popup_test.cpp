// Popping up the launcher menu: placement geometry, the walk down the Z order, the restart
// after a popup that filled the pool, message boxes and the foreground around them.
#include "app/foreground.h"
#include "app/popup_placement.h"
#include "components/bar_popup_menu.h"
#include "framework/menus.h"
#include "support/foreign_window.h"
#include "support/gui_objects.h"
#include "support/menu_driver.h"
#include "support/message_box_answer.h"
#include "support/started_launcher.h"
#include "support/tray_probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tolvern {
namespace {

using namespace test;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(l, t, r, b, actual) EXPECT_TRUE(SameRect(RECT{l, t, r, b}, actual))
#define EXPECT_POINT(x_, y_, actual)                                                               \
    do {                                                                                           \
        const POINT p_ = (actual);                                                                 \
        EXPECT_EQ(x_, p_.x);                                                                       \
        EXPECT_EQ(y_, p_.y);                                                                       \
    } while (0)

// 9 items and 3 separators, with hidden items of both kinds that must not count.
void FillTypicalMenu(TMenuItem& root) {
    const wchar_t* captions[] = {L"a", L"-", L"b", L"c", L"d", L"e",
                                 L"f", L"g", L"-", L"h", L"-", L"i"};
    for (const wchar_t* caption : captions)
        root.Add(std::make_unique<TMenuItem>(caption));
    root.Add(std::make_unique<TMenuItem>(L"hidden"))->Visible = false;
    root.Add(std::make_unique<TMenuItem>(L"-"))->Visible = false;
    root.Items(2)->Add(std::make_unique<TMenuItem>(L"submenu items do not count"));
}

TEST(PopupPlacement, WorkAreaOnEverySideOfTheScreen) {
    EXPECT_RECT(0, 0, 1024, 738, WorkAreaFromTaskbar(RECT{0, 738, 1024, 768}, 1024, 768));
    EXPECT_RECT(60, 0, 1024, 768, WorkAreaFromTaskbar(RECT{0, 0, 60, 768}, 1024, 768));
    EXPECT_RECT(0, 30, 1024, 768, WorkAreaFromTaskbar(RECT{0, 0, 1024, 30}, 1024, 768));
    EXPECT_RECT(0, 0, 964, 768, WorkAreaFromTaskbar(RECT{964, 0, 1024, 768}, 1024, 768));
    EXPECT_RECT(0, 0, 1024, 768, WorkAreaFromTaskbar(std::nullopt, 1024, 768));
    // The Wine desktop of the tests: a taskbar of 20 pixels at the bottom.
    EXPECT_RECT(0, 0, 1024, 748, GetWorkAreaRect());
}

TEST(PopupPlacement, HeightAndEveryCorner) {
    TBarPopupMenu menu;
    FillTypicalMenu(menu.Items);
    EXPECT_EQ(201, GetPopupHeight(menu, 96));
    // At 150%: items of 29 pixels (50 with large icons), separators of 12 and a frame of 9.
    EXPECT_EQ(306, GetPopupHeight(menu, 144));
    menu.IconSize = 32;
    EXPECT_EQ(327, GetPopupHeight(menu, 96));
    EXPECT_EQ(495, GetPopupHeight(menu, 144));

    const RECT bottomBar{0, 0, 1024, 738};
    TCornerPlacement p = PlaceAtCorner(TPopupCorner::RightBottom, bottomBar, 201, 28);
    EXPECT_POINT(1024, 537, p.popupPoint);
    EXPECT_POINT(960, 553, p.cursorTarget);
    EXPECT_EQ(unsigned(maRightToLeft | maBottomToTop), p.animation);

    const RECT leftBar{60, 0, 1024, 768};
    p = PlaceAtCorner(TPopupCorner::LeftTop, leftBar, 201, 28);
    EXPECT_POINT(60, 0, p.popupPoint);
    EXPECT_POINT(104, 16, p.cursorTarget);
    EXPECT_EQ(unsigned(maLeftToRight | maTopToBottom), p.animation);

    p = PlaceAtCorner(TPopupCorner::LeftBottom, leftBar, 201, 31);
    EXPECT_POINT(60, 567, p.popupPoint);
    EXPECT_POINT(107, 583, p.cursorTarget);
    EXPECT_EQ(unsigned(maLeftToRight | maBottomToTop), p.animation);

    p = PlaceAtCorner(TPopupCorner::RightTop, RECT{0, 30, 1024, 768}, 201, 28);
    EXPECT_POINT(1024, 30, p.popupPoint);
    EXPECT_POINT(960, 46, p.cursorTarget);
    EXPECT_EQ(unsigned(maRightToLeft | maTopToBottom), p.animation);

    EXPECT_EQ(TPopupCorner::LeftTop, PopupCornerFromName(L"LeftTop"));
    EXPECT_EQ(TPopupCorner::LeftBottom, PopupCornerFromName(L"LeftBottom"));
    EXPECT_EQ(TPopupCorner::RightTop, PopupCornerFromName(L"RightTop"));
    EXPECT_EQ(TPopupCorner::RightBottom, PopupCornerFromName(L"RightBottom"));
    EXPECT_EQ(TPopupCorner::RightBottom, PopupCornerFromName(L"lefttop"));
}

TEST(Foreground, TheWalkDownTheZOrderStopsAtTheEndOfTheList) {
    ForeignWindow window;
    int visited = 0;
    EXPECT_EQ(nullptr, FindWindowBelow(window.Handle(), [&](HWND) {
                  ++visited;
                  return false;
              }));
    EXPECT_GT(visited, 0);
    EXPECT_EQ(nullptr, FindWindowBelow(nullptr, [](HWND) { return true; }));
    HWND below = ::GetWindow(window.Handle(), GW_HWNDNEXT);
    EXPECT_EQ(below, FindWindowBelow(window.Handle(), [](HWND) { return true; }));
}

TEST(Foreground, ActivateWindowGivesAnotherThreadsWindowTheForeground) {
    ScratchKey key;
    StartedLauncher launcher(key);
    ForeignWindow window;
    launcher.form2.Show();
    ::SetForegroundWindow(launcher.form2.Handle());
    ASSERT_EQ(launcher.form2.Handle(), ::GetForegroundWindow());
    ActivateWindow(window.Handle());
    EXPECT_TRUE(ForegroundBecomes(window.Handle()));
    // A foreign window in front is the one the hot key gives the foreground back to.
    EXPECT_EQ(window.Handle(), launcher.form2.mGetNextWindow());
    // Our own windows never count as the window to go back to.
    for (HWND own : {launcher.form1.Handle(), launcher.form2.Handle(), launcher.app.Handle(),
                     launcher.form2.PopupMenu2.WindowHandle()})
        EXPECT_TRUE(launcher.form2.IsOwnWindow(own));
    EXPECT_FALSE(launcher.form2.IsOwnWindow(window.Handle()));
    launcher.form2.Hide();
}

// Only a window the user sees and works in gets the foreground back after a popup.
TEST(Foreground, TheWindowToGoBackToIsOneTheUserSeesAndWorksIn) {
    WindowFacts plain;
    plain.visible = true;
    plain.className = L"Notepad";
    auto with = [&](auto change) {
        WindowFacts facts = plain;
        change(facts);
        return facts;
    };
    const std::vector<std::pair<WindowFacts, bool>> table = {
        {plain, true},
        {with([](WindowFacts& f) { f.own = true; }), false},
        {with([](WindowFacts& f) { f.visible = false; }), false},
        {with([](WindowFacts& f) { f.minimized = true; }), false},
        {with([](WindowFacts& f) { f.cloaked = true; }), false},
        {with([](WindowFacts& f) { f.empty = true; }), false},
        {with([](WindowFacts& f) { f.toolWindow = true; }), false},
        {with([](WindowFacts& f) { f.owned = true; }), false},
        {with([](WindowFacts& f) { f.owned = f.appWindow = true; }), true},
        {with([](WindowFacts& f) { f.toolWindow = f.appWindow = true; }), true},
        {with([](WindowFacts& f) { f.className = L"Shell_TrayWnd"; }), false},
        {with([](WindowFacts& f) { f.className = L"Shell_SecondaryTrayWnd"; }), false},
        {with([](WindowFacts& f) { f.className = L"Progman"; }), true},
    };
    std::vector<bool> expected, actual;
    for (const auto& [facts, goBack] : table) {
        expected.push_back(goBack);
        actual.push_back(IsWindowToGoBackTo(facts));
    }
    EXPECT_EQ(expected, actual);

    // The facts of real windows: from the dialog in front, the hot key's walk passes over a
    // tool window and an empty one to the user's window below them.
    ScratchKey key;
    StartedLauncher launcher(key);
    ForeignWindow user(WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"user");
    const WindowFacts userFacts = FactsOfWindow(user.Handle(), false);
    EXPECT_TRUE(userFacts.visible && !userFacts.toolWindow && !userFacts.owned &&
                !userFacts.empty && !userFacts.minimized && !userFacts.cloaked);
    EXPECT_EQ(L"Static", userFacts.className);
    ForeignWindow empty(WS_POPUP | WS_VISIBLE, L"empty");
    ::SetWindowPos(empty.Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ForeignWindow tool(WS_POPUP | WS_VISIBLE, L"tool", WS_EX_TOOLWINDOW);
    EXPECT_TRUE(FactsOfWindow(empty.Handle(), false).empty);
    EXPECT_TRUE(FactsOfWindow(tool.Handle(), false).toolWindow);
    EXPECT_TRUE(FactsOfWindow(launcher.form2.Handle(), true).own);
    launcher.form2.Show();
    ::SetForegroundWindow(launcher.form2.Handle());
    ASSERT_EQ(launcher.form2.Handle(), ::GetForegroundWindow());
    EXPECT_EQ(user.Handle(), launcher.form2.mGetNextWindow());
    launcher.form2.Hide();
}

// A press on the tray icon while the settings dialog is open opens no menu and leaves the dialog
// in front, whether it was in front or another program's window was.
TEST(Foreground, APressOnTheIconWhileTheDialogIsOpenLeavesTheDialogInFront) {
    ScratchKey key;
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    ForeignWindow other;
    form2.Show();
    ::SetForegroundWindow(form2.Handle());
    ASSERT_EQ(form2.Handle(), ::GetForegroundWindow());
    auto press = [&](UINT message) {
        ::SendMessageW(launcher.form1.TaskTrayIcon1->Handle(), TrayCallbackMessage, 1, message);
    };
    for (UINT message : {WM_RBUTTONDOWN, WM_LBUTTONDOWN}) {
        press(message);
        EXPECT_EQ(form2.Handle(), ::GetForegroundWindow()) << message;
        ActivateWindow(other.Handle());
        ASSERT_TRUE(ForegroundBecomes(other.Handle()));
        press(message);
        EXPECT_TRUE(ForegroundBecomes(form2.Handle())) << message;
    }
    form2.Hide();
}

// Pops up the launcher menu of the form as a tray click would, and has `inside` run on another
// thread with the menu's window while it is open (it must close the menu).
void PopupAndDrive(TForm2& form2, HWND front, const std::function<void(HWND)>& inside) {
    std::thread driver([&] {
        HWND menu = WaitForMenuWindow();
        if (menu)
            inside(menu);
        CloseAllMenus();
    });
    form2.PopupLauncherMenu({300, 300}, front, std::nullopt);
    driver.join();
}

void CloseAtOnce(HWND menu) {
    Key(menu, VK_ESCAPE);
}

// Registers copies of the desktop's list until the pool holds `count` entries.
void FillPool(TForm2& form2, int count) {
    TMenuItem scratch;
    while (form2.ItemIdPool.Count() < count)
        form2.Shell.SavePIDLToTag(scratch,
                                  CopyPIDL(*form2.ShellMalloc.Get(), form2.Menu.DesktopPIDL));
}

struct TopLevelItem {
    std::wstring caption;
    bool visible;
    bool operator==(const TopLevelItem&) const = default;
};

std::vector<TopLevelItem> TopLevel(const TForm2& form2) {
    std::vector<TopLevelItem> items;
    const TMenuItem& root = form2.Menu.PopupMenu2.Items;
    for (int i = 0; i < root.Count(); ++i)
        items.push_back({root.Items(i)->Caption, root.Items(i)->Visible});
    return items;
}

// The icon's pixels, to tell the tray's two state icons apart.
std::vector<BYTE> IconBits(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    std::vector<BYTE> bits(static_cast<size_t>(bitmap.bmWidthBytes) * bitmap.bmHeight);
    ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bits;
}

TEST(Restart, APopupThatLeavesMoreThan2000ListsRebuildsTheLauncherInPlace) {
    ScratchKey key;
    wchar_t windows[MAX_PATH];
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring dir = windows;
    StoreEntries(key, {{L"メモ帳", dir + L"\\notepad.exe"}, {L"A&B", dir}, {L"Win", dir + L"\\"}});
    key.SetString(kSettingSection, L"ViewRecentMenu", L"0");
    key.SetString(kSettingSection, L"ViewHistoryMenu", L"0");
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    const int topLevelLists = form2.ItemIdPool.Count();
    const std::vector<TopLevelItem> before = TopLevel(form2);
    const int images = form2.Menu.ImageList_small.Count();
    // The test program has no icon resources: give the two states icons that differ.
    launcher.form1.imgON.reset(::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));
    launcher.form1.imgOFF.reset(::CopyIcon(::LoadIconW(nullptr, IDI_ERROR)));
    const std::vector<BYTE> onBits = IconBits(launcher.form1.imgON.get());
    ASSERT_FALSE(onBits.empty());
    ASSERT_NE(onBits, IconBits(launcher.form1.imgOFF.get()));
    // A change made since the last save: the restart must save it first and load it again.
    form2.SetMenuBannerWidth(40);
    const LauncherSettings options = form2.Settings();

    // Exactly at the limit of 2,000 lists nothing happens (the number is the users', written out).
    FillPool(form2, 2000);
    PopupAndDrive(form2, launcher.form1.Handle(), CloseAtOnce);
    EXPECT_EQ(2000, form2.ItemIdPool.Count());
    EXPECT_EQ(DWORD(REG_NONE), key.ValueType(kSettingSection, L"MenuBannerWidth"));

    // During the rebuild the tray shows the other icon and clicks are ignored.
    bool readyDuringRestart = true;
    std::vector<BYTE> iconDuringRestart;
    auto location = form2.Menu.SpecialFolderLocation;
    form2.Menu.SpecialFolderLocation = [&](int csidl, PIDLIST_ABSOLUTE* pidl) {
        readyDuringRestart = form2.LauncherReady;
        iconDuringRestart = IconBits(launcher.form1.TaskTrayIcon1->Icon());
        return location(csidl, pidl);
    };
    FillPool(form2, 2001);
    PopupAndDrive(form2, launcher.form1.Handle(), CloseAtOnce);
    EXPECT_FALSE(readyDuringRestart);
    EXPECT_EQ(IconBits(launcher.form1.imgOFF.get()), iconDuringRestart);
    EXPECT_TRUE(form2.LauncherReady);
    EXPECT_EQ(onBits, IconBits(launcher.form1.TaskTrayIcon1->Icon()));
    EXPECT_EQ(L"40", key.GetString(kSettingSection, L"MenuBannerWidth"));
    EXPECT_EQ(topLevelLists, form2.ItemIdPool.Count());
    EXPECT_EQ(topLevelLists, form2.IconHandlePool.Count());
    EXPECT_EQ(before, TopLevel(form2));
    EXPECT_EQ(options, form2.Settings());
    EXPECT_EQ(40, form2.PopupMenu2.BarWidth);
    // The images were made anew, in step, without growing the lists.
    const TLauncherMenu& menu = form2.Menu;
    EXPECT_EQ(menu.ImageList_small.Count(), menu.ImageList_Large.Count());
    EXPECT_EQ(images, menu.ImageList_small.Count());
}

TEST(Popup, ARequestMadeWhileTheLauncherIsBuiltOpensTheMenuOnceWhenItIsReady) {
    ScratchKey key;
    Application app;
    TForm1 form1(app);
    // Right clicks on the tray icon before the settings form is ready: the last one is kept,
    // a left click is not a request.
    form1.TaskTrayIcon1MouseDown(nullptr, TMouseButton::mbRight, ssRight, 100, 100);
    form1.TaskTrayIcon1MouseDown(nullptr, TMouseButton::mbRight, ssRight, 300, 200);
    form1.TaskTrayIcon1MouseDown(nullptr, TMouseButton::mbLeft, ssLeft, 500, 500);

    // Counts the menus that open and where, closing each.
    std::vector<POINT> opened;
    auto countMenus = [&](DWORD forMs) {
        std::atomic<bool> done{false};
        std::thread driver([&] {
            const DWORD start = ::GetTickCount();
            while (::GetTickCount() - start < forMs) {
                if (HWND menu = ::FindWindowW(L"#32768", nullptr);
                    menu && ::IsWindowVisible(menu)) {
                    RECT rect{};
                    ::GetWindowRect(menu, &rect);
                    opened.push_back({rect.left, rect.top});
                    CloseAllMenus();
                }
                ::Sleep(20);
            }
            done = true;
        });
        PumpUntil([&] { return done.load(); }, forMs + 5000);
        driver.join();
    };
    TForm2 form2(app, form1, key.Path(), key.StartupFolder());
    ASSERT_TRUE(form2.LauncherReady);
    countMenus(1500);
    ASSERT_EQ(1u, opened.size()) << "the click made while starting must open the menu once";
    EXPECT_EQ(300, opened[0].x);
    EXPECT_EQ(200, opened[0].y);

    // The hot key during a rebuild: the menu opens at the corner once the launcher is ready.
    form2.SetLauncherReady(false);
    form2.WMHotKey();
    countMenus(500);
    EXPECT_EQ(1u, opened.size()) << "nothing opens while the launcher is not ready";
    form2.SetLauncherReady(true);
    countMenus(1500);
    ASSERT_EQ(2u, opened.size());
    const TCornerPlacement corner = form2.PlaceAtChosenCorner();
    EXPECT_EQ(corner.popupPoint.y, opened[1].y);
}

TEST(MsgBox, TopmostWithTheTitleAndTheForegroundGivenBackOnlyWhileTheDialogIsHidden) {
    ScratchKey key;
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    ForeignWindow previous;
    form2.PreviousForegroundWindow = previous.Handle();

    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDNO, seen);
    EXPECT_EQ(IDNO, form2.MsgBox(ConfirmDeleteMessage()));
    answer.join();
    EXPECT_EQ(L"Tolvern Launcher", seen.caption);
    EXPECT_EQ(L"[マイメニュー] 項目を削除してもよろしいですか?", seen.text);
    EXPECT_TRUE(seen.topmost);
    EXPECT_TRUE(ForegroundBecomes(previous.Handle()));

    form2.Show();
    answer = AnswerMessageBox(IDOK, seen);
    EXPECT_EQ(IDOK, form2.MsgBox(CannotOpenMessage(L"C:\\gone.exe")));
    answer.join();
    EXPECT_EQ(L"'C:\\gone.exe' を開けません。ファイルがあるかどうか確認してください。", seen.text);
    EXPECT_TRUE(ForegroundBecomes(form2.Handle()));
    form2.Hide();
}

TEST(PopupLeaks, TwoHundredPopupsWithFolderReadsAndFiveRestartsHoldNoMoreObjects) {
    ScratchKey key;
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    auto openDesktopSubmenu = [](HWND menu) {
        Key(menu, 'T'); // "デスクトップ(&T)" reads the desktop folder
        WaitForMenuWindow({menu});
    };
    auto round = [&](int popups) {
        for (int i = 0; i < popups; ++i)
            PopupAndDrive(form2, launcher.form1.Handle(), openDesktopSubmenu);
        FillPool(form2, 2001);
        PopupAndDrive(form2, launcher.form1.Handle(), CloseAtOnce);
        ASSERT_LT(form2.ItemIdPool.Count(), 100);
    };
    round(5); // the shell and the system fill their caches once
    const int gdiBefore = GdiObjectCount();
    const int userBefore = UserObjectCount();
    for (int restart = 0; restart < 5; ++restart)
        round(40);
    std::printf("GDI objects %d before, %d after; USER objects %d before, %d after\n", gdiBefore,
                GdiObjectCount(), userBefore, UserObjectCount());
    EXPECT_GT(gdiBefore, 0) << "no way to count GDI objects here";
    EXPECT_LE(GdiObjectCount(), gdiBefore + 10);
    EXPECT_LE(UserObjectCount(), userBefore + 10);
}

} // namespace
} // namespace tolvern
