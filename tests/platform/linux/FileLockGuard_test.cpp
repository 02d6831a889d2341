#include "platform/linux/FileLockGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlor::platform {
namespace {

TEST(FileLockGuardPath, RuntimeFolderFirstElseTempFolderWithTheUserId)
{
    EXPECT_EQ(FileLockGuard::lockPathFor("Tavlor.exe", "/run/user/1000", "/var/tmp", 1000),
              "/run/user/1000/Tavlor.exe.lock");
    EXPECT_EQ(FileLockGuard::lockPathFor("Tavlor.exe", nullptr, nullptr, 1000), "/tmp/Tavlor.exe-1000.lock");
    EXPECT_EQ(FileLockGuard::lockPathFor("Tavlor.exe", "", "/var/tmp", 0), "/var/tmp/Tavlor.exe-0.lock");
}

// Each test gets its own runtime folder so that a running program is not disturbed.
struct FileLockGuardFixture : ::testing::Test
{
    std::filesystem::path folder;
    std::string savedRuntime;
    bool hadRuntime = false;

    void SetUp() override
    {
        char pattern[] = "/tmp/tavlor-lock-XXXXXX";
        folder = ::mkdtemp(pattern);
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
            hadRuntime = true;
            savedRuntime = old;
        }
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
    void TearDown() override
    {
        if (hadRuntime) {
            ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        std::filesystem::remove_all(folder);
    }
};

TEST_F(FileLockGuardFixture, SecondHolderIsRefusedUntilTheFirstReleases)
{
    FileLockGuard first;
    FileLockGuard second;
    ASSERT_EQ(first.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
    EXPECT_TRUE(std::filesystem::exists(folder / "Tavlor.exe.lock"));
    EXPECT_EQ(second.acquire("Tavlor.exe"), InstanceGuard::Result::AlreadyRunning);
    // Another name is another guard.
    FileLockGuard other;
    EXPECT_EQ(other.acquire("Other.exe"), InstanceGuard::Result::Acquired);
    first.release();
    first.release(); // harmless twice
    EXPECT_EQ(second.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
}

TEST_F(FileLockGuardFixture, DestructionFreesTheGuard)
{
    {
        FileLockGuard first;
        ASSERT_EQ(first.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
    }
    FileLockGuard second;
    EXPECT_EQ(second.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
}

TEST_F(FileLockGuardFixture, AKilledHolderFreesTheGuard)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLockGuard held;
        const char result = held.acquire("Tavlor.exe") == InstanceGuard::Result::Acquired ? 'y' : 'n';
        [[maybe_unused]] auto n = ::write(ready[1], &result, 1);
        ::pause();
        ::_exit(0);
    }
    char result = 0;
    ASSERT_EQ(::read(ready[0], &result, 1), 1);
    ASSERT_EQ(result, 'y');
    FileLockGuard mine;
    EXPECT_EQ(mine.acquire("Tavlor.exe"), InstanceGuard::Result::AlreadyRunning);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(FileLockGuardFixture, APlantedLinkIsNotFollowed)
{
    const auto target = folder / "elsewhere";
    std::filesystem::create_symlink(target, folder / "Tavlor.exe.lock");
    FileLockGuard guard;
    EXPECT_EQ(guard.acquire("Tavlor.exe"), InstanceGuard::Result::Failed);
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
} // namespace tavlor::platform
