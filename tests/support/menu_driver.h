// Driving a popup menu that this process shows, from a second thread, as a user's keys would.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace tolvern::test {

// The first visible menu window (class "#32768") that is none of the given ones; waits up to
// thirty seconds, null when none shows.
HWND WaitForMenuWindow(std::initializer_list<HWND> except = {});

// Posts a key press and release to a menu window, with the pauses Wine needs between them.
void Key(HWND menu, UINT vk);

// Whether the item at the position is the menu's highlighted (selected) one.
bool Highlighted(HMENU menu, int position);

// The texts of a menu's items, in order (what each item carries besides its drawing).
std::vector<std::wstring> MenuTexts(HMENU menu);

// Presses Esc on every visible menu window until none is left.
void CloseAllMenus();

} // namespace tolvern::test
