// Starting the real launcher executable and finding its windows, for end-to-end tests.
#include "support/launcher_process.h"

#include "framework/window.h"
#include "settings/launcher_settings.h"
#include "support/scratch_key.h"
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
    bool visibleOnly;
    HWND found;
};
BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && WindowClassName(hwnd) == search->className &&
        (!search->visibleOnly || ::IsWindowVisible(hwnd))) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND LauncherProcess::FindWindow(const wchar_t* className, bool visibleOnly) const {
    WindowSearch search{id_, className, visibleOnly, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND LauncherProcess::FindWindowOfClass(const wchar_t* className) const {
    return FindWindow(className, false);
}

HWND LauncherProcess::OpenMenuWindow() const {
    return FindWindow(L"#32768", true);
}

std::vector<HWND> LauncherProcess::OpenMenuWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{id_, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid && WindowClassName(hwnd) == L"#32768" && ::IsWindowVisible(hwnd))
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
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

RECT WorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

namespace {
const std::wstring kKey = std::wstring(kSettingsKeyPath).substr(1);
}

void ResetSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
}

void SetSetting(const std::wstring& section, const std::wstring& name, const std::wstring& text) {
    SetRegistryValue(kKey, section, name, REG_SZ, text.c_str(),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring GetSetting(const std::wstring& section, const std::wstring& name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueW(HKEY_CURRENT_USER, (kKey + L"\\" + section).c_str(), name.c_str(),
                       RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

} // namespace tolvern::test
