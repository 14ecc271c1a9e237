// The whole launcher menu of a started settings form popped up for real in the Wine desktop,
// both styles, with large icons on and off and the Desktop submenu open; screenshots are kept
// in the artifacts folder (launcher_menu_*.png) for a person to look at.
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "support/menu_driver.h"
#include "support/scratch_key.h"
#include "support/screen_capture.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <thread>

namespace tolvern {
namespace {

using namespace test;

struct Seen {
    RECT topLevel{};
    int topItems = 0;
    RECT submenu{};
    int submenuItems = 0;
};

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

class LauncherMenuOnScreen : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // Something on the desktop for its submenu to show.
        const std::wstring desktop = DesktopDirectory();
        ::CreateDirectoryW((desktop + L"\\プロジェクト").c_str(), nullptr);
        std::ofstream((desktop + L"\\start.bat").c_str()) << "@echo off";
        std::ofstream((desktop + L"\\build.bat").c_str()) << "@echo off";
    }

    Seen PopUp(int style, bool large, const std::wstring& name) {
        ScratchKey key;
        key.SetString(kSettingSection, L"MenuDrawStyle", std::to_wstring(style));
        key.SetString(kSettingSection, L"LargeIcon", large ? L"1" : L"0");
        key.SetString(kSettingSection, L"MenuCount", L"1");
        key.SetString(kMyMenuSection, L"Caption0", L"メモ帳 & エディタ");
        key.SetString(kMyMenuSection, L"Path0", L"C:\\windows\\notepad.exe");
        Application app;
        TForm1 form1(app);
        TForm2 form2(app, form1, key.Path(), key.StartupFolder());
        Seen seen;
        std::thread driver([&] {
            HWND menu = WaitForMenuWindow();
            if (!menu)
                return;
            ::Sleep(400);
            ::GetWindowRect(menu, &seen.topLevel);
            seen.topItems = ::GetMenuItemCount(
                reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0)));
            SaveArtifact(CaptureScreen(&seen.topLevel), name + L"_top");
            Key(menu, VK_DOWN); // the first item
            Key(menu, VK_DOWN); // over the separator to the Desktop submenu
            Key(menu, VK_RIGHT);
            if (HWND sub = WaitForMenuWindow({menu})) {
                ::Sleep(400);
                ::GetWindowRect(sub, &seen.submenu);
                seen.submenuItems = ::GetMenuItemCount(
                    reinterpret_cast<HMENU>(::SendMessageW(sub, MN_GETHMENU, 0, 0)));
                SaveArtifact(CaptureScreen(), name + L"_desktop_submenu");
            }
            CloseAllMenus();
        });
        ::SetForegroundWindow(form2.PopupMenu2.WindowHandle());
        form2.PopupMenu2.Popup(100, 60);
        driver.join();
        return seen;
    }
};

int Height(const RECT& r) {
    return r.bottom - r.top;
}

TEST_F(LauncherMenuOnScreen, BothStylesWithSmallAndLargeIcons) {
    const Seen windows = PopUp(0, false, L"launcher_menu_windows");
    const Seen office = PopUp(1, false, L"launcher_menu_office97");
    const Seen large = PopUp(0, true, L"launcher_menu_windows_large");
    const Seen officeLarge = PopUp(1, true, L"launcher_menu_office97_large");
    for (const Seen* seen : {&windows, &office, &large, &officeLarge}) {
        // Show desktop, separator, six folders, separator, the entry, separator, Settings,
        // separator, Exit Windows ("(なし)" is hidden by the entry).
        EXPECT_EQ(14, seen->topItems);
        // The Desktop submenu: open item, separator, the desktop's contents.
        EXPECT_GE(seen->submenuItems, 5);
        EXPECT_GT(seen->submenu.left, seen->topLevel.left);
    }
    // Four separators of 8 pixels either way, and ten items of 19 or 33 pixels.
    EXPECT_EQ(14 * 10, Height(large.topLevel) - Height(windows.topLevel));
    EXPECT_EQ(Height(windows.topLevel), Height(office.topLevel));
    EXPECT_EQ(Height(windows.submenu), Height(large.submenu)) << "submenus keep small icons";
}

} // namespace
} // namespace tolvern
