// Driving a popup menu that this process shows, from a second thread, as a user's keys would.
#include "support/menu_driver.h"

#include <algorithm>
#include <cstdio>

namespace tolvern::test {

HWND WaitForMenuWindow(std::initializer_list<HWND> except) {
    // A menu shows within a second on an idle machine; a busy one takes many times as long,
    // and a menu that shows after its driver gave up would never be closed.
    for (int i = 0; i < 3000; ++i) {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
            if (::IsWindowVisible(w) && std::find(except.begin(), except.end(), w) == except.end())
                return w;
        ::Sleep(10);
    }
    return nullptr;
}

void Key(HWND menu, UINT vk) {
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(menu, WM_KEYDOWN, vk, scan | 1);
    ::Sleep(30);
    ::PostMessageW(menu, WM_KEYUP, vk, scan | 1 | (3u << 30));
    ::Sleep(30);
}

bool Highlighted(HMENU menu, int position) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    return ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii) &&
           (mii.fState & MFS_HILITE);
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t buffer[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), buffer, 256, MF_BYPOSITION);
        texts.emplace_back(buffer);
    }
    return texts;
}

void CloseAllMenus() {
    // Esc on the first visible menu window in the Z order (a hidden one may come before it),
    // again and again until none shows: a key can go unseen by a menu whose loop is busy or
    // has not begun, and a driver that gave up would leave its popup open for good.
    for (int i = 0; i < 300; ++i) {
        HWND visible = nullptr;
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w && !visible;
             w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
            if (::IsWindowVisible(w))
                visible = w;
        if (!visible)
            return;
        if (i == 16) // worth knowing when a test runs long
            std::fprintf(stderr, "a menu still shows after 16 presses of Esc\n");
        Key(visible, VK_ESCAPE);
        ::Sleep(i < 16 ? 50 : 200);
    }
}

} // namespace tolvern::test
