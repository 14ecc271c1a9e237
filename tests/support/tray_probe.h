// Reads the notification area of the Wine desktop's taskbar from outside: one tooltip per
// icon, owned by the taskbar, whose tool rectangle is the icon's place and whose text is its tip.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvern::test {

struct TrayIconInfo {
    std::wstring tip;
    RECT rect{}; // screen coordinates of the icon
};

// Every icon the taskbar shows now; empty when there is no taskbar.
std::vector<TrayIconInfo> ReadTrayIcons();

// The texts of the balloons showing now (visible balloon tooltips of the taskbar). Wine's
// tooltip does not give its title back (TTM_GETTITLE leaves the buffer as it was).
std::vector<std::wstring> ReadTrayBalloonTexts();

// Polls ReadTrayIcons until an icon with this tip shows (true) or the time runs out.
bool WaitForTrayTip(const std::wstring& tip, DWORD timeoutMs, TrayIconInfo* found = nullptr);
// Polls until no icon with this tip shows.
bool WaitForTrayTipGone(const std::wstring& tip, DWORD timeoutMs);

// Keeps processing this thread's messages while polling `done` every 20 ms.
template <typename Pred> bool PumpUntil(Pred done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

} // namespace tolvern::test
