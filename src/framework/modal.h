// What a modal dialog does to the rest of the program: its other windows take no input.
#pragma once

#include <windows.h>

#include <vector>

namespace tolvern {

// Disables every visible, enabled top-level window of this thread while it lives.
class TDisabledTaskWindows {
public:
    TDisabledTaskWindows();
    ~TDisabledTaskWindows();
    TDisabledTaskWindows(const TDisabledTaskWindows&) = delete;
    TDisabledTaskWindows& operator=(const TDisabledTaskWindows&) = delete;

private:
    std::vector<HWND> windows_;
};

} // namespace tolvern
