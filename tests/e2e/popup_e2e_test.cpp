// The real launcher popped up as a user pops it up: right click on the tray icon, the hot key,
// Esc and clicks elsewhere to close it, and the foreground before and after.
#include "app/task_tray_icon.h"
#include "framework/window.h"
#include "settings/launcher_settings.h"
#include "settings/settings_dialog_ids.h"
#include "support/running_launcher.h"
#include "support/screen_capture.h"
#include "support/tray_probe.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace tolvern {
namespace {

using namespace test;

using PopupEndToEnd = LauncherEndToEndTest;

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void PressHotKey() {
    PressChord({VK_CONTROL, VK_MENU, 'L'});
}

// A window of the test's own that the user was working in.
struct WorkWindow {
    WorkWindow() {
        window = ::CreateWindowExW(0, L"STATIC", L"work", WS_POPUP | WS_VISIBLE | WS_BORDER, 100,
                                   100, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(window);
        PumpUntil([&] { return ::GetForegroundWindow() == window; }, 2000);
    }
    ~WorkWindow() { ::DestroyWindow(window); }
    bool InFront() const {
        return PumpUntil([&] { return ::GetForegroundWindow() == window; }, 3000);
    }
    HWND window;
};

// The menu's frame differs from the estimate by a few pixels under Wine.
constexpr int kSlack = 6;

TEST_F(PopupEndToEnd, RightClickAndHotKeyOpenTheMenuThatEscAndClicksElsewhereClose) {
    RunningLauncher launcher;
    WorkWindow work;
    ASSERT_EQ(work.window, ::GetForegroundWindow());

    // A right click opens the menu; Esc closes it and the work window is in front again.
    ClickAt(launcher.IconCentre(), true);
    HWND menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu) << "a right click on the icon opened no menu";
    PumpUntil([] { return false; }, 300);
    SaveArtifact(CaptureScreen(), L"e2e-popup-tray-click");
    PressChord({VK_ESCAPE});
    ASSERT_TRUE(launcher.WaitForMenuClosed()) << "Esc did not close the menu";
    EXPECT_TRUE(work.InFront()) << "the foreground did not go back to the work window";

    // The menu opens at the cursor: next to the icon it is pushed into the screen, so the
    // icon's press is given here with the cursor in the middle of the screen.
    HWND notifyWindow = launcher.process.FindWindowOfClass(L"TTaskTrayIconWindow");
    ASSERT_NE(nullptr, notifyWindow);
    MoveMouseTo({400, 300});
    PumpUntil([] { return false; }, 300);
    ::PostMessageW(notifyWindow, TrayCallbackMessage, 1, WM_RBUTTONDOWN);
    menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu);
    const RECT atCursor = WindowRect(menu);
    EXPECT_EQ(400, atCursor.left);
    EXPECT_EQ(300, atCursor.top);
    PressChord({VK_ESCAPE});
    ASSERT_TRUE(launcher.WaitForMenuClosed());

    // It opens again on the next right press; a click elsewhere closes it.
    ClickAt(launcher.IconCentre(), true);
    menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu) << "the second right click opened no menu";
    ClickAt({500, 300}, false);
    EXPECT_TRUE(launcher.WaitForMenuClosed()) << "a click elsewhere did not close the menu";
    EXPECT_TRUE(work.InFront());

    // A left click opens nothing.
    ClickAt(launcher.IconCentre(), false);
    EXPECT_EQ(nullptr, launcher.WaitForMenu(1500));

    // The hot key opens it at the corner, whatever the click option says.
    ::SetForegroundWindow(work.window);
    PressHotKey();
    menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu) << "Ctrl+Alt+L opened no menu";
    const RECT corner = WindowRect(menu);
    EXPECT_NEAR(1024, corner.right, kSlack);
    EXPECT_NEAR(748, corner.bottom, kSlack);
    PumpUntil([] { return false; }, 300);
    SaveArtifact(CaptureScreen(), L"e2e-popup-hot-key");
    PressChord({VK_ESCAPE});
    ASSERT_TRUE(launcher.WaitForMenuClosed());
    EXPECT_TRUE(work.InFront());

    // While the settings form shows, neither the icon nor the hot key opens the menu.
    HWND settings = launcher.process.FindWindowOfClass(L"TForm2");
    ASSERT_NE(nullptr, settings);
    ::ShowWindow(settings, SW_SHOWNA);
    ClickAt(launcher.IconCentre(), true);
    EXPECT_EQ(nullptr, launcher.WaitForMenu(1500));
    PressHotKey();
    EXPECT_EQ(nullptr, launcher.WaitForMenu(1500));
    ::ShowWindow(settings, SW_HIDE);
    // The hidden form held the foreground. A key pressed before Wine has handed it on to the
    // user's window often reaches nobody: no menu was even tracked. A person presses the key
    // with a window in front. (On a heavily loaded machine a press still goes unanswered now
    // and then: a fault not yet found, which the code before the DPI work shows too.)
    EXPECT_TRUE(work.InFront());
    PressHotKey();
    EXPECT_NE(nullptr, launcher.WaitForMenu()) << "the hot key did not work again";
    PressChord({VK_ESCAPE});
    EXPECT_TRUE(launcher.WaitForMenuClosed());
}

