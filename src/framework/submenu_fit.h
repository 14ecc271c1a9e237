// Whether a submenu shows its columns or one column that scrolls: what its columns need against
// the work area beside the menu it opens from. The choice asks no window, so every case is a
// table; the system's figures and the menu's set-up come last.
#pragma once

#include "base/monitors.h"

#include <windows.h>

#include <vector>

namespace tolvern {

// One item as the system lays it out: its measured size, and whether it starts a new column.
struct MenuItemBox {
    int width = 0;
    int height = 0;
    bool startsColumn = false;
};

// What the system adds around the measured items of a popup menu, in pixels.
struct MenuFrameMetrics {
    int itemExtraWidth = 0; // added to every owner-drawn item's measured width
    int columnGap = 0;      // between two columns
    int frameWidth = 0;     // borders and margins, left and right together
    int frameHeight = 0;    // top and bottom together
};

// The room a submenu takes: as the columns its items break into, and as one single column.
struct SubmenuExtent {
    int columns = 1;
    int columnsWidth = 0;    // every column side by side, frame included
    int oneColumnWidth = 0;  // frame included
    int oneColumnHeight = 0; // every item below the other, frame included
};

SubmenuExtent MeasureSubmenu(const std::vector<MenuItemBox>& items,
                             const MenuFrameMetrics& metrics);

enum class SubmenuLayout {
    Columns, // as the items' column breaks say
    Scroll,  // one column, as tall as the work area, that the system scrolls
};

// ownerItem is the item the submenu opens from, in screen coordinates: the submenu shows on
// its right or, where that side is too narrow, on its left. Columns that fit on neither side
// become one scrolling column; with scrollTall, so does any submenu taller than the work area.
SubmenuLayout ChooseSubmenuLayout(const SubmenuExtent& extent, const RECT& workArea,
                                  const RECT& ownerItem, bool scrollTall);

// What the system adds around owner-drawn items of a popup menu in that font.
MenuFrameMetrics PopupMenuMetrics(const LOGFONTW& menuFont);
// Columns: the items' breaks as they are and no limit on the height. Scroll: no break, and at
// most the height given, beyond which the system scrolls the menu with arrows of its own.
void ApplySubmenuLayout(HMENU menu, SubmenuLayout layout, int scrollHeight);

} // namespace tolvern
