#include "platform/win32/WinInstanceGuard.h"

#include <gtest/gtest.h>

#include <cstring>

// `--guard-child NAME` makes this executable the second process of the guard test: it reports
// what the guard answered as its exit code and holds nothing afterwards.
int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--guard-child") == 0) {
        tavlor::win32::WinInstanceGuard guard;
        return static_cast<int>(guard.acquire(argv[2])) + 10;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
