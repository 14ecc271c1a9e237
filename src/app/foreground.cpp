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

HWND FindWindowBelow(HWND start, const std::function<bool(HWND)>& accept) {
    if (!start)
        return nullptr;
    // GetWindow ends with null at the bottom of the list; the count guards against a list
    // that changes under the walk and leads back up.
    HWND w = start;
    for (int steps = 0; steps < 100000; ++steps) {
        w = ::GetWindow(w, GW_HWNDNEXT);
        if (!w || accept(w))
            return w;
    }
    return nullptr;
}

} // namespace tolvern
