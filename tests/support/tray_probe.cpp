// Reads the notification area of the Wine desktop's taskbar from outside.
#include "support/tray_probe.h"

#include "base/text.h"
#include "framework/window.h"

#include <commctrl.h>

namespace tolvern::test {

namespace {

struct Search {
    HWND tray;
    std::vector<HWND> tooltips;
};

BOOL CALLBACK CollectTooltips(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (EqualsIgnoreCase(WindowClassName(hwnd), TOOLTIPS_CLASSW) &&
        ::GetWindow(hwnd, GW_OWNER) == search->tray)
        search->tooltips.push_back(hwnd);
    return TRUE;
}

// The tooltip lives in the taskbar's process: its messages need buffers in that process.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    void* get() const { return address_; }

private:
    HANDLE process_;
    void* address_;
};

} // namespace

std::vector<TrayIconInfo> ReadTrayIcons() {
    std::vector<TrayIconInfo> icons;
    Search search{::FindWindowW(L"Shell_TrayWnd", nullptr), {}};
    if (!search.tray)
        return icons;
    ::EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(&search));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(search.tray, &pid);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return icons;
    constexpr size_t kTextChars = 256;
    RemoteBuffer remote(process, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t));
    auto* remoteInfo = static_cast<BYTE*>(remote.get());
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteInfo + sizeof(TTTOOLINFOW));
    for (HWND tooltip : search.tooltips) {
        const int count = static_cast<int>(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            TTTOOLINFOW info{};
            info.cbSize = sizeof info;
            SIZE_T done = 0;
            if (!::WriteProcessMemory(process, remoteInfo, &info, sizeof info, &done) ||
                !::SendMessageW(tooltip, TTM_ENUMTOOLSW, index,
                                reinterpret_cast<LPARAM>(remoteInfo)))
                continue;
            ::ReadProcessMemory(process, remoteInfo, &info, sizeof info, &done);
            // The taskbar keeps the tool of a removed icon with an empty rectangle.
            if (::IsRectEmpty(&info.rect))
                continue;
            info.lpszText = remoteText;
            wchar_t text[kTextChars] = {};
            ::WriteProcessMemory(process, remoteText, text, sizeof text, &done);
            ::WriteProcessMemory(process, remoteInfo, &info, sizeof info, &done);
            ::SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remoteInfo));
            ::ReadProcessMemory(process, remoteText, text, sizeof text, &done);
            text[kTextChars - 1] = 0;
            TrayIconInfo icon;
            icon.tip = text;
            icon.rect = info.rect;
            ::MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&icon.rect), 2);
            icons.push_back(icon);
        }
    }
    ::CloseHandle(process);
    return icons;
}

bool WaitForTrayTip(const std::wstring& tip, DWORD timeoutMs, TrayIconInfo* found) {
    return PumpUntil(
        [&] {
            for (const TrayIconInfo& icon : ReadTrayIcons())
                if (icon.tip == tip) {
                    if (found)
                        *found = icon;
                    return true;
                }
            return false;
        },
        timeoutMs);
}

bool WaitForTrayTipGone(const std::wstring& tip, DWORD timeoutMs) {
    return PumpUntil(
        [&] {
            for (const TrayIconInfo& icon : ReadTrayIcons())
                if (icon.tip == tip)
                    return false;
            return true;
        },
        timeoutMs);
}

} // namespace tolvern::test
