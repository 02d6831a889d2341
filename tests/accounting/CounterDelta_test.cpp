#include "accounting/CounterDelta.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

constexpr std::uint64_t k100Mbit = 100000000;
constexpr std::uint32_t kTop = 0xFFFFFFFF;

TEST(CounterDelta, AnUnchangedOrGrowingCounterIsGrowth)
{
    EXPECT_EQ(ClassifyCounterChange(100, 100, k100Mbit, 1000), CounterChange::Growth);
    EXPECT_EQ(ClassifyCounterChange(100, kTop, k100Mbit, 0), CounterChange::Growth);
    EXPECT_EQ(OffsetAfterChange(500.0, 100, CounterChange::Growth), 500.0);
}

TEST(CounterDelta, WrapIsCountedOnlyWhenTheLinkCouldCarryIt)
{
    // 100 Mbit/s for one second carries 12.5 MB, 12.75 MB with the slack.
    const std::uint32_t p = kTop - 1000000;
    EXPECT_EQ(ClassifyCounterChange(p, 11000000, k100Mbit, 1000), CounterChange::Wrap);
    EXPECT_EQ(ClassifyCounterChange(p, 12000000, k100Mbit, 1000), CounterChange::Restart);
    // Two seconds (a late timer or a failed sample in between) carry twice as much.
    EXPECT_EQ(ClassifyCounterChange(p, 12000000, k100Mbit, 2000), CounterChange::Wrap);
}

TEST(CounterDelta, WrapBoundaryIncludesExactlyTheTwoPercentSlack)
{
    // 8 Mbit/s for 1 s: 1000000 bytes, 1020000 with slack.
    const std::uint32_t p = kTop - 19999; // 2^32 - p = 20000
    EXPECT_EQ(ClassifyCounterChange(p, 1000000, 8000000, 1000), CounterChange::Wrap);
    EXPECT_EQ(ClassifyCounterChange(p, 1000001, 8000000, 1000), CounterChange::Restart);
}

TEST(CounterDelta, UnknownLinkSpeedIsJudgedAsOneGigabit)
{
    const std::uint32_t p = kTop - 1000;
    EXPECT_EQ(ClassifyCounterChange(p, 120000000, 0, 1000), CounterChange::Wrap);
    EXPECT_EQ(ClassifyCounterChange(p, 130000000, 0, 1000), CounterChange::Restart);
}

TEST(CounterDelta, TenGigabitLinksAreJudgedByTheirFullSpeed)
{
    // 10 Gbit/s carries 1.25 GB a second; 32 bits could not hold that speed.
    EXPECT_EQ(ClassifyCounterChange(4100000000u, 1000000000u, 10000000000ULL, 1000), CounterChange::Wrap);
    EXPECT_EQ(ClassifyCounterChange(4100000000u, 1000000000u, 0xFFFFFFFFULL, 1000), CounterChange::Restart);
}

TEST(CounterDelta, ADropWithoutElapsedTimeIsARestart)
{
    EXPECT_EQ(ClassifyCounterChange(kTop, 0, k100Mbit, 0), CounterChange::Restart);
    EXPECT_EQ(ClassifyCounterChange(kTop, 0, k100Mbit, -5), CounterChange::Restart);
}

TEST(CounterDelta, OffsetsContinueTheReadingWithoutInventingTraffic)
{
    EXPECT_EQ(OffsetAfterChange(0.0, 4000000000u, CounterChange::Wrap), 4294967296.0);
    EXPECT_EQ(OffsetAfterChange(4294967296.0, 4000000000u, CounterChange::Wrap), 8589934592.0);
    // After a restart the new counter value is all new traffic: reading = previous + current.
    EXPECT_EQ(OffsetAfterChange(10.0, 3000, CounterChange::Restart), 3010.0);
}

} // namespace
} // namespace tavlor
