// Decimal parsing and path helpers.
#include "base/text.h"

#include <gtest/gtest.h>

namespace tolvern {
namespace {

TEST(ParseDecimalInt, AcceptsSignedDecimalsOnly) {
    EXPECT_EQ(200, ParseDecimalInt(L"200"));
    EXPECT_EQ(-2147483624, ParseDecimalInt(L"-2147483624"));
    EXPECT_EQ(7, ParseDecimalInt(L"+7"));
    EXPECT_EQ(INT_MIN, ParseDecimalInt(L"-2147483648"));
    for (const wchar_t* bad : {L"", L"-", L"abc", L"12a", L" 5", L"2147483648", L"1.5", L"0x10"})
        EXPECT_FALSE(ParseDecimalInt(bad).has_value()) << testing::PrintToString(bad);
}

TEST(ExtractFileDir, DropsTheLastComponentAndItsBackslash) {
    EXPECT_EQ(L"C:\\Program Files\\Tolvern", ExtractFileDir(L"C:\\Program Files\\Tolvern\\t.exe"));
    EXPECT_EQ(L"C:", ExtractFileDir(L"C:t.exe"));
    EXPECT_EQ(L"", ExtractFileDir(L"t.exe"));
}

} // namespace
} // namespace tolvern
