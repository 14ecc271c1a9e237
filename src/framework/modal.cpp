// What a modal dialog does to the rest of the program: its other windows take no input.
#include "framework/modal.h"

namespace tolvern {

namespace {
BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM list) {
    if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}
} // namespace

TDisabledTaskWindows::TDisabledTaskWindows() {
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled,
                        reinterpret_cast<LPARAM>(&windows_));
    for (HWND hwnd : windows_)
        ::EnableWindow(hwnd, FALSE);
}

TDisabledTaskWindows::~TDisabledTaskWindows() {
    for (HWND hwnd : windows_)
        if (::IsWindow(hwnd))
            ::EnableWindow(hwnd, TRUE);
}

} // namespace tolvern
