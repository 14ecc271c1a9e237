// The monitors the program shows on.
#include "base/monitors.h"

#include "base/dpi.h"

#include <algorithm>

namespace tolvern {

namespace {

bool InfoOf(HMONITOR monitor, MONITORINFO& info) {
    info = {};
    info.cbSize = sizeof info;
    return monitor && ::GetMonitorInfoW(monitor, &info);
}

RECT WorkAreaOfMonitor(HMONITOR monitor) {
    MONITORINFO info;
    if (InfoOf(monitor, info))
        return info.rcWork;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT RectOfMonitor(HMONITOR monitor) {
    MONITORINFO info;
    if (InfoOf(monitor, info))
        return info.rcMonitor;
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// The primary monitor is the one whose top-left corner is the origin.
HMONITOR PrimaryMonitor() {
    return ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& monitors = *reinterpret_cast<std::vector<MonitorArea>*>(data);
    MONITORINFO info;
    if (!InfoOf(monitor, info))
        return TRUE;
    const MonitorArea area{info.rcMonitor, info.rcWork, DpiOfMonitor(monitor)};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        monitors.insert(monitors.begin(), area);
    else
        monitors.push_back(area);
    return TRUE;
}

} // namespace

std::vector<MonitorArea> Monitors() {
    std::vector<MonitorArea> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

RECT WorkAreaOf(const RECT& rect) {
    return WorkAreaOfMonitor(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

RECT MonitorRectOf(const RECT& rect) {
    return RectOfMonitor(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

RECT MonitorRectAt(POINT point) {
    return RectOfMonitor(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

RECT PrimaryMonitorRect() {
    return RectOfMonitor(PrimaryMonitor());
}

POINT CentredIn(const RECT& area, SIZE size) {
    return {area.left + (area.right - area.left - size.cx) / 2,
            area.top + (area.bottom - area.top - size.cy) / 2};
}

} // namespace tolvern
