// Entry of every test program: OLE for the thread, then GoogleTest. A program built with
// TOLVERN_CHANGES_USER_STATE refuses to run where the user state is not the tests' own.
#include "base/com.h"

#ifdef TOLVERN_CHANGES_USER_STATE
#include "support/user_state_guard.h"

#include <cstdio>
#endif

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
#ifdef TOLVERN_CHANGES_USER_STATE
    if (!tolvern::test::UserStateBelongsToTests()) {
        std::fputws(tolvern::test::UserStateRefusal().c_str(), stderr);
        return 2;
    }
#endif
    tolvern::OleScope ole;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
