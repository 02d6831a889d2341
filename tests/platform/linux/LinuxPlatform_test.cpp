#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace tavlor::platform {
namespace {

TEST(InstalledProgramFolder, PrefixAndBuildBinFoldersAreInstallationsOthersAreCopiesOfTheirOwn)
{
    const struct
    {
        const char* folder;
        bool installed;
    } cases[] = {
        {"/usr/bin/", true},
        {"/usr/local/bin", true},
        {"/home/u/.local/bin/", true},
        {"/home/u/src/build/bin/", true},
        {"/opt/tavlor/", false},
        {"/media/stick/Tavlor/", false},
        {"/home/u/bin-tools/", false},
        {"/home/u/cabin/", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isInstalledProgramFolder(c.folder), c.installed) << c.folder;
    }
}

} // namespace
} // namespace tavlor::platform
