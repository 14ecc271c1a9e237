// Entry of every test program: OLE for the thread, then GoogleTest.
#include "base/com.h"

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    tolvern::OleScope ole;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
