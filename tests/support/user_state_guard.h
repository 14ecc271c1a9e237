// Whether this machine's user state (settings key, Startup and special folders, file types)
// belongs to the tests: true in a Wine prefix made by tools/make-wine-prefix.sh, or where
// TOLVERN_ALLOW_USER_STATE=1 says so.
#pragma once

#include <string>

namespace tolvern::test {

// The marker file that tools/make-wine-prefix.sh puts into every prefix it makes.
inline constexpr wchar_t kTestPrefixMarker[] = L"C:\\tolvern-test-prefix.txt";

bool UserStateBelongsToTests();
// What a test program that changes user state says when it refuses to run.
std::wstring UserStateRefusal();

} // namespace tolvern::test
