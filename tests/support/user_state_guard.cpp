// Whether this machine's user state belongs to the tests.
#include "support/user_state_guard.h"

#include <windows.h>

namespace tolvern::test {

bool UserStateBelongsToTests() {
    wchar_t allow[8] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TOLVERN_ALLOW_USER_STATE", allow, 8);
    if (length == 1 && allow[0] == L'1')
        return true;
    return ::GetFileAttributesW(kTestPrefixMarker) != INVALID_FILE_ATTRIBUTES;
}

std::wstring UserStateRefusal() {
    return std::wstring(L"This test program changes the user's settings, Startup and special "
                        L"folders, and file types. It runs only in a Wine prefix made by "
                        L"tools/make-wine-prefix.sh (marked by ") +
           kTestPrefixMarker + L"), or with TOLVERN_ALLOW_USER_STATE=1 for a throw-away account.\n";
}

} // namespace tolvern::test
