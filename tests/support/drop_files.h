// A drop handle as the shell builds it (DROPFILES and wide paths in global memory), posted to a
// window as WM_DROPFILES.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvern::test {

HGLOBAL MakeDropHandle(const std::vector<std::wstring>& paths, POINT point);
// Builds the handle and posts it; returns the handle (owned by the receiver from then on).
HGLOBAL PostDropFiles(HWND window, const std::vector<std::wstring>& paths, POINT point);
// Whether a drop handle has been released (by DragFinish).
bool IsDropHandleReleased(HGLOBAL handle);

} // namespace tolvern::test
