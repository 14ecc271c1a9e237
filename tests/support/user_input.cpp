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

namespace {
// A press sent before the move has arrived lands where the pointer was.
void MoveMouseAndWait(POINT at) {
    MoveMouseTo(at);
    for (int i = 0; i < 50 && (CursorPos().x != at.x || CursorPos().y != at.y); ++i)
        ::Sleep(10);
    ::Sleep(50);
}

// A press carries its own position: a late notice of an earlier pointer move must not put it
// elsewhere. A release does not: the program may have moved the pointer since the press.
void ButtonAt(POINT at, DWORD button) {
    const bool press = button & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN);
    Send(MouseInput(at, press ? button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE : button));
}
} // namespace

void MouseButtonAt(POINT at, bool rightButton, bool down) {
    MoveMouseAndWait(at);
    ButtonAt(at, rightButton ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                             : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
}

void ClickAt(POINT at, bool rightButton) {
    MoveMouseAndWait(at);
    ButtonAt(at, rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    ButtonAt(at, rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void DragWithLeftButton(POINT from, POINT to) {
    MoveMouseAndWait(from);
    ButtonAt(from, MOUSEEVENTF_LEFTDOWN);
    // Steps, so that the drag is seen to start before the pointer arrives.
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        const POINT step{from.x + (to.x - from.x) * i / kSteps,
                         from.y + (to.y - from.y) * i / kSteps};
        Send(MouseInput(step, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE));
    }
    MoveMouseAndWait(to);
    ButtonAt(to, MOUSEEVENTF_LEFTUP);
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

POINT WindowCentre(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace tolvern::test
