// SelDirEx: the shell's folder browser, placed at a point or centred, starting at a folder; and
// the DirectoryExists check.
#include "components/sel_dir_ex.h"

#include "base/com.h"
#include "base/monitors.h"
#include "base/shell_path.h"
#include "framework/application.h"
#include "framework/modal.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace tolvern {

namespace {

// Long enough for any path the file system takes, not only MAX_PATH.
constexpr DWORD kLongPath = 32768;

struct BrowseData {
    std::wstring initialDir;
    int x;
    int y;
    RECT screen; // the monitor it shows on
};

// The monitor of the point the browser is placed at; centred, that of the window it is asked
// from (the settings dialog), else the pointer's.
RECT BrowserMonitor(int x, int y) {
    if (x != 0 && y != 0)
        return MonitorRectAt(POINT{x, y});
    RECT window{};
    if (HWND active = ::GetActiveWindow(); active && ::GetWindowRect(active, &window))
        return MonitorRectOf(window);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    return MonitorRectAt(pointer);
}

std::wstring PathOf(PCIDLIST_ABSOLUTE pidl) {
    std::vector<wchar_t> buffer(kLongPath);
    if (!pidl || !::SHGetPathFromIDListEx(pidl, buffer.data(), kLongPath, GPFIDL_DEFAULT))
        return L"";
    return buffer.data();
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    try {
        const auto& browse = *reinterpret_cast<const BrowseData*>(data);
        if (message == BFFM_INITIALIZED) {
            if (browse.initialDir.size() > 1)
                ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                               reinterpret_cast<LPARAM>(browse.initialDir.c_str()));
            RECT rect{};
            ::GetWindowRect(dialog, &rect);
            const POINT at = BrowserPosition(browse.x, browse.y,
                                             SIZE{rect.right - rect.left, rect.bottom - rect.top},
                                             browse.screen);
            ::SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        } else if (message == BFFM_SELCHANGED) {
            const std::wstring path = PathOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
            ::SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
        }
    } catch (...) {
        ReportException(std::current_exception());
    }
    return 0;
}

} // namespace

POINT BrowserPosition(int x, int y, SIZE dialog, const RECT& screen) {
    if (x == 0 || y == 0) {
        const POINT centred = CentredIn(screen, dialog);
        x = centred.x;
        y = centred.y;
    }
    x = std::max(std::min(x, static_cast<int>(screen.right - dialog.cx)),
                 static_cast<int>(screen.left));
    y = std::max(std::min(y, static_cast<int>(screen.bottom - dialog.cy)),
                 static_cast<int>(screen.top));
    return POINT{x, y};
}

bool SelDirEx(const std::wstring& caption, const std::wstring& initialDir, std::wstring& dir, int x,
              int y) {
    dir.clear();
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(&allocator)) || !allocator)
        return false;
    std::vector<wchar_t> displayName(MAX_PATH);
    BrowseData data{initialDir, x, y, BrowserMonitor(x, y)};
    BROWSEINFOW info{};
    const Application* application = Application::Current();
    info.hwndOwner = application ? application->Handle() : nullptr;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&data);

    PIDLIST_ABSOLUTE chosen = nullptr;
    {
        TDisabledTaskWindows disabled;
        chosen = ::SHBrowseForFolderW(&info);
    }
    if (!chosen)
        return false;
    dir = PathOf(chosen);
    allocator->Free(chosen);
    return true;
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = PathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tolvern