TEST_F(PopupEndToEnd, WithCornerPlacementForClicksTheMenuOpensAtTheCornerAndTheCursorFollows) {
    SetSetting(kSettingSection, L"PopupOnSelPos", L"1");
    SetSetting(kSettingSection, L"MoveCursor", L"1");
    RunningLauncher launcher;
    ClickAt(launcher.IconCentre(), true);
    HWND menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu);
    const RECT rect = WindowRect(menu);
    EXPECT_NEAR(1024, rect.right, kSlack);
    EXPECT_NEAR(748, rect.bottom, kSlack);
    // The cursor goes to 64 pixels left of the corner and 16 below the menu's top (Wine moves
    // it a moment later).
    PumpUntil([] { return CursorPos().x == 960; }, 3000);
    const POINT cursor = CursorPos();
    EXPECT_EQ(960, cursor.x);
    EXPECT_NEAR(rect.top + 16, cursor.y, 1);
    SaveArtifact(CaptureScreen(), L"e2e-popup-corner");
    PressChord({VK_ESCAPE});
    EXPECT_TRUE(launcher.WaitForMenuClosed());
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (WindowClassName(hwnd) != s->name)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HotKeyHeldElsewhere() {
    if (!::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L'))
        return true;
    ::UnregisterHotKey(nullptr, 1);
    return false;
}

TEST_F(PopupEndToEnd, SettingsFromTheMenuShowTheDialogWhereADroppedEntryJoinsTheMenu) {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring file = std::wstring(windows) + L"\\notepad.exe";

    // The test build takes files dropped by another process (see its drop hook). It throws on
    // a mouse move over the icon, so the icon's right press is posted with the mouse elsewhere.
    RunningLauncher launcher(L"TolvernLauncherTestHooks.exe");
    MoveMouseTo({400, 300});
    HWND notifyWindow = launcher.process.FindWindowOfClass(L"TTaskTrayIconWindow");
    ASSERT_NE(nullptr, notifyWindow);
    ASSERT_TRUE(HotKeyHeldElsewhere());
    ::PostMessageW(notifyWindow, TrayCallbackMessage, 1, WM_RBUTTONDOWN);
    ASSERT_NE(nullptr, launcher.WaitForMenu());
    PressChord({'S'}); // "設定(&S)"
    PumpUntil([] { return false; }, 300);
    PressChord({'S'}); // "設定(&S)..."
    HWND dialog = launcher.process.FindWindowOfClass(L"TForm2");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000))
        << "the settings item showed no dialog";
    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, 64);
    EXPECT_EQ(std::wstring(kApplicationTitle), title);

    // No hot key while the dialog is open.
    EXPECT_FALSE(HotKeyHeldElsewhere());
    PressHotKey();
    EXPECT_EQ(nullptr, launcher.WaitForMenu(1500));

    HWND list = ChildOfClass(dialog, L"SysListView32");
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    HWND dropper = ::FindWindowW(L"TolvernTestDrop", nullptr);
    ASSERT_NE(nullptr, dropper);
    const std::wstring paths = file + L'\0';
    COPYDATASTRUCT data{0, static_cast<DWORD>(paths.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(paths.c_str())};
    ::SendMessageW(dropper, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000));
    EXPECT_EQ(L"notepad.exe", GetSetting(kMyMenuSection, L"Caption0")) << "saved after the drop";
    EXPECT_EQ(file, GetSetting(kMyMenuSection, L"Path0"));
    PumpUntil([] { return false; }, 300);
    SaveArtifact(CaptureScreen(), L"e2e-settings-dialog");

    ResetSettings();
    // The pointer is brought there first: a press right after a long move may land where the
    // pointer was before.
    const POINT close = WindowCentre(::GetDlgItem(dialog, IDC_CMDCLOSE));
    MoveMouseTo(close);
    PumpUntil([] { return false; }, 300);
    ClickAt(close, false); // "閉じる(&C)"
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dialog); }, 5000));
    // The save follows the hide: it is not there yet the moment the dialog disappears.
    EXPECT_TRUE(PumpUntil([] { return GetSetting(kSettingSection, L"MenuCount") == L"1"; }, 2000))
        << "not saved when closed";
    EXPECT_EQ(file, GetSetting(kMyMenuSection, L"Path0"));
    EXPECT_TRUE(HotKeyHeldElsewhere());

    // The hot key works again, and the entry is the last before the settings submenu.
    PressHotKey();
    ASSERT_NE(nullptr, launcher.WaitForMenu()) << "the hot key did not work after closing";
    for (int i = 0; i < 3; ++i) // Windows の終了, 設定, then the entry
        PressChord({VK_UP});
    PumpUntil([] { return false; }, 300);
    SaveArtifact(CaptureScreen(), L"e2e-settings-dropped-entry");
    PressChord({VK_RETURN});
    HWND notepad = nullptr;
    EXPECT_TRUE(
        PumpUntil([&] { return (notepad = ::FindWindowW(L"Notepad", nullptr)) != nullptr; }, 10000))
        << "choosing the dropped entry opened nothing";
    if (notepad)
        ::PostMessageW(notepad, WM_CLOSE, 0, 0);
}

