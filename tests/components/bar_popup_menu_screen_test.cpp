// The demo banner menu popped up for real in the Wine desktop, driven from a second thread;
// screenshots are kept in the artifacts folder (bar_menu_*.png) for a person to look at.
#include "support/demo_menu.h"
#include "support/menu_driver.h"
#include "support/screen_capture.h"

#include <gtest/gtest.h>

#include <thread>

namespace tolvern {
namespace {

using test::CaptureScreen;
using test::Key;
using test::DemoMenu;
using test::SaveArtifact;
using Screenshot = test::Image;

bool Near(COLORREF c, int r, int g, int b, int tolerance = 2) {
    return std::abs(GetRValue(c) - r) <= tolerance && std::abs(GetGValue(c) - g) <= tolerance &&
           std::abs(GetBValue(c) - b) <= tolerance;
}

struct Observed {
    bool menuShown = false;
    RECT items{}; // the item area, relative to the captured window rectangle
    Screenshot menuShot;
    Screenshot selectedShot;
    Screenshot submenuShot;
    bool submenuShown = false;
    bool secondLevelShown = false;
};

void PopUpAndShoot(int style, const std::wstring& name, Observed& seen) {
    DemoMenu demo(style);
    std::thread driver([&] {
        HWND menu = test::WaitForMenuWindow();
        if (!menu)
            return;
        seen.menuShown = true;
        ::Sleep(500);
        RECT whole{};
        ::GetWindowRect(menu, &whole);
        HMENU root = demo.menu.Handle();
        RECT first{}, last{};
        ::GetMenuItemRect(menu, root, 0, &first);
        ::GetMenuItemRect(menu, root, static_cast<UINT>(::GetMenuItemCount(root) - 1), &last);
        seen.items = RECT{first.left - whole.left, first.top - whole.top, last.right - whole.left,
                          last.bottom - whole.top};
        seen.menuShot = CaptureScreen(&whole);
        SaveArtifact(seen.menuShot, name + L"_menu");
        Key(menu, VK_DOWN); // the first item
        Key(menu, VK_DOWN); // skips the separator: "デスクトップ(&T)"
        Key(menu, VK_DOWN);
        ::Sleep(300);
        seen.selectedShot = CaptureScreen(&whole);
        SaveArtifact(seen.selectedShot, name + L"_selected");
        Key(menu, VK_UP);
        Key(menu, VK_RIGHT); // opens the two-level submenu
        ::Sleep(300);
        if (HWND sub = test::WaitForMenuWindow({menu})) {
            Key(sub, VK_DOWN); // from "画面のプロパティ" over the separator to "ドキュメント(&D)"
            Key(sub, VK_RIGHT);
            ::Sleep(300);
            seen.submenuShown = true;
            seen.secondLevelShown = test::WaitForMenuWindow({menu, sub}) != nullptr;
        }
        ::Sleep(300);
        seen.submenuShot = CaptureScreen();
        SaveArtifact(seen.submenuShot, name + L"_submenu");
        for (int i = 0; i < 4; ++i)
            if (HWND w = ::FindWindowW(L"#32768", nullptr); w && ::IsWindowVisible(w))
                Key(w, VK_ESCAPE);
    });
    ::SetForegroundWindow(demo.menu.WindowHandle());
    demo.menu.Popup(120, 80);
    driver.join();
    EXPECT_EQ(0, demo.clicks);
}

void CheckBanner(const Observed& seen, int barWidth) {
    ASSERT_TRUE(seen.menuShown);
    const Screenshot& shot = seen.menuShot;
    const int left = seen.items.left, top = seen.items.top;
    const int h = seen.items.bottom - seen.items.top;
    ASSERT_GT(h, 200);
    // Teal at the top, near black at the bottom, in the banner's first column.
    EXPECT_TRUE(Near(shot.At(left, top), 0, 128, 128)) << std::hex << shot.At(left, top);
    EXPECT_TRUE(Near(shot.At(left, top + h - 1), 0, 0, 0))
        << std::hex << shot.At(left, top + h - 1);
    // The upward text: white pixels inside the banner, in its lower part.
    int white = 0;
    for (int y = top + h / 3; y < top + h; ++y)
        for (int x = left; x < left + barWidth - 2; ++x)
            white += Near(shot.At(x, y), 255, 255, 255, 40);
    EXPECT_GT(white, 100);
    // Icons: the monitor's blue screen and the computer's teal screen are drawn.
    int blue = 0;
    for (int y = top; y < top + h; ++y)
        for (int x = left + barWidth; x < left + barWidth + 20; ++x)
            blue += Near(shot.At(x, y), 0, 120, 215, 4);
    EXPECT_GT(blue, 20);
}

TEST(BarPopupMenuOnScreen, WindowsStyle) {
    Observed seen;
    PopUpAndShoot(0, L"bar_menu_windows", seen);
    CheckBanner(seen, 28);
    EXPECT_TRUE(seen.submenuShown);
    EXPECT_TRUE(seen.secondLevelShown);
}

TEST(BarPopupMenuOnScreen, Office97Style) {
    Observed seen;
    PopUpAndShoot(1, L"bar_menu_office97", seen);
    CheckBanner(seen, 28);
    EXPECT_TRUE(seen.submenuShown);
    EXPECT_TRUE(seen.secondLevelShown);
}

} // namespace
} // namespace tolvern
