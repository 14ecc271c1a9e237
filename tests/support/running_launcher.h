// The real launcher running for an end-to-end test, with its tray icon found, and the ways a
// user opens and closes its menu.
#pragma once

#include "settings/launcher_settings.h"
#include "support/launcher_process.h"
#include "support/tray_probe.h"
#include "support/user_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvern::test {

inline constexpr DWORD kLauncherStartTimeout = 20000;

class RunningLauncher {
public:
    // A program of the build folder, by its file name.
    explicit RunningLauncher(const std::wstring& program = L"TolvernLauncher.exe")
        : RunningLauncher(ProgramPath{BuiltProgram(program)}) {}
    // A program anywhere.
    struct ProgramPath {
        std::wstring path;
    };
    explicit RunningLauncher(const ProgramPath& program) : process(program.path) {
        EXPECT_TRUE(WaitForTrayTip(kApplicationTitle, kLauncherStartTimeout, &icon));
        EXPECT_EQ(0u, ::WaitForInputIdle(process.Handle(), 10000));
    }
    // Closes the program as its exit command does, unless it has ended already.
    ~RunningLauncher() {
        if (process.IsRunning()) {
            EXPECT_EQ(0u, process.CloseAndWait(10000));
        }
        EXPECT_TRUE(WaitForTrayTipGone(kApplicationTitle, 10000));
    }
    POINT IconCentre() const {
        return {(icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2};
    }
    // The menu window once it shows, null when none shows within the time.
    HWND WaitForMenu(DWORD timeoutMs = 5000) const {
        HWND menu = nullptr;
        PumpUntil([&] { return (menu = process.OpenMenuWindow()) != nullptr; }, timeoutMs);
        return menu;
    }
    bool WaitForMenuClosed() const {
        return PumpUntil([&] { return process.OpenMenuWindow() == nullptr; }, 5000);
    }
    // A right click on the tray icon, then the keys one after another; false when no menu
    // opened. Two clicks in a row are kept apart, or the taskbar reports a double click.
    bool ChooseWithKeys(const std::vector<WORD>& keys) const {
        PumpUntil([] { return false; }, ::GetDoubleClickTime() + 100);
        ClickAt(IconCentre(), true);
        if (!WaitForMenu())
            return false;
        for (WORD key : keys) {
            PressChord({key});
            PumpUntil([] { return false; }, 60);
        }
        return true;
    }
    // The settings dialog opened from the menu ("設定(&S)", then its "設定(&S)..."), once it
    // shows in front; null when it does not.
    HWND OpenSettingsDialog() const {
        if (!ChooseWithKeys({'S'}))
            return nullptr;
        PumpUntil([] { return false; }, 300);
        PressChord({'S'});
        HWND dialog = process.FindWindowOfClass(L"TForm2");
        if (!dialog || !PumpUntil([&] { return ::GetForegroundWindow() == dialog; }, 5000))
            return nullptr;
        return dialog;
    }
    // The next message box of the program: its text, or empty when none showed.
    std::wstring WaitForMessageBox(HWND* box = nullptr, DWORD timeoutMs = 5000) const {
        wchar_t text[1024] = {};
        HWND found = nullptr;
        PumpUntil(
            [&] {
                found = process.FindWindowOfClass(L"#32770");
                return found && ::IsWindowVisible(found) &&
                       ::GetDlgItemTextW(found, 0xFFFF, text, 1024) > 0;
            },
            timeoutMs);
        if (box)
            *box = found;
        return text;
    }

    LauncherProcess process;
    TrayIconInfo icon;
};

// Each test starts from no settings, with no launcher running, and leaves no settings.
class LauncherEndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        ASSERT_TRUE(WaitForTrayTipGone(kApplicationTitle, 10000)) << "a launcher still runs";
    }
    void TearDown() override { ResetSettings(); }
};

} // namespace tolvern::test
