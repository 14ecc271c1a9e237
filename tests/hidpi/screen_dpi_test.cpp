// The run's screen is at 150%: what the program's DPI functions see there.
#include "base/dpi.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tolvern
