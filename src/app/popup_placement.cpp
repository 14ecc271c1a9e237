// Where the launcher menu pops up: the screen area the taskbar leaves free, the menu's
// estimated height, and the screen corners with their animation directions and cursor targets.
#include "app/popup_placement.h"

#include "framework/menus.h"

namespace tolvern {

TPopupCorner PopupCornerFromName(const std::wstring& name) {
    if (name == L"LeftTop")
        return TPopupCorner::LeftTop;
    if (name == L"LeftBottom")
        return TPopupCorner::LeftBottom;
    if (name == L"RightTop")
        return TPopupCorner::RightTop;
    return TPopupCorner::RightBottom;
}

RECT WorkAreaFromTaskbar(const std::optional<RECT>& taskbar, int screenWidth, int screenHeight) {
    if (!taskbar)
        return {0, 0, screenWidth, screenHeight};
    const RECT& t = *taskbar;
    // Each edge of the taskbar that lies inside the screen bounds the free area on that side.
    return {t.right < screenWidth ? t.right : 0, t.bottom < screenHeight ? t.bottom : 0,
            t.left > 0 ? t.left : screenWidth, t.top > 0 ? t.top : screenHeight};
}

RECT GetWorkAreaRect() {
    std::optional<RECT> taskbar;
    RECT rect{};
    HWND window = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (window && ::GetWindowRect(window, &rect))
        taskbar = rect;
    return WorkAreaFromTaskbar(taskbar, ::GetSystemMetrics(SM_CXSCREEN),
                               ::GetSystemMetrics(SM_CYSCREEN));
}

int GetPopupHeight(const TMenuItem& items, int iconSize) {
    const int itemHeight = iconSize == 16 ? 19 : iconSize + 1;
    int height = 6;
    for (int i = 0; i < items.Count(); ++i) {
        const TMenuItem* item = items.Items(i);
        if (item->Visible)
            height += item->IsLine() ? 8 : itemHeight;
    }
    return height;
}

TCornerPlacement PlaceAtCorner(TPopupCorner corner, const RECT& workArea, int popupHeight,
                               int barWidth) {
    TCornerPlacement placement;
    const bool left = corner == TPopupCorner::LeftTop || corner == TPopupCorner::LeftBottom;
    const bool top = corner == TPopupCorner::LeftTop || corner == TPopupCorner::RightTop;
    POINT& p = placement.popupPoint;
    p.x = left ? workArea.left : workArea.right;
    p.y = top ? workArea.top : workArea.bottom - popupHeight;
    placement.animation =
        (left ? maLeftToRight : maRightToLeft) | (top ? maTopToBottom : maBottomToTop);
    placement.cursorTarget = {left ? p.x + barWidth + 16 : p.x - 64, p.y + 16};
    return placement;
}

} // namespace tolvern
