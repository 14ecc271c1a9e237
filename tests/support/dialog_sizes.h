// What a dialog sized in pixels, read back from its windows: list columns, status bar parts,
// control fonts and places.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace tolvern::test {

// The widths of the list view's columns, from the first.
std::vector<int> ColumnWidths(HWND list);
// The right edges of the status bar's parts (-1: to the end).
std::vector<int> StatusParts(HWND statusBar);
// The height of the control's font (negative: the character height), 0 when it has none.
int FontHeight(HWND control);
// The width of the icon's image.
int IconWidth(HICON icon);
// The window's place in its parent's client area.
RECT RectInParent(HWND window);
// The window's client area's width and height.
std::pair<int, int> ClientSize(HWND window);

} // namespace tolvern::test