TEST_F(PopupEndToEnd, OptionsSetInTheDialogActAtTheNextPopupWithTheNewHotKey) {
    RunningLauncher launcher;
    PressHotKey();
    HWND menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu);
    const RECT before = WindowRect(menu);
    PressChord({VK_ESCAPE});
    ASSERT_TRUE(launcher.WaitForMenuClosed());

    HWND dialog = launcher.OpenSettingsDialog();
    ASSERT_NE(nullptr, dialog);
    HWND general = ::FindWindowExW(dialog, nullptr, L"#32770", L"全般");
    HWND startup = ::FindWindowExW(dialog, nullptr, L"#32770", L"起動");
    ASSERT_TRUE(general && startup);
    // The Desktop submenu hidden on "全般"; on "起動" a plain M typed into the hot-key field.
    // The field takes the key message itself, whichever window has the focus.
    ::SendMessageW(::GetDlgItem(general, IDC_CHKVIEWDESKTOP), BM_CLICK, 0, 0);
    HWND field = ::GetDlgItem(startup, IDC_HOTKEY1);
    ::PostMessageW(field, WM_KEYDOWN, 'M', 0x00320001);
    ::PostMessageW(field, WM_KEYUP, 'M', 0xC0320001);
    ASSERT_TRUE(PumpUntil(
        [&] {
            return ::SendMessageW(field, HKM_GETHOTKEY, 0, 0) ==
                   MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT);
        },
        3000));
    ::PostMessageW(::GetDlgItem(dialog, IDC_CMDCLOSE), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dialog); }, 5000));
    // The hide registers the hot key and saves just after the window goes.
    PumpUntil([] { return GetSetting(kSettingSection, L"HotKey") != L"<missing>"; }, 3000);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(L"Ctrl+Alt+M", GetSetting(kSettingSection, L"HotKey"));
    EXPECT_EQ(L"0", GetSetting(kSettingSection, L"ViewDesktopMenu"));

    // The new hot key opens the menu, one item shorter; the old one does nothing.
    PressChord({VK_CONTROL, VK_MENU, 'M'});
    menu = launcher.WaitForMenu();
    ASSERT_NE(nullptr, menu) << "the new hot key opened no menu";
    const RECT after = WindowRect(menu);
    EXPECT_EQ(before.bottom - before.top - 19, after.bottom - after.top);
    SaveArtifact(CaptureScreen(), L"e2e-menu-without-desktop");
    PressChord({VK_ESCAPE});
    ASSERT_TRUE(launcher.WaitForMenuClosed());
    PressHotKey();
    EXPECT_EQ(nullptr, launcher.WaitForMenu(1500));
}

} // namespace
} // namespace tolvern
