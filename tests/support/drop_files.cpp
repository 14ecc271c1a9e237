// A drop handle as the shell builds it (DROPFILES and wide paths in global memory), posted to a
// window as WM_DROPFILES.
#include "support/drop_files.h"

#include <shlobj.h>

#include <cstring>

namespace tolvern::test {

HGLOBAL MakeDropHandle(const std::vector<std::wstring>& paths, POINT point) {
    size_t chars = 1; // the closing empty string
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    HGLOBAL handle =
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(handle));
    files->pFiles = sizeof(DROPFILES);
    files->pt = point;
    files->fNC = FALSE;
    files->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(files + 1);
    for (const std::wstring& path : paths) {
        std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        text += path.size() + 1;
    }
    ::GlobalUnlock(handle);
    return handle;
}

HGLOBAL PostDropFiles(HWND window, const std::vector<std::wstring>& paths, POINT point) {
    HGLOBAL handle = MakeDropHandle(paths, point);
    ::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
    return handle;
}

bool IsDropHandleReleased(HGLOBAL handle) {
    return ::GlobalFlags(handle) == GMEM_INVALID_HANDLE;
}

} // namespace tolvern::test
