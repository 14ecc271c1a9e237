// Where the launcher menu pops up among several monitors: the monitor the user is on and the
// corners of its work area, as pure geometry (Wine under Xvfb has one monitor), and once on the
// real monitor.
#include "app/foreground.h"
#include "app/popup_placement.h"
#include "framework/menus.h"
#include "framework/submenu_fit.h"
#include "support/foreign_window.h"
#include "support/menu_driver.h"
#include "support/started_launcher.h"

#include <gtest/gtest.h>

#include <thread>

namespace tolvern {
namespace {

using namespace test;

// A primary monitor with a taskbar at its bottom, one left of it (negative x) and one above it
// (negative y) at 150%.
const MonitorArea kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96};
const MonitorArea kLeft{{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, 96};
const MonitorArea kAbove{{0, -1080, 1920, 0}, {0, -1080, 1920, -40}, 144};

TScreenLayout Layout(std::vector<MonitorArea> monitors) {
    TScreenLayout layout;
    layout.monitors = std::move(monitors);
    return layout;
}

TScreenLayout NoMonitor(std::optional<RECT> taskbar) {
    TScreenLayout layout;
    layout.screen = {1024, 768};
    layout.taskbar = taskbar;
    return layout;
}

std::vector<LONG> Values(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// Everything a placement decides, as one comparable row.
std::vector<LONG> Values(const TCornerPlacement& p) {
    return {p.popupPoint.x,   p.popupPoint.y,  p.alignRight ? 1 : 0, static_cast<LONG>(p.animation),
            p.cursorTarget.x, p.cursorTarget.y};
}

constexpr LONG kRightBottom = maRightToLeft | maBottomToTop;
constexpr LONG kRightTop = maRightToLeft | maTopToBottom;
constexpr LONG kLeftBottom = maLeftToRight | maBottomToTop;
constexpr LONG kLeftTop = maLeftToRight | maTopToBottom;

TEST(PopupPlacement, TheCornersOfTheWorkAreaOfTheMonitorUnderThePointer) {
    const TScreenLayout three = Layout({kPrimary, kLeft, kAbove});
    const MonitorArea bare{{0, 0, 1024, 768}, {0, 0, 1024, 768}, 96};
    // An auto-hidden taskbar leaves the whole monitor to the windows; its window, reported as a
    // strip at the edge, shrinks nothing.
    TScreenLayout autoHidden = Layout({bare});
    autoHidden.taskbar = RECT{0, 766, 1024, 768};
    const TScreenLayout top = Layout({{bare.monitor, {0, 30, 1024, 768}, 96}});
    const TScreenLayout left = Layout({{bare.monitor, {60, 0, 1024, 768}, 96}});
    const TScreenLayout right = Layout({{bare.monitor, {0, 0, 964, 768}, 96}});
    struct Row {
        const char* name;
        TScreenLayout layout;
        POINT pointer;
        TPopupCorner corner;
        int height;
        std::vector<LONG> expected; // point, alignRight, animation, cursor target
    };
    using C = TPopupCorner;
    // clang-format off
    const std::vector<Row> table = {
        // Left of the primary monitor: its right edge is the primary's first column, so the
        // menu ends a pixel short of it.
        {"left, right bottom", three, {-500, 300}, C::RightBottom, 201, {-1, 783, 1, kRightBottom, -64, 799}},
        {"left, right top", three, {-500, 300}, C::RightTop, 201, {-1, 0, 1, kRightTop, -64, 16}},
        {"left, left top", three, {-500, 300}, C::LeftTop, 201, {-1280, 0, 0, kLeftTop, -1236, 16}},
        {"left, left bottom", three, {-500, 300}, C::LeftBottom, 201, {-1280, 783, 0, kLeftBottom, -1236, 799}},
        // Above it: nothing adjoins on its right.
        {"above, right bottom", three, {500, -500}, C::RightBottom, 201, {1920, -241, 1, kRightBottom, 1856, -225}},
        {"above, left top", three, {500, -500}, C::LeftTop, 201, {0, -1080, 0, kLeftTop, 44, -1064}},
        {"primary, right bottom", three, {1000, 500}, C::RightBottom, 201, {1920, 839, 1, kRightBottom, 1856, 855}},
        {"primary, left bottom", three, {1000, 500}, C::LeftBottom, 201, {0, 839, 0, kLeftBottom, 44, 855}},
        {"primary, right top", three, {1000, 500}, C::RightTop, 201, {1920, 0, 1, kRightTop, 1856, 16}},
        // Taller than the work area: the top level, which does not scroll, starts at its top.
        {"primary, tall", three, {1000, 500}, C::RightBottom, 1200, {1920, 0, 1, kRightBottom, 1856, 16}},
        {"above, tall", three, {500, -500}, C::LeftBottom, 1200, {0, -1080, 0, kLeftBottom, 44, -1064}},
        {"left, tall", three, {-500, 300}, C::RightBottom, 1000, {-1, 0, 1, kRightBottom, -64, 16}},
        // A taskbar on each edge of one monitor.
        {"taskbar top, left top", top, {500, 300}, C::LeftTop, 201, {0, 30, 0, kLeftTop, 44, 46}},
        {"taskbar top, right bottom", top, {500, 300}, C::RightBottom, 201, {1024, 567, 1, kRightBottom, 960, 583}},
        {"taskbar left, left bottom", left, {500, 300}, C::LeftBottom, 201, {60, 567, 0, kLeftBottom, 104, 583}},
        {"taskbar right, right top", right, {500, 300}, C::RightTop, 201, {964, 0, 1, kRightTop, 900, 16}},
        {"taskbar right, right bottom", right, {500, 300}, C::RightBottom, 201, {964, 567, 1, kRightBottom, 900, 583}},
        {"auto-hidden taskbar", autoHidden, {500, 300}, C::RightBottom, 201, {1024, 567, 1, kRightBottom, 960, 583}},
        // No monitor answers: the screen less the taskbar window, or the whole screen.
        {"no monitor, no taskbar", NoMonitor(std::nullopt), {500, 300}, C::RightBottom, 201, {1024, 567, 1, kRightBottom, 960, 583}},
        {"no monitor, taskbar", NoMonitor(RECT{0, 738, 1024, 768}), {500, 300}, C::RightBottom, 201, {1024, 537, 1, kRightBottom, 960, 553}},
    };
    // clang-format on
    for (const Row& row : table) {
        const MonitorArea on = ChooseMonitor(row.layout, std::nullopt, row.pointer);
        EXPECT_EQ(row.expected,
                  Values(PlaceAtCorner(row.corner, on, row.layout.monitors, row.height, 28)))
            << row.name;
    }
}

TEST(PopupPlacement, TheMonitorOfTheUsersWindowElseOfThePointer) {
    const TScreenLayout three = Layout({kPrimary, kLeft, kAbove});
    struct Row {
        const char* name;
        std::optional<RECT> window;
        POINT pointer;
        std::vector<LONG> expected; // monitor rectangle and DPI
    };
    // clang-format off
    const std::vector<Row> table = {
        {"window on the left", RECT{-900, 100, -300, 500}, {500, 500}, {-1280, 0, 0, 1024, 96}},
        {"window mostly on the primary", RECT{-200, 100, 800, 500}, {-500, 300}, {0, 0, 1920, 1080, 96}},
        {"window mostly above", RECT{-100, -300, 300, 100}, {500, 500}, {0, -1080, 1920, 0, 144}},
        {"window on no monitor", RECT{3000, 200, 3400, 400}, {-500, 300}, {0, 0, 1920, 1080, 96}},
        {"pointer at the left's last pixel", std::nullopt, {-1, 1023}, {-1280, 0, 0, 1024, 96}},
        {"pointer at the origin", std::nullopt, {0, 0}, {0, 0, 1920, 1080, 96}},
        {"pointer above", std::nullopt, {1919, -1}, {0, -1080, 1920, 0, 144}},
        {"pointer on no monitor", std::nullopt, {-1300, 1100}, {-1280, 0, 0, 1024, 96}},
    };
    // clang-format on
    for (const Row& row : table) {
        const MonitorArea on = ChooseMonitor(three, row.window, row.pointer);
        std::vector<LONG> actual = Values(on.monitor);
        actual.push_back(on.dpi);
        EXPECT_EQ(row.expected, actual) << row.name;
    }
    TScreenLayout none = NoMonitor(RECT{0, 0, 60, 768});
    none.systemDpi = 120;
    const MonitorArea fallback = ChooseMonitor(none, RECT{100, 100, 200, 200}, {500, 300});
    EXPECT_EQ((std::vector<LONG>{0, 0, 1024, 768}), Values(fallback.monitor));
    EXPECT_EQ((std::vector<LONG>{60, 0, 1024, 768}), Values(fallback.work));
    EXPECT_EQ(120, fallback.dpi);

    // A click's point is kept on the monitor it names; one remembered from elsewhere is moved
    // onto the nearest.
    auto on = [](POINT p, const MonitorArea& m) {
        const POINT q = PointOnMonitor(p, m.monitor);
        return std::vector<LONG>{q.x, q.y};
    };
    EXPECT_EQ((std::vector<LONG>{-500, 300}), on({-500, 300}, kLeft));
    EXPECT_EQ((std::vector<LONG>{-1280, 300}), on({-2000, 300}, kLeft));
    EXPECT_EQ((std::vector<LONG>{1919, 1079}), on({5000, 5000}, kPrimary));
    EXPECT_EQ((std::vector<LONG>{0, -1080}), on({-10, -2000}, kAbove));

    // A submenu taller than its monitor's work area scrolls there and not on a taller one.
    SubmenuExtent tall;
    tall.oneColumnWidth = tall.columnsWidth = 200;
    tall.oneColumnHeight = 1000;
    const RECT item{-1200, 10, -1000, 29};
    EXPECT_EQ(SubmenuLayout::Scroll, ChooseSubmenuLayout(tall, kLeft.work, item, true));
    EXPECT_EQ(SubmenuLayout::Columns, ChooseSubmenuLayout(tall, kPrimary.work, item, true));
}

// Restores the taskbar window of the Wine desktop where it was.
struct MovedTaskbar {
    explicit MovedTaskbar(const RECT& to) : window(::FindWindowW(L"Shell_TrayWnd", nullptr)) {
        ::GetWindowRect(window, &was);
        Move(to);
    }
    ~MovedTaskbar() { Move(was); }
    void Move(const RECT& r) const {
        ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND window;
    RECT was{};
};

// Wine's monitor keeps the work area its taskbar left at the start (the screen above 20 pixels)
// when the taskbar window moves to the top: the hot key's corner follows the monitor's work
// area, not the taskbar window.
TEST(PopupPlacement, TheHotKeyUsesTheWorkAreaOfTheRealMonitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    ASSERT_EQ((std::vector<LONG>{0, 0, 1024, 748}), Values(info.rcWork));
    ASSERT_NE(nullptr, ::FindWindowW(L"Shell_TrayWnd", nullptr));

    ForeignWindow user(WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"user");
    for (const wchar_t* corner : {L"LeftTop", L"RightBottom"}) {
        ScratchKey key;
        key.SetString(kSettingSection, L"PopupPos", corner);
        StartedLauncher launcher(key);
        // Once the launcher's icon is in the tray, which lays the taskbar out again.
        MovedTaskbar taskbar(RECT{0, 0, 1024, 20});
        ASSERT_EQ((std::vector<LONG>{0, 20, 1024, 768}), Values(GetWorkAreaRect()));
        ASSERT_EQ((std::vector<LONG>{0, 0, 1024, 748}), Values(WorkAreaOf(RECT{10, 10, 20, 20})));
        ActivateWindow(user.Handle());
        ASSERT_TRUE(ForegroundBecomes(user.Handle()));
        RECT shown{};
        std::thread driver([&] {
            if (HWND menu = WaitForMenuWindow())
                ::GetWindowRect(menu, &shown);
            CloseAllMenus();
        });
        launcher.form2.WMHotKey();
        driver.join();
        const int height = shown.bottom - shown.top;
        if (std::wstring(corner) == L"LeftTop") {
            EXPECT_EQ(0, shown.left);
            EXPECT_EQ(0, shown.top);
        } else {
            EXPECT_EQ(1024, shown.right) << "right-aligned at the work area's edge";
            EXPECT_NEAR(748, shown.bottom, 6) << "the estimate of the height is that close";
        }
        EXPECT_GT(height, 100);
    }
}

} // namespace
} // namespace tolvern
