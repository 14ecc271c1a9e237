// The run's screen is at 150%: what the program's DPI functions see there.
#include "base/dpi.h"
#include "framework/hint_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvern {
namespace {

TEST(ScreenDpi, TheSystemAndItsMonitorAre144AndIconsAre24And48) {
    EXPECT_EQ(SystemDpi(), 144);
    EXPECT_EQ(DpiAtPoint(POINT{10, 10}), 144);
    HWND own = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(DpiOfWindow(own), 144);
    ::DestroyWindow(own);
    EXPECT_EQ(SmallIconSize(144), 24);
    EXPECT_EQ(LargeIconSize(144), 48);
    EXPECT_EQ(SmallIconSize(96), 16);
    EXPECT_EQ(LargeIconSize(96), 32);
    EXPECT_EQ(ScaleForDpi(28, 144), 42);
    EXPECT_EQ(ScaleForDpi(19, 144), 29);
    NONCLIENTMETRICSW at96{}, at144{};
    ASSERT_TRUE(NonClientMetricsForDpi(at96, 96));
    ASSERT_TRUE(NonClientMetricsForDpi(at144, 144));
    EXPECT_EQ(at144.lfMenuFont.lfHeight, ::MulDiv(at96.lfMenuFont.lfHeight, 3, 2));
}

// The progress hint takes the font and margins of the monitor it shows on.
TEST(ScreenDpi, TheHintIsSizedForItsMonitor) {
    THintWindow hint(nullptr);
    const std::wstring text = L"プログラム - 012/345項目を処理中([ESC]で中断)";
    const RECT system = hint.CalcHintRect(text);
    hint.Dpi = 144;
    const RECT same = hint.CalcHintRect(text);
    hint.Dpi = 96;
    const RECT at96 = hint.CalcHintRect(text);
    // The text 368 x 18 at 144 DPI and 238 x 12 at 96, with margins of 12 and 6 or 8 and 4.
    using Sizes = std::vector<long>;
    EXPECT_EQ((Sizes{0, 0, 380, 24, 0, 0, 380, 24, 0, 0, 246, 16}),
              (Sizes{system.left, system.top, system.right, system.bottom, same.left, same.top,
                     same.right, same.bottom, at96.left, at96.top, at96.right, at96.bottom}));
}

} // namespace
} // namespace tolvern
