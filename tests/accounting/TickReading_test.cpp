// The reading of one second: its numbers, and the faults that once showed figures a second
// never measured.
#include "accounting/AccountingTick.h"
#include "history/UsageWatch.h"
#include "text/WidgetNames.h"

#include "FakeFileStore.h"
#include "TickHarness.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class Reading : public ::testing::Test, protected test::TickHarness
{
};

TEST_F(Reading, HoldsWhatTheSecondMeasuredInNumbers)
{
    state.totalUpBytes = state.baseUpBytes = 1000;
    state.totalDownBytes = state.baseDownBytes = 2000;
    downRow().rxBytes = 700;
    upRow().txBytes = 500;
    run();
    TickReading r = last();
    EXPECT_TRUE(r.online);
    EXPECT_EQ(r.downLink, (LinkIdentity{10, "link10"}));
    EXPECT_EQ(r.upLink, (LinkIdentity{10, "link10"}));
    EXPECT_EQ(r.downBytes, 0); // the first reading is the session's start
    EXPECT_EQ(r.sessionDownBytes, 700);
    EXPECT_EQ(r.totalDownBytes, 2000);
    EXPECT_EQ(r.totalUpBytes, 1000);
    EXPECT_EQ(r.session, (TimeSet{0, 0, 1}));
    EXPECT_EQ(r.onlineSeconds, 1);

    downRow().rxBytes += 5120;
    upRow().txBytes += 1000;
    run();
    EXPECT_EQ(last().downBytes, 5120);
    EXPECT_EQ(last().upBytes, 1000);
    EXPECT_EQ(last().totalDownBytes, 7120);
    EXPECT_EQ(last().total, (TimeSet{0, 0, 2}));
    run();
    ASSERT_EQ(last().downSpeed, 2560);

    hooks.online = false;
    run();
    r = last();
    EXPECT_FALSE(r.online);
    EXPECT_EQ(r.downSpeed, 0);
    EXPECT_EQ(r.downLink, LinkIdentity{});
    EXPECT_EQ(r.totalDownBytes, 7120);
    EXPECT_EQ(r.onlineSeconds, 0);
}

// No fresh reading (a failed read, a link gone): the speed falls to 0 at the next speed tick,
// and the first good reading afterwards is only a baseline, however far its counter moved.
TEST_F(Reading, ASpeedTickWithoutAFreshReadingShowsNoSpeedAndTheNextReadingIsABaseline)
{
    run(); // speed tick: the baseline
    downRow().rxBytes += 4096;
    run();
    downRow().rxBytes += 4096;
    run();
    ASSERT_EQ(last().downSpeed, 4096);
    ASSERT_EQ(view.text(names::lDownS), "4 kb/s");

    source.failures = {true, true};
    run();
    run(); // speed tick without a reading
    EXPECT_EQ(last().downSpeed, 0);
    EXPECT_EQ(view.text(names::lDownS), "0 kb/s");

    downRow().rxBytes += 900000; // what passed while nothing could be read
    run();
    run(); // speed tick: a new baseline, no spike
    EXPECT_EQ(last().downSpeed, 0);
    downRow().rxBytes += 2048;
    run();
    run();
    EXPECT_EQ(last().downSpeed, 1024);
    EXPECT_EQ(state.totalDownBytes, 4096 * 2 + 900000 + 2048); // nothing of it lost
}

// The today counters belong to their day: the day test runs offline too, and before a save.
TEST_F(Reading, OfflineAfterMidnightTheTodayCountersAreTheNewDays)
{
    clock.setLocal({2026, 12, 8, 23, 59, 0, 0});
    state.dayStamp = ToDayCount(clock.nowLocal());
    for (int i = 0; i < 20; ++i) {
        run();
    }
    hooks.online = false;
    run();
    ASSERT_EQ(last().today, (TimeSet{0, 0, 20}));
    clock.setLocal({2026, 12, 9, 0, 0, 5, 0});
    run();
    EXPECT_EQ(last().today, TimeSet{});
    EXPECT_EQ(last().total, (TimeSet{0, 0, 20}));
    EXPECT_TRUE(SameCalendarDate(FromDayCount(last().dayStamp), clock.nowLocal()));
    EXPECT_EQ(view.text(names::lOtDay), "0 Stunden, 0 Minuten, 0 Sekunden.");
}

// Suspended, the monotonic clock stands still while the wall clock moves on: the second after
// resume counts one second, shows no speed from the pause, and a new day if midnight passed.
TEST_F(Reading, AResumeAfterSuspendCountsOneSecondAndNoSpeedSpike)
{
    clock.setLocal({2026, 12, 8, 22, 0, 0, 0});
    state.dayStamp = ToDayCount(clock.nowLocal());
    run();
    downRow().rxBytes += 1000;
    run();
    clock.setLocal({2026, 12, 9, 7, 0, 0, 0}); // nine hours asleep
    downRow().rxBytes += 1000;
    run();
    EXPECT_EQ(last().total, (TimeSet{0, 0, 3}));
    EXPECT_EQ(last().today, (TimeSet{0, 0, 1}));
    EXPECT_DOUBLE_EQ(last().downSpeed, 1000); // 2000 bytes over the 2 s the machine was awake
    EXPECT_EQ(state.totalDownBytes, 2000);
}

