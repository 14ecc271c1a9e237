// Where the launcher menu pops up: the monitor the user is on and the work area on it, the
// menu's estimated height, and the corners of that work area with their animation directions
// and cursor targets.
#include "app/popup_placement.h"

#include "app/foreground.h"
#include "base/dpi.h"
#include "components/bar_popup_menu.h"

#include <algorithm>

namespace tolvern {

namespace {

// How much the two rectangles overlap, and how far apart they are when they do not.
long long OverlapArea(const RECT& a, const RECT& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

long long GapSquared(const RECT& a, const RECT& b) {
    const long long dx =
        std::max<long long>(0, std::max(a.left, b.left) - std::min(a.right, b.right));
    const long long dy =
        std::max<long long>(0, std::max(a.top, b.top) - std::min(a.bottom, b.bottom));
    return dx * dx + dy * dy;
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

MonitorArea ScreenLessTaskbar(const TScreenLayout& layout) {
    return {RECT{0, 0, layout.screen.cx, layout.screen.cy},
            WorkAreaFromTaskbar(layout.taskbar, layout.screen.cx, layout.screen.cy),
            layout.systemDpi};
}

TScreenLayout ScreenLayoutWithoutMonitors() {
    TScreenLayout layout;
    layout.screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT rect{};
    HWND window = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (window && ::GetWindowRect(window, &rect))
        layout.taskbar = rect;
    layout.systemDpi = SystemDpi();
    return layout;
}

} // namespace

TPopupCorner PopupCornerFromName(const std::wstring& name) {
    if (name == L"LeftTop")
        return TPopupCorner::LeftTop;
    if (name == L"LeftBottom")
        return TPopupCorner::LeftBottom;
    if (name == L"RightTop")
        return TPopupCorner::RightTop;
    return TPopupCorner::RightBottom;
}

RECT WorkAreaFromTaskbar(const std::optional<RECT>& taskbar, int screenWidth, int screenHeight) {
    if (!taskbar)
        return {0, 0, screenWidth, screenHeight};
    const RECT& t = *taskbar;
    // Each edge of the taskbar that lies inside the screen bounds the free area on that side.
    return {t.right < screenWidth ? t.right : 0, t.bottom < screenHeight ? t.bottom : 0,
            t.left > 0 ? t.left : screenWidth, t.top > 0 ? t.top : screenHeight};
}

RECT GetWorkAreaRect() {
    return ScreenLessTaskbar(ScreenLayoutWithoutMonitors()).work;
}

TScreenLayout CurrentScreenLayout() {
    std::vector<MonitorArea> monitors = Monitors();
    if (monitors.empty())
        return ScreenLayoutWithoutMonitors();
    TScreenLayout layout;
    layout.monitors = std::move(monitors);
    return layout;
}

MonitorArea ChooseMonitor(const TScreenLayout& layout, const std::optional<RECT>& window,
                          POINT pointer) {
    if (layout.monitors.empty())
        return ScreenLessTaskbar(layout);
    const RECT target = window ? *window : RECT{pointer.x, pointer.y, pointer.x + 1, pointer.y + 1};
    // As the system names the monitor of a rectangle: the most overlapped, else the nearest;
    // on a tie the first (the primary).
    const MonitorArea* best = &layout.monitors.front();
    long long bestOverlap = -1, bestGap = 0;
    for (const MonitorArea& monitor : layout.monitors) {
        const long long overlap = OverlapArea(target, monitor.monitor);
        const long long gap = GapSquared(target, monitor.monitor);
        if (overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && gap < bestGap)) {
            best = &monitor;
            bestOverlap = overlap;
            bestGap = gap;
        }
    }
    return *best;
}

std::optional<RECT> MonitorNamingRect(HWND window) {
    if (!window)
        return std::nullopt;
    const WindowFacts facts = FactsOfWindow(window, false);
    // The desktop spans every monitor (WorkerW stands in for it on later systems).
    if (!facts.visible || facts.minimized || facts.empty || facts.className == L"Progman" ||
        facts.className == L"WorkerW")
        return std::nullopt;
    RECT rect{};
    if (!::GetWindowRect(window, &rect))
        return std::nullopt;
    return rect;
}

int GetPopupHeight(const TBarPopupMenu& menu, int dpi) {
    int height = ScaleForDpi(6, dpi);
    for (int i = 0; i < menu.Items.Count(); ++i) {
        const TMenuItem* item = menu.Items.Items(i);
        if (item->Visible)
            height += menu.ItemHeightAt(*item, dpi);
    }
    return height;
}

TCornerPlacement PlaceAtCorner(TPopupCorner corner, const RECT& workArea, int popupHeight,
                               int barWidth) {
    TCornerPlacement placement;
    const bool left = corner == TPopupCorner::LeftTop || corner == TPopupCorner::LeftBottom;
    const bool top = corner == TPopupCorner::LeftTop || corner == TPopupCorner::RightTop;
    POINT& p = placement.popupPoint;
    p.x = left ? workArea.left : workArea.right;
    // The top level does not scroll: one taller than the work area starts at its top.
    p.y = top ? workArea.top : std::max(workArea.top, workArea.bottom - popupHeight);
    placement.alignRight = !left;
    placement.animation =
        (left ? maLeftToRight : maRightToLeft) | (top ? maTopToBottom : maBottomToTop);
    placement.cursorTarget = {left ? p.x + barWidth + 16 : p.x - 64, p.y + 16};
    return placement;
}

TCornerPlacement PlaceAtCorner(TPopupCorner corner, const MonitorArea& on,
                               const std::vector<MonitorArea>& monitors, int popupHeight,
                               int barWidth) {
    TCornerPlacement placement = PlaceAtCorner(corner, on.work, popupHeight, barWidth);
    POINT& p = placement.popupPoint;
    if (placement.alignRight && !Contains(on.monitor, p))
        for (const MonitorArea& other : monitors)
            if (!SameRect(other.monitor, on.monitor) && Contains(other.monitor, p)) {
                --p.x;
                break;
            }
    return placement;
}

POINT PointOnMonitor(POINT point, const RECT& monitor) {
    return {std::clamp(point.x, monitor.left, std::max(monitor.left, monitor.right - 1)),
            std::clamp(point.y, monitor.top, std::max(monitor.top, monitor.bottom - 1))};
}

} // namespace tolvern
