// What a dialog sized in pixels, read back from its windows.
#include "support/dialog_sizes.h"

#include <commctrl.h>

namespace tolvern::test {

std::vector<int> ColumnWidths(HWND list) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> widths;
    for (int column = 0; column < count; ++column)
        widths.push_back(static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

std::vector<int> StatusParts(HWND statusBar) {
    std::vector<int> parts(static_cast<size_t>(::SendMessageW(statusBar, SB_GETPARTS, 0, 0)));
    ::SendMessageW(statusBar, SB_GETPARTS, parts.size(), reinterpret_cast<LPARAM>(parts.data()));
    return parts;
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    return handle && ::GetObjectW(handle, sizeof font, &font) ? font.lfHeight : 0;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

RECT RectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::pair<int, int> ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

} // namespace tolvern::test
