// The "/WAIT:" argument of the command line and the single-instance claim.
#include "app/launcher_entry.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(SingleInstance, AMutexThatExistsClaimsEvenWhenItCannotBeOpened) {
    const std::wstring name = L"TolvernTestMutex" + std::to_wstring(::GetCurrentProcessId());
    UniqueHandleObject first, second;
    ASSERT_TRUE(ClaimSingleInstance(name.c_str(), first));
    EXPECT_FALSE(ClaimSingleInstance(name.c_str(), second));
    first.reset();
    second.reset();

    // A copy running elevated: its mutex grants this user no access at all (an empty list).
    ACL noAccess{};
    ASSERT_TRUE(::InitializeAcl(&noAccess, sizeof noAccess, ACL_REVISION));
    SECURITY_DESCRIPTOR descriptor{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, &noAccess, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    UniqueHandleObject elevated(::CreateMutexW(&attributes, FALSE, name.c_str()));
    ASSERT_TRUE(elevated);
    ASSERT_FALSE(UniqueHandleObject(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str())))
        << "the denied mutex opened";
    EXPECT_FALSE(ClaimSingleInstance(name.c_str(), second));
    EXPECT_FALSE(second);
}

TEST(LauncherStart, FailsCriticalErrorsItselfBeforeAnythingElse) {
    // With a copy running the launcher ends at once, after what it does first of all.
    UniqueHandleObject running(::CreateMutexW(nullptr, FALSE, kMutexName));
    ASSERT_TRUE(running);
    const UINT previous = ::SetErrorMode(0);
    EXPECT_EQ(kExitOk, RunLauncher({}));
    EXPECT_EQ(UINT{SEM_FAILCRITICALERRORS}, ::GetErrorMode() & SEM_FAILCRITICALERRORS);
    ::SetErrorMode(previous);
}

} // namespace
} // namespace tolvern
