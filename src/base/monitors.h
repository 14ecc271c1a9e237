// The monitors the program shows on: each one's rectangle, the work area that the taskbar and
// other docked bars leave free on it, and its DPI; and where a window stands centred in an area.
#pragma once

#include <windows.h>

#include <vector>

namespace tolvern {

struct MonitorArea {
    RECT monitor{};
    RECT work{}; // within monitor
    int dpi = 96;
};

// Every monitor of the desktop, the primary one first; empty when the system names none.
std::vector<MonitorArea> Monitors();

// The work area of the monitor nearest to the rectangle (screen coordinates).
RECT WorkAreaOf(const RECT& rect);
// The whole monitor nearest to the rectangle or the point, or the primary one: what stands
// centred or in a corner of the screen does so on its monitor.
RECT MonitorRectOf(const RECT& rect);
RECT MonitorRectAt(POINT point);
RECT PrimaryMonitorRect();

// The top-left corner of a window of that size centred in the area.
POINT CentredIn(const RECT& area, SIZE size);

} // namespace tolvern
