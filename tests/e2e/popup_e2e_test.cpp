// The real launcher popped up as a user pops it up: right click on the tray icon, the hot key,
// Esc and clicks elsewhere to close it, and the foreground before and after.
#include "app/task_tray_icon.h"
#include "settings/launcher_settings.h"
#include "support/running_launcher.h"
#include "support/screen_capture.h"
#include "support/tray_probe.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tolvern
