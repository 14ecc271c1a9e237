// Starting the real launcher executable and finding its windows, for end-to-end tests.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

#include <string>

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
    // Polls for it; null when the time runs out.
    HWND WaitForWindowOfClass(const wchar_t* className, DWORD timeoutMs) const;
    bool IsRunning() const;
    // Waits for the end; returns the exit code, or STILL_ACTIVE when it did not end.
    DWORD WaitForExit(DWORD timeoutMs) const;
    // Closes the tray form as the menu's exit command does, and waits for the end.
    DWORD CloseAndWait(DWORD timeoutMs);

private:
    UniqueHandleObject process_;
    DWORD id_ = 0;
    DWORD startTick_ = 0;
};

} // namespace tolvern::test
