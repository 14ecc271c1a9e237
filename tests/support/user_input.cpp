// Mouse clicks and key presses sent as a user's input (SendInput), one event at a time.
#include "support/user_input.h"

#include <vector>

namespace tolvern::test {

namespace {
void Send(INPUT input) {
    ::SendInput(1, &input, sizeof input);
    ::Sleep(25);
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}
} // namespace

static INPUT MouseInput(POINT at, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags;
    return input;
}

void MoveMouseTo(POINT at) {
    Send(MouseInput(at, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE));
}

void ClickAt(POINT at, bool rightButton) {
    MoveMouseTo(at);
    // A press sent before the move has arrived lands where the pointer was.
    for (int i = 0; i < 50 && (CursorPos().x != at.x || CursorPos().y != at.y); ++i)
        ::Sleep(10);
    ::Sleep(50);
    INPUT input = MouseInput(at, 0);
    input.mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    Send(input);
    input.mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    Send(input);
}

void PressChord(std::initializer_list<WORD> keys) {
    for (WORD vk : keys)
        Send(KeyInput(vk, false));
    std::vector<WORD> reversed(keys);
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it)
        Send(KeyInput(*it, true));
}

POINT CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

} // namespace tolvern::test
