// Where the launcher menu pops up: the screen area the taskbar leaves free, the menu's
// estimated height, and the screen corners with their animation directions and cursor targets.
#pragma once

#include "framework/menu_item.h"

#include <windows.h>

#include <optional>
#include <string>

namespace tolvern {

enum class TPopupCorner { LeftTop, LeftBottom, RightTop, RightBottom };

// The corner of a "PopupPos" value; any other text is RightBottom, the corner that applies
// when none of the other three is chosen.
TPopupCorner PopupCornerFromName(const std::wstring& name);

// The work area left by a taskbar with this screen rectangle (none: the whole screen) on a
// screen of the given size; right and bottom are exclusive.
RECT WorkAreaFromTaskbar(const std::optional<RECT>& taskbar, int screenWidth, int screenHeight);
// The same for the taskbar window ("Shell_TrayWnd") and the screen of this session.
RECT GetWorkAreaRect();

// Estimated height of a popup menu with these top-level items: what Windows draws for the
// visible ones (separators 8, items 19 at icon size 16 and iconSize + 1 otherwise) plus the
// frame; submenus do not count.
int GetPopupHeight(const TMenuItem& items, int iconSize);

struct TCornerPlacement {
    POINT popupPoint{};
    unsigned animation = 0; // TMenuAnimation bits
    POINT cursorTarget{};   // where a tray click moves the cursor when asked to
};

TCornerPlacement PlaceAtCorner(TPopupCorner corner, const RECT& workArea, int popupHeight,
                               int barWidth);

} // namespace tolvern
