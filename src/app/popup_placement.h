// Where the launcher menu pops up: the monitor the user is on and the work area on it, the
// menu's estimated height, and the corners of that work area with their animation directions
// and cursor targets. The geometry takes rectangles and asks no window, so every arrangement of
// monitors can be tested; Current... and the form ask the system.
#pragma once

#include "base/monitors.h"
#include "framework/menu_item.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tolvern {

class TBarPopupMenu;

enum class TPopupCorner { LeftTop, LeftBottom, RightTop, RightBottom };

// The corner of a "PopupPos" value; any other text is RightBottom, the corner that applies
// when none of the other three is chosen.
TPopupCorner PopupCornerFromName(const std::wstring& name);

// The work area left by a taskbar with this screen rectangle (none: the whole screen) on a
// screen of the given size; right and bottom are exclusive.
RECT WorkAreaFromTaskbar(const std::optional<RECT>& taskbar, int screenWidth, int screenHeight);
// The same for the taskbar window ("Shell_TrayWnd") and the screen of this session.
RECT GetWorkAreaRect();

// What the placement needs to know of the screens.
struct TScreenLayout {
    std::vector<MonitorArea> monitors; // the primary one first
    // When no monitor answers: the primary screen's size, the taskbar's rectangle and the
    // system's DPI.
    SIZE screen{};
    std::optional<RECT> taskbar;
    int systemDpi = 96;
};
TScreenLayout CurrentScreenLayout();

// The monitor that the user is on: the one the window overlaps most (the nearest when it
// overlaps none) when a window is given, else the one that holds the pointer (else the nearest).
// With no monitor, the whole screen less the taskbar.
MonitorArea ChooseMonitor(const TScreenLayout& layout, const std::optional<RECT>& window,
                          POINT pointer);

// The rectangle by which the window of the user names a monitor; none for no window, a
// minimised one or the desktop, which are on no monitor in particular.
std::optional<RECT> MonitorNamingRect(HWND window);

// Estimated height of the menu's top level at that DPI: the heights of its visible items as the
// menu measures them, plus the frame (6 at 96 DPI); submenus do not count.
int GetPopupHeight(const TBarPopupMenu& menu, int dpi);

struct TCornerPlacement {
    // The menu's top-left corner; with alignRight its top-right corner (x exclusive), as the
    // menu's width is known only once the system has measured it.
    POINT popupPoint{};
    bool alignRight = false;
    unsigned animation = 0; // TMenuAnimation bits
    POINT cursorTarget{};   // where a tray click moves the cursor when asked to
};

// The corner of the work area, the menu's top kept inside it when the menu is taller.
TCornerPlacement PlaceAtCorner(TPopupCorner corner, const RECT& workArea, int popupHeight,
                               int barWidth);
// The same on a monitor among others. The system shows a menu on the monitor of the point it
// is given, and the exclusive right edge of a work area is a point of the neighbour monitor when
// one adjoins there: the menu then ends a pixel short of that edge.
TCornerPlacement PlaceAtCorner(TPopupCorner corner, const MonitorArea& on,
                               const std::vector<MonitorArea>& monitors, int popupHeight,
                               int barWidth);

// A point on the monitor: the point itself when it lies there, else the nearest point of it (a
// click remembered while the launcher was being built, from before a monitor went).
POINT PointOnMonitor(POINT point, const RECT& monitor);

} // namespace tolvern
