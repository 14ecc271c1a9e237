// The settings form's commands of the launcher menu: showing the desktop and restoring the
// windows, the settings dialog, help, the About box, exit, and the shell's shut-down dialog.
#include "app/foreground.h"
#include "app/settings_form.h"
#include "app/tray_form.h"
#include "base/text.h"
#include "settings/about_box.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>

namespace tolvern {

namespace {

std::wstring WindowKey(HWND window) {
    // Window handles are 32-bit values, also in 64-bit processes.
    wchar_t key[16];
    std::swprintf(key, 16, L"$%08X",
                  static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(window) & 0xFFFFFFFFu));
    return key;
}

HWND WindowOfKey(const std::wstring& key) {
    if (key.size() != 9 || key[0] != L'$')
        return nullptr;
    const unsigned long value = std::wcstoul(key.c_str() + 1, nullptr, 16);
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

BOOL CALLBACK CollectMinimizableWindow(HWND window, LPARAM list) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_VISIBLE) && (style & WS_MINIMIZEBOX)) {
        auto& keys = *reinterpret_cast<std::vector<std::wstring>*>(list);
        const std::wstring key = WindowKey(window);
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    return TRUE;
}

// How long restoring waits for the windows to come back before the animation is given back.
constexpr DWORD kRestoreWaitMs = 500;

void PressKey(BYTE vk, bool up) {
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)),
                  up ? KEYEVENTF_KEYUP : 0, 0);
}

} // namespace

void TForm2::ConnectMenuCommands() {
    GetMinimizeAnimation = [] {
        ANIMATIONINFO animation{sizeof animation, 0};
        ::SystemParametersInfoW(SPI_GETANIMATION, sizeof animation, &animation, 0);
        return animation.iMinAnimate;
    };
    SetMinimizeAnimation = [](int on) {
        ANIMATIONINFO animation{sizeof animation, on};
        ::SystemParametersInfoW(SPI_SETANIMATION, sizeof animation, &animation, 0);
    };
    Shell.MsgBox = [this](const TLauncherMessage& message) { return MsgBox(message); };
    Activation.OwnerWindow = Handle();
    auto to = [this](void (TForm2::*handler)(TMenuItem*)) {
        return [this, handler](TMenuItem* sender) { (this->*handler)(sender); };
    };
    Menu.PopupMenu_ItemClick = [this](TMenuItem* sender) {
        Activation.PopupMenu_ItemClick(sender);
    };
    Menu.PopupMenu_ItemClick2 = [this](TMenuItem* sender) {
        Activation.PopupMenu_ItemClick2(sender);
    };
    Menu.PopupMenu_DeskCplClick = [this](TMenuItem* sender) {
        Activation.PopupMenu_DeskCplClick(sender);
    };
    PopupMenu2.OnItemContextMenu = [this](TMenuItem* item, POINT at) {
        ContextMenu.Show(item, at);
    };
    Menu.mnuPopupShowDesktopClick = to(&TForm2::mnuPopupShowDesktopClick);
    Menu.mnuPopupSettingsClick = to(&TForm2::mnuPopupSettingsClick);
    Menu.About1Click = to(&TForm2::About1Click);
    Menu.mnuPopupHelpClick = to(&TForm2::mnuPopupHelpClick);
    Menu.mnuPopupExitClick = to(&TForm2::mnuPopupExitClick);
    Menu.mnuPopupExitWindowsClick = to(&TForm2::mnuPopupExitWindowsClick);
}

void TForm2::mnuPopupShowDesktopClick(TMenuItem*) {
    // No minimise and restore animation for a whole desktop of windows. The screen is not
    // locked for painting: the work is done by other programs, and a lock held while one of
    // them does not answer would freeze the whole desktop.
    const int minAnimate = GetMinimizeAnimation();
    SetMinimizeAnimation(0);

    std::vector<std::wstring>& windows = trayForm_.RestoreWindowList;
    if (!Menu.DesktopShown) {
        windows.clear();
        ::EnumWindows(CollectMinimizableWindow, reinterpret_cast<LPARAM>(&windows));
        // Windows key + M: the shell minimises every window.
        PressKey(VK_LWIN, false);
        PressKey('M', false);
        PressKey('M', true);
        PressKey(VK_LWIN, true);
    } else {
        // Each window restores on its own thread: one that does not answer (hung, or one that
        // refuses our messages) must not hold the launcher, nor anything that waits for it.
        std::vector<HWND> restoring;
        for (const std::wstring& key : windows) {
            HWND window = WindowOfKey(key);
            // A window closed meanwhile has no style and is passed over.
            if (window && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZE) &&
                ::ShowWindowAsync(window, SW_RESTORE))
                restoring.push_back(window);
        }
        // The animation stays off while they restore, for a moment at most.
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < kRestoreWaitMs &&
               std::any_of(restoring.begin(), restoring.end(),
                           [](HWND window) { return ::IsIconic(window) != FALSE; }))
            ::Sleep(10);
    }

    SetMinimizeAnimation(minAnimate);
    Menu.DesktopShown = !Menu.DesktopShown;
}

void TForm2::mnuPopupSettingsClick(TMenuItem*) {
    ActivateWindow(App().Handle());
    ShowModal();
}

void TForm2::About1Click(TMenuItem*) {
    ActivateWindow(App().Handle());
    if (AboutBox)
        AboutBox->ShowModal();
}

std::wstring TForm2::HtmlHelpPath() {
    return ProgramDirectory() + L"\\TolvernLauncherHelp.html";
}

void TForm2::mnuPopupHelpClick(TMenuItem*) {
    const std::wstring& helpFile = App().HelpFile;
    // WinHelp files have had no viewer since Windows Vista: without one beside the program,
    // its own HTML help opens in the browser.
    if (!helpFile.empty() && FileExists(helpFile)) {
        ::WinHelpW(App().Handle(), helpFile.c_str(), HELP_FINDER, 0);
        return;
    }
    ::ShellExecuteW(App().Handle(), L"open", HtmlHelpPath().c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
}

void TForm2::mnuPopupExitClick(TMenuItem*) {
    trayForm_.Close();
}

void TForm2::mnuPopupExitWindowsClick(TMenuItem*) {
    HWND shell = ::FindWindowW(L"Progman", L"Program Manager");
    if (!shell)
        return;
    ActivateWindow(shell);
    ::PostMessageW(shell, WM_CLOSE, 0, 0);
}

} // namespace tolvern
