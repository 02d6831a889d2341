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

TEST(CounterDelta, CountedBytesAreTheDifferenceModuloTheCounterWidth)
{
    constexpr std::uint64_t k4G = 1ULL << 32;
    struct Case
    {
        const char* what;
        std::uint64_t older, newer;
        unsigned bits;
        std::uint64_t speed;
        std::int64_t elapsedMs;
        double counted;
    };
    const Case cases[] = {
        {"64-bit growth across 4 GiB", k4G - 100, 3 * k4G + 5, 64, k100Mbit, 1000, 2.0 * k4G + 105},
        {"64-bit growth beyond what the link could carry", 0, 12 * k4G, 64, k100Mbit, 20000, 12.0 * k4G},
        {"64-bit growth of an unknown-speed link at full veth speed", 5, 5 + 4 * k4G, 64, 0, 1000, 4.0 * k4G},
        {"64-bit counter going backwards is a restart", 9 * k4G, 300, 64, k100Mbit, 1000, 300},
        {"64-bit counter restarting at zero", 1000, 0, 64, 0, 1000, 0},
        {"64-bit counter at its very top", ~0ULL - 10, ~0ULL, 64, 0, 1000, 10},
        {"32-bit wrap the link could carry", kTop - 1000000, 11000000, 32, k100Mbit, 1000, 12000001},
        {"32-bit drop beyond the link is a restart", kTop - 1000000, 12000000, 32, k100Mbit, 1000, 12000000},
        {"32-bit drop after failed samples is a restart", kTop - 10, 50, 32, k100Mbit, 0, 50},
        {"32-bit growth", 100, 250, 32, k100Mbit, 1000, 150},
        {"32-bit source with high bits set is read at its width", k4G + 100, k4G + 250, 32, k100Mbit, 1000,
         150},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountedBytes(c.older, c.newer, c.bits, c.speed, c.elapsedMs), c.counted) << c.what;
    }
}

} // namespace
} // namespace tavlor
