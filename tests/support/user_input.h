// Mouse clicks and key presses sent as a user's input (SendInput), one event at a time.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace tolvern::test {

// Moves the mouse to the screen point.
void MoveMouseTo(POINT at);
// Moves the mouse to the screen point and presses and releases the button there.
void ClickAt(POINT at, bool rightButton);
// Presses (down) or releases a mouse button at the screen point, the pointer moved there first.
void MouseButtonAt(POINT at, bool rightButton, bool down);
// Presses the left button at `from`, moves the mouse in steps to `to` and releases it there.
void DragWithLeftButton(POINT from, POINT to);
// Presses the keys in order and releases them in reverse order (a chord such as Ctrl+Alt+L),
// with a pause after each event: a queued Alt press would close the menu the chord opens.
void PressChord(std::initializer_list<WORD> keys);
POINT CursorPos();
// The middle of a window, on the screen.
POINT WindowCentre(HWND window);

} // namespace tolvern::test
