// Which window holds the foreground: giving it to a window of another thread, and finding the
// window below the program's own ones to give it back to.
#pragma once

#include <windows.h>

#include <functional>

namespace tolvern {

// Gives w the foreground by attaching its thread to the foreground thread's input; does
// nothing when the attach fails (both windows on one thread). With no foreground window at
// all, w simply takes it.
void ActivateWindow(HWND w);

// Steps down the Z order from `first` (included) to the first window that `accept` takes;
// null when the walk runs off the end of the window list.
HWND FindWindowFrom(HWND first, const std::function<bool(HWND)>& accept);
// The same from the window below `start`.
HWND FindWindowBelow(HWND start, const std::function<bool(HWND)>& accept);

} // namespace tolvern
