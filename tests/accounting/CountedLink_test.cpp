// Which link the tick counts, on links held in memory with the kernel's 64-bit counters.
#include "accounting/AccountingTick.h"

#include "TickHarness.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavlor {
namespace {

using test::MakeRow;

constexpr std::uint64_t k4GiB = 1ULL << 32;

class CountedLink : public ::testing::Test, protected test::TickHarness
{
protected:
    CountedLink()
    {
        for (LinkRow& row : source.rows) {
            row.counterBits = 64;
        }
        state.onLAN = true;
    }
    LinkRow& named(std::uint32_t index, const char* name, std::uint32_t hwLen = 6)
    {
        source.rows.push_back(MakeRow(index, hwLen, 0, 0, 100000000, 64));
        source.rows.back().name = name;
        return source.rows.back();
    }
};

TEST_F(CountedLink, GatewayModeCountsTheDefaultRoutesLinkBothWaysAndFollowsTheRoute)
{
    source.byIndex(10).up = false; // the first adapter is down, like an unused ifb0
    routes.index = 20;
    rowB().speedBps = 54000000;
    run();
    rowB().rxBytes += 5000;
    rowB().txBytes += 7000;
    downRow().rxBytes += 999; // not the online link
    run();
    EXPECT_EQ(state.totalDownBytes, 5000);
    EXPECT_EQ(state.totalUpBytes, 7000);
    EXPECT_EQ(view.text("lSpeed"), "54Mbit");
    EXPECT_EQ(tick.countedLinkText(), "link20");

    // The route moves to A, whose counter stands far higher: only its growth from now counts.
    downRow().rxBytes = 9 * k4GiB;
    routes.index = 10;
    run();
    downRow().rxBytes += 300;
    run();
    EXPECT_EQ(state.totalDownBytes, 5300);
    EXPECT_EQ(tick.countedLinkText(), "link10");
}

// While the table stands only the counted link is read each second; a link chosen while its
// counter went unread starts from a fresh reading, and a reading that fails loses nothing.
TEST_F(CountedLink, OnlyTheCountedLinkIsReadWhileTheTableStandsAndNothingIsInventedOrLost)
{
    source.announces = true;
    routes.index = 20;
    run();
    rowB().rxBytes += 5000;
    downRow().rxBytes += 999; // not online, and not read
    run();
    EXPECT_EQ(source.calls, 1);
    EXPECT_EQ(source.counterCalls, 1);
    EXPECT_EQ(state.totalDownBytes, 5000);

    source.counterFailures = {true};
    rowB().rxBytes += 100;
    run();
    rowB().rxBytes += 100;
    run();
    EXPECT_EQ(state.totalDownBytes, 5200);

    // The route moves to A, whose counter grew unread, and its first reading fails.
    downRow().rxBytes += 7777;
    routes.index = 10;
    source.counterFailures = {true};
    run();
    downRow().rxBytes += 1234; // before A's first reading: not the connection's yet
    run();
    downRow().rxBytes += 300;
    run();
    EXPECT_EQ(state.totalDownBytes, 5500);
    EXPECT_EQ(tick.countedLinkText(), "link10");

    named(30, "wwan0");
    source.changed = true;
    run();
    EXPECT_EQ(source.calls, 2);
}

TEST_F(CountedLink, ADialUpDeviceWithoutAHardwareAddressIsCountedOutsideGatewayMode)
{
    state.onLAN = false;
    named(30, "ppp0", 0).kind = LinkKind::PointToPoint;
    dialup.name = "ppp0";
    run();
    source.byIndex(30).rxBytes = 4000;
    source.byIndex(30).txBytes = 1000;
    downRow().rxBytes = 123456;
    run();
    EXPECT_EQ(state.totalDownBytes, 4000);
    EXPECT_EQ(state.totalUpBytes, 1000);
    EXPECT_EQ(tick.countedLinkText(), "ppp0");
}

TEST_F(CountedLink, ALinkAddedBeforeTheCountedOneIsNotCountedInstead)
{
    for (const bool deliberateRows : {false, true}) {
        TickHarness h;
        h.state.downloadMethod = deliberateRows ? 1 : 0; // 1/1: both from the row after A, B
        h.state.uploadMethod = 1;
        const std::uint32_t counted = deliberateRows ? 20 : 10;
        h.run();
        h.source.rows.push_back(MakeRow(5, 6, 777777, 888888)); // sorts before every adapter
        h.source.byIndex(counted).rxBytes += 100;
        h.source.byIndex(counted).txBytes += 200;
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 100) << deliberateRows;
        EXPECT_EQ(h.state.totalUpBytes, 200) << deliberateRows;
    }
}

TEST_F(CountedLink, ALinkCreatedAgainIsCountedFromItsFirstReadingAndTheGapInventsNothing)
{
    for (const std::uint32_t newIndex : {10u, 42u}) {
        TickHarness h;
        for (LinkRow& row : h.source.rows) {
            row.counterBits = 64;
        }
        h.downRow().rxBytes = 5 * k4GiB;
        h.run();
        h.downRow().rxBytes += 3 * k4GiB;
        h.run();
        const LinkRow gone = h.downRow();
        h.source.rows.erase(h.source.rows.begin() + 1);
        for (int second = 0; second < 4; ++second) {
            h.run(); // failed samples while the link is away
        }
        LinkRow again = gone;
        again.index = newIndex;
        again.rxBytes = 1000; // counted since it was created, before its first reading
        h.source.rows.push_back(again);
        h.run();
        h.source.byIndex(newIndex).rxBytes += 500;
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 3.0 * k4GiB + 1500) << newIndex;
    }
}

TEST_F(CountedLink, MoreThanFourGibibytesBetweenTwoSamplesAreCountedOnAFullWidthCounter)
{
    run();
    downRow().rxBytes += 12 * k4GiB + 17;
    run(20000);
    EXPECT_EQ(state.totalDownBytes, 12.0 * k4GiB + 17);
}

TEST(TimeCounters, SaturateAtTheLargestTimeInsteadOfOverflowing)
{
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    struct Case
    {
        std::int32_t h, m, s;
        std::int32_t wantH, wantM, wantS;
    };
    const Case cases[] = {
        {kMost, 59, 59, kMost, 59, 59}, {kMost, 59, 58, kMost, 59, 59}, {kMost - 1, 59, 59, kMost, 0, 0},
        {0, kMost, 59, 0, kMost, 59},   {0, 0, kMost, 0, 0, kMost},
    };
    for (const Case& c : cases) {
        test::TickHarness h;
        h.state.totalHours = c.h;
        h.state.totalMinutes = c.m;
        h.state.totalSeconds = c.s;
        h.run();
        EXPECT_EQ(h.state.totalHours, c.wantH) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(h.state.totalMinutes, c.wantM) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(h.state.totalSeconds, c.wantS) << c.h << ":" << c.m << ":" << c.s;
    }
}

} // namespace
} // namespace tavlor