// Stopped by the system for a minute (SIGSTOP), the links went on: the bytes are counted, and
// the speed is those bytes over the real time between the two readings.
TEST_F(Reading, AProgramStoppedForAMinuteCountsTheBytesAndItsSpeedOverTheRealTime)
{
    run();
    run();
    downRow().rxBytes += 6100000;
    run(61000);
    EXPECT_EQ(last().downBytes, 6100000);
    EXPECT_DOUBLE_EQ(last().downSpeed, 6100000 / 62.0);
    EXPECT_EQ(last().session, (TimeSet{0, 0, 3})); // online seconds are ticks, not wall time
}

// A falling 64-bit counter is a driver's new start, never a wrap; a link that appears with
// large counters already counts from its first reading.
TEST_F(Reading, CountersStartWhereTheLinkStartsNotAtAGuessedWrap)
{
    const struct
    {
        const char* what;
        std::uint64_t first, second, third;
        std::uint8_t bits;
        double counted;
    } cases[] = {
        {"64-bit counter falls after a driver reset", 5000000000ULL, 5000000100ULL, 1000, 64, 1100},
        {"64-bit counter of a link up for months falls", 4000000000000ULL, 4000000000256ULL, 50, 64, 306},
        {"32-bit counter falls far: a restart", 2000000000, 2000000100, 300, 32, 400},
    };
    for (const auto& c : cases) {
        TickHarness h;
        h.downRow().counterBits = c.bits;
        h.downRow().rxBytes = c.first;
        h.run();
        h.downRow().rxBytes = c.second;
        h.run();
        h.downRow().rxBytes = c.third;
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, c.counted) << c.what;
        EXPECT_EQ(h.last().downBytes, c.counted - (c.second - c.first)) << c.what;
    }

    // A modem plugged in after hours connects: its counters are the modem's, not this
    // connection's.
    state.onLAN = false;
    hooks.online = false;
    run();
    LinkRow modem = test::MakeRow(30, 0, 7000000000ULL, 900000000ULL, 100000000, 64);
    modem.name = "ppp0";
    modem.kind = LinkKind::PointToPoint;
    source.rows.push_back(modem);
    source.changed = true;
    dialup.name = "ppp0";
    hooks.online = true;
    run();
    EXPECT_EQ(last().downLink, (LinkIdentity{30, "ppp0"}));
    EXPECT_EQ(state.totalDownBytes, 0);
    source.byIndex(30).rxBytes += 4000;
    run();
    EXPECT_EQ(state.totalDownBytes, 4000);
    EXPECT_EQ(last().downBytes, 4000);
}

// The history's rows are the days of the today counters: a change to summer time, a clock
// stepped forward by days and one stepped back across midnight neither invent nor drop a day,
// and the rows hold exactly what the totals counted.
TEST_F(Reading, ClockStepsNeitherInventNorDropAHistoryDay)
{
    test::FakeFileStore files;
    files.folders = {"/p", "/p/data"};
    files.files["/p/data/data.ini"] = "[data]\r\n";
    UsageWatch watch("/p/data/data.ini", files, clock, german);
    watch.load();
    const auto seconds = [&](int count) {
        for (int i = 0; i < count; ++i) {
            downRow().rxBytes += 1000;
            run();
            watch.counted(last());
        }
    };
    clock.setLocal({2026, 3, 28, 23, 59, 57, 0});
    state.dayStamp = ToDayCount(clock.nowLocal());
    seconds(4); // 23:59:58 to 00:00:01 on the 29th
    clock.setLocal({2026, 3, 29, 1, 59, 58, 0});
    seconds(1);
    clock.setLocal({2026, 3, 29, 2, 59, 59, 0}); // summer time: 02:00 is 03:00
    seconds(2);
    clock.setLocal({2026, 4, 2, 9, 59, 59, 0}); // stepped forward by days
    seconds(1);
    clock.setLocal({2026, 4, 2, 23, 59, 58, 0});
    seconds(3);                                  // into the 3rd
    clock.setLocal({2026, 4, 2, 23, 59, 50, 0}); // a time server sets it back across midnight
    seconds(2);
    clock.setLocal({2026, 4, 3, 0, 0, 5, 0});
    seconds(1);

    std::vector<std::pair<CalendarDay, std::uint64_t>> rows;
    std::uint64_t bytes = 0;
    for (const auto& [day, usage] : watch.history().days()) {
        rows.emplace_back(day, usage.onlineSeconds);
        bytes += usage.downBytes;
    }
    const std::vector<std::pair<CalendarDay, std::uint64_t>> expected = {
        {{2026, 3, 28}, 2}, {{2026, 3, 29}, 5}, {{2026, 4, 2}, 2}, {{2026, 4, 3}, 5}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(static_cast<double>(bytes), state.totalDownBytes);
    EXPECT_EQ(state.totalSeconds, 14);
    // The today counters stayed with the 3rd through the step back, and so did its row.
    EXPECT_EQ(last().today, (TimeSet{0, 0, 5}));
}

} // namespace
} // namespace tavlor
