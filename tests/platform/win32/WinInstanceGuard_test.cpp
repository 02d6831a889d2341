#include "platform/win32/WinInstanceGuard.h"

#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

// main.cpp's child answers with 10 + the guard's result.
constexpr int kChildAcquired = 10 + static_cast<int>(InstanceGuard::Result::Acquired);
constexpr int kChildRefused = 10 + static_cast<int>(InstanceGuard::Result::AlreadyRunning);

TEST(WinInstanceGuard, ASecondProcessIsRefusedWhileTheFirstHoldsTheName)
{
    WinInstanceGuard guard;
    ASSERT_EQ(guard.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);

    EXPECT_EQ(test::RunSelf("--guard-child Tavlor.exe"), kChildRefused);
    // Another name is another program.
    EXPECT_EQ(test::RunSelf("--guard-child Tavlor-other.exe"), kChildAcquired);
}

TEST(WinInstanceGuard, TheNameIsFreeAgainOnceTheHolderReleasedIt)
{
    WinInstanceGuard guard;
    ASSERT_EQ(guard.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
    guard.release();
    guard.release(); // harmless a second time

    EXPECT_EQ(test::RunSelf("--guard-child Tavlor.exe"), kChildAcquired);
}

TEST(WinInstanceGuard, AGuardGoingOutOfScopeFreesTheName)
{
    {
        WinInstanceGuard guard;
        ASSERT_EQ(guard.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
    }
    WinInstanceGuard next;
    EXPECT_EQ(next.acquire("Tavlor.exe"), InstanceGuard::Result::Acquired);
}

TEST(WinInstanceGuard, AnImpossibleNameFailsWithoutRefusing)
{
    // Backslashes are reserved for kernel namespaces; such a name cannot be created.
    WinInstanceGuard guard;
    EXPECT_EQ(guard.acquire("No\\Such\\Namespace"), InstanceGuard::Result::Failed);
}

} // namespace
} // namespace tavlor::win32
