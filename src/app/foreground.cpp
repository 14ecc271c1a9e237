// Which window holds the foreground: giving it to a window of another thread, and finding the
// window below the program's own ones to give it back to.
#include "app/foreground.h"

namespace tolvern {

void ActivateWindow(HWND w) {
    const DWORD windowThread = ::GetWindowThreadProcessId(w, nullptr);
    if (windowThread == 0)
        return;
    HWND foreground = ::GetForegroundWindow();
    if (!foreground) {
        // Nobody holds the foreground (its window just closed): there is no input to share,
        // and the window may simply take it.
        ::SetForegroundWindow(w);
        return;
    }
    const DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    if (!::AttachThreadInput(windowThread, foregroundThread, TRUE))
        return;
    ::SetForegroundWindow(w);
    ::AttachThreadInput(windowThread, foregroundThread, FALSE);
    // Wine drops the change when the threads part before w's thread has taken it; the
    // foreground is then nobody's, and w may take it directly.
    if (::GetForegroundWindow() != w)
        ::SetForegroundWindow(w);
}

HWND FindWindowFrom(HWND first, const std::function<bool(HWND)>& accept) {
    // GetWindow ends with null at the bottom of the list; the count guards against a list
    // that changes under the walk and leads back up.
    HWND w = first;
    for (int steps = 0; w && steps < 100000; ++steps) {
        if (accept(w))
            return w;
        w = ::GetWindow(w, GW_HWNDNEXT);
    }
    return nullptr;
}

HWND FindWindowBelow(HWND start, const std::function<bool(HWND)>& accept) {
    return start ? FindWindowFrom(::GetWindow(start, GW_HWNDNEXT), accept) : nullptr;
}

} // namespace tolvern
