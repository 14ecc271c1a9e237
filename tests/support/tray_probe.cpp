// Reads the notification area of the Wine desktop's taskbar from outside.
#include "support/tray_probe.h"

#include "base/text.h"
#include "framework/window.h"
#include "support/remote_buffer.h"

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

// The taskbar's tooltips (one per icon, and one for a balloon while it shows), in the
// taskbar's process opened for reading and writing; none without a taskbar.
struct TrayTooltips : Search {
    HANDLE process = nullptr;
    TrayTooltips() : Search{::FindWindowW(L"Shell_TrayWnd", nullptr), {}} {
        if (!tray)
            return;
        ::EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(static_cast<Search*>(this)));
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tray, &pid);
        process =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    }
    ~TrayTooltips() {
        if (process)
            ::CloseHandle(process);
    }
    TrayTooltips(const TrayTooltips&) = delete;
    TrayTooltips& operator=(const TrayTooltips&) = delete;
};

constexpr size_t kTextChars = 256;

// The text of one tool of a tooltip in the taskbar's process, with its rectangle and window.
bool ReadTool(const TrayTooltips& tray, HWND tooltip, int index, TTTOOLINFOW& info,
              std::wstring& text) {
    RemoteBuffer remote(tray.process, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t));
    auto* remoteInfo = static_cast<BYTE*>(remote.get());
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteInfo + sizeof(TTTOOLINFOW));
    info = TTTOOLINFOW{};
    info.cbSize = sizeof info;
    SIZE_T done = 0;
    if (!::WriteProcessMemory(tray.process, remoteInfo, &info, sizeof info, &done) ||
        !::SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remoteInfo)))
        return false;
    ::ReadProcessMemory(tray.process, remoteInfo, &info, sizeof info, &done);
    TTTOOLINFOW query = info;
    query.lpszText = remoteText;
    wchar_t buffer[kTextChars] = {};
    ::WriteProcessMemory(tray.process, remoteText, buffer, sizeof buffer, &done);
    ::WriteProcessMemory(tray.process, remoteInfo, &query, sizeof query, &done);
    ::SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remoteInfo));
    ::ReadProcessMemory(tray.process, remoteText, buffer, sizeof buffer, &done);
    buffer[kTextChars - 1] = 0;
    text = buffer;
    return true;
}

} // namespace

std::vector<TrayIconInfo> ReadTrayIcons() {
    std::vector<TrayIconInfo> icons;
    const TrayTooltips tray;
    if (!tray.process)
        return icons;
    for (HWND tooltip : tray.tooltips) {
        const int count = static_cast<int>(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            TTTOOLINFOW info;
            TrayIconInfo icon;
            // The taskbar keeps the tool of a removed icon with an empty rectangle; a balloon's
            // tool has none either.
            if (!ReadTool(tray, tooltip, index, info, icon.tip) || ::IsRectEmpty(&info.rect))
                continue;
            icon.rect = info.rect;
            ::MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&icon.rect), 2);
            icons.push_back(icon);
        }
    }
    return icons;
}

std::vector<std::wstring> ReadTrayBalloonTexts() {
    std::vector<std::wstring> texts;
    const TrayTooltips tray;
    if (!tray.process)
        return texts;
    for (HWND tooltip : tray.tooltips) {
        TTTOOLINFOW info;
        std::wstring text;
        if ((::GetWindowLongPtrW(tooltip, GWL_STYLE) & TTS_BALLOON) && ::IsWindowVisible(tooltip) &&
            ReadTool(tray, tooltip, 0, info, text))
            texts.push_back(text);
    }
    return texts;
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
