// Which window holds the foreground: giving it to a window of another thread, and finding the
// window below the program's own ones to give it back to.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tolvern {

// Gives w the foreground by attaching its thread to the foreground thread's input; does
// nothing when the attach fails (both windows on one thread). With no foreground window at
// all, w simply takes it.
void ActivateWindow(HWND w);

// What the walk down the Z order knows of a window.
struct WindowFacts {
    bool own = false;        // one of the program's windows
    bool visible = false;    // WS_VISIBLE
    bool minimized = false;  // WS_MINIMIZE
    bool cloaked = false;    // kept off the screen by the desktop compositor
    bool toolWindow = false; // WS_EX_TOOLWINDOW
    bool appWindow = false;  // WS_EX_APPWINDOW: on the taskbar even when owned
    bool owned = false;      // has an owner window
    bool empty = false;      // no width or no height
    std::wstring className;
};

// The facts of a window; `own` as the caller knows it.
WindowFacts FactsOfWindow(HWND window, bool own);

// Whether the window is one the user sees and works in, to give the foreground back to after a
// popup: none of the program's own, the taskbars, tool windows, owned windows (but those shown
// on the taskbar), hidden, minimised, cloaked or empty windows.
bool IsWindowToGoBackTo(const WindowFacts& facts);

// Steps down the Z order from `first` (included) to the first window that `accept` takes;
// null when the walk runs off the end of the window list.
HWND FindWindowFrom(HWND first, const std::function<bool(HWND)>& accept);
// The same from the window below `start`.
HWND FindWindowBelow(HWND start, const std::function<bool(HWND)>& accept);

} // namespace tolvern
