// Which window holds the foreground: giving it to a window of another thread, and finding the
// window below the program's own ones to give it back to.
#include "app/foreground.h"

#include "base/system_function.h"
#include "framework/window.h"

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

namespace {
// DWMWA_CLOAKED: windows of other virtual desktops and suspended apps are "visible" but not
// shown. The compositor's library is asked at run time: systems without it cloak nothing.
bool IsCloaked(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    static const GetAttribute getAttribute =
        SystemFunction<GetAttribute>(L"dwmapi.dll", "DwmGetWindowAttribute");
    constexpr DWORD kCloaked = 14; // DWMWA_CLOAKED
    DWORD cloaked = 0;
    return getAttribute && SUCCEEDED(getAttribute(window, kCloaked, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}
} // namespace

WindowFacts FactsOfWindow(HWND window, bool own) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    WindowFacts facts;
    facts.own = own;
    facts.visible = (style & WS_VISIBLE) != 0;
    facts.minimized = (style & WS_MINIMIZE) != 0;
    facts.toolWindow = (exStyle & WS_EX_TOOLWINDOW) != 0;
    facts.appWindow = (exStyle & WS_EX_APPWINDOW) != 0;
    facts.owned = ::GetWindow(window, GW_OWNER) != nullptr;
    facts.empty = rect.right <= rect.left || rect.bottom <= rect.top;
    facts.className = WindowClassName(window);
    // Only a visible window can be cloaked.
    facts.cloaked = facts.visible && IsCloaked(window);
    return facts;
}

bool IsWindowToGoBackTo(const WindowFacts& facts) {
    if (facts.own || !facts.visible || facts.minimized || facts.cloaked || facts.empty)
        return false;
    if (facts.className == L"Shell_TrayWnd" || facts.className == L"Shell_SecondaryTrayWnd")
        return false;
    // What the taskbar shows as a window of its own.
    return facts.appWindow || (!facts.toolWindow && !facts.owned);
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
