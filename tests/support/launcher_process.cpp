// Starting the real launcher executable and finding its windows, for end-to-end tests.
#include "support/launcher_process.h"

#include "support/tray_probe.h"

namespace tolvern::test {

std::wstring BuiltProgram(const std::wstring& fileName) {
    return std::wstring(TOLVERN_BUILD_DIR_DOS) + L"\\" + fileName;
}

LauncherProcess::LauncherProcess(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    startTick_ = ::GetTickCount();
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &si, &pi)) {
        process_.reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
        id_ = pi.dwProcessId;
    }
}

LauncherProcess::~LauncherProcess() {
    if (IsRunning()) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {
struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};
BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[128] = {};
    ::GetClassNameW(hwnd, cls, 128);
    if (pid == search->pid && lstrcmpW(cls, search->className) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND LauncherProcess::FindWindowOfClass(const wchar_t* className) const {
    WindowSearch search{id_, className, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND LauncherProcess::WaitForWindowOfClass(const wchar_t* className, DWORD timeoutMs) const {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindWindowOfClass(className)) != nullptr || !IsRunning(); },
              timeoutMs);
    return found;
}

bool LauncherProcess::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD LauncherProcess::WaitForExit(DWORD timeoutMs) const {
    PumpUntil([&] { return !IsRunning(); }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

DWORD LauncherProcess::CloseAndWait(DWORD timeoutMs) {
    if (HWND trayForm = FindWindowOfClass(L"TForm1"))
        ::PostMessageW(trayForm, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

} // namespace tolvern::test
