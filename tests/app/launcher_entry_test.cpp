// The "/WAIT:" argument of the command line.
#include "app/launcher_entry.h"

#include <gtest/gtest.h>

namespace tolvern {
namespace {

DWORD WaitOf(std::vector<std::wstring> args) {
    WaitArgument w = ParseWaitArgument(args);
    EXPECT_NE(WaitArgument::Kind::Invalid, w.kind);
    return w.kind == WaitArgument::Kind::Wait ? w.milliseconds : 0;
}

TEST(WaitArgument, WaitsTheGivenSecondsCappedAtThirty) {
    EXPECT_EQ(5000u, WaitOf({L"/WAIT:5"}));
    EXPECT_EQ(10000u, WaitOf({L"/wait:10"}));
    EXPECT_EQ(2000u, WaitOf({L"/Wait:2", L"ignored"}));
    EXPECT_EQ(30000u, WaitOf({L"/WAIT:100"}));
    EXPECT_EQ(30000u, WaitOf({L"/WAIT:2147483647"}));
}

TEST(WaitArgument, AnythingElseMeansNoWait) {
    EXPECT_EQ(0u, WaitOf({}));
    EXPECT_EQ(0u, WaitOf({L"/WAIT:0"}));
    EXPECT_EQ(0u, WaitOf({L"/WAIT:-5"})); // a negative number must not sleep
    EXPECT_EQ(0u, WaitOf({L"-WAIT:5"}));
    EXPECT_EQ(0u, WaitOf({L"/WAIT5"}));
    EXPECT_EQ(0u, WaitOf({L"/WAI"}));
    EXPECT_EQ(0u, WaitOf({L"x", L"/WAIT:5"})); // only the first argument counts
}

TEST(WaitArgument, ARestThatIsNoNumberIsAnError) {
    for (const wchar_t* bad : {L"/WAIT:", L"/WAIT:abc", L"/wait:5s", L"/WAIT: 5"})
        EXPECT_EQ(WaitArgument::Kind::Invalid, ParseWaitArgument({bad}).kind)
            << testing::PrintToString(std::wstring(bad));
}

} // namespace
} // namespace tolvern
