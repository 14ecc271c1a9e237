// Starting the real launcher executable and finding its windows, for end-to-end tests.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tolvern::test {

// Path of a program built next to the tests (the build folder, as Wine sees it).
std::wstring BuiltProgram(const std::wstring& fileName);

class LauncherProcess {
public:
    // Starts "program arguments"; check Started().
    LauncherProcess(const std::wstring& program, const std::wstring& arguments = L"");
    ~LauncherProcess(); // ends the process if it still runs

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    DWORD StartTick() const { return startTick_; }

    // The first top-level window of the process with this class (visible or not).
    HWND FindWindowOfClass(const wchar_t* className) const;
    // The launcher menu's window while it is open (a visible menu window of the process).
    HWND OpenMenuWindow() const;
    // Every visible menu window of the process (the launcher menu and its open submenus).
    std::vector<HWND> OpenMenuWindows() const;
    // Polls for it; null when the time runs out.
    HWND WaitForWindowOfClass(const wchar_t* className, DWORD timeoutMs) const;
    bool IsRunning() const;
    // Waits for the end; returns the exit code, or STILL_ACTIVE when it did not end.
    DWORD WaitForExit(DWORD timeoutMs) const;
    // Closes the tray form as the menu's exit command does, and waits for the end.
    DWORD CloseAndWait(DWORD timeoutMs);

private:
    HWND FindWindow(const wchar_t* className, bool visibleOnly) const;
    UniqueHandleObject process_;
    DWORD id_ = 0;
    DWORD startTick_ = 0;
};

// The work area of the screen the launcher shows on: the Wine desktop above its taskbar.
RECT WorkArea();

// The settings key of the real program, as the end-to-end tests set it up and read it back.
void ResetSettings();
void SetSetting(const std::wstring& section, const std::wstring& name, const std::wstring& text);
// The text of a value, "<missing>" when there is none.
std::wstring GetSetting(const std::wstring& section, const std::wstring& name);

} // namespace tolvern::test
