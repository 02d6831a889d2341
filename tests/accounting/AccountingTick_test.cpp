#include "accounting/AccountingTick.h"
#include "text/WidgetNames.h"

#include "TickHarness.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class Tick : public ::testing::Test, protected test::TickHarness
{
};

TEST_F(Tick, FirstOnlineTickStartsTheSessionAtTheLoadedTotals)
{
    state.baseUpBytes = state.totalUpBytes = 1000;
    state.baseDownBytes = state.totalDownBytes = 2000;
    upRow().txBytes = 500;
    downRow().rxBytes = 700;
    run();
    EXPECT_EQ(state.sessionUpStart, 500);
    EXPECT_EQ(state.sessionDownStart, 700);
    EXPECT_EQ(state.totalUpBytes, 1000);
    EXPECT_EQ(state.totalDownBytes, 2000);
    EXPECT_EQ(last().sessionDownBytes, 700);
    EXPECT_EQ(last().sessionUpBytes, 500);
    // No earlier sample of this session: no speed to show yet.
    EXPECT_EQ(last().downSpeed, 0);
    EXPECT_EQ(last().upSpeed, 0);
    EXPECT_EQ(view.text(names::lSpeed), "100Mbit");
    EXPECT_EQ(last().session, (TimeSet{0, 0, 1}));
}

// Each traffic label shows its figure of the reading, made by the text helpers.
TEST_F(Tick, TheTrafficLabelsAreTheTextsOfTheReading)
{
    state.baseDownBytes = state.totalDownBytes = 2000;
    for (int second = 0; second < 5; ++second) {
        downRow().rxBytes += 1500 * second;
        upRow().txBytes += 700;
        run();
        const ReadingTexts texts = TextsOf(last(), numbers);
        const std::pair<const char*, std::string> labels[] = {
            {names::lIn, texts.totalDown},
            {names::lOut, texts.totalUp},
            {names::lAll, texts.total},
            {names::lInS, texts.sessionDown},
            {names::lOutS, texts.sessionUp},
            {names::lDownS, texts.downSpeed},
            {names::lUpS, texts.upSpeed},
            {names::lOTS, FormatDuration(last().session, true)},
            {names::lotAll, FormatDuration(last().total, true)},
            {names::lOtDay, FormatDuration(last().today, true)},
        };
        for (const auto& [label, text] : labels) {
            EXPECT_EQ(view.text(label), text) << label << " after second " << second;
        }
    }
    EXPECT_EQ(view.text(names::lIn), "16,6 KB"); // 2000 + 1500 * (1 + 2 + 3 + 4) bytes
}

TEST_F(Tick, OnlineTickShowsTheOnlineStateInItsOrder)
{
    run();
    EXPECT_EQ(view.color(kLed), kRgbGreen);
    EXPECT_EQ(view.hint(kLed), "Online");
    EXPECT_FALSE(view.enabled(names::btnDialEntry));
    EXPECT_TRUE(view.enabled(names::btnHangup));
    for (const char* field : {names::eUser, names::ePass, names::eNum}) {
        EXPECT_TRUE(view.readOnly(field)) << field;
    }
    EXPECT_FALSE(view.has(kTrayIcon, ViewModel::Prop::Hint));
    const std::vector<std::string> expected = {"IsOnline", "ShowIpAddresses", "RefreshConnectionStatus",
                                               "ShowWindowsUptime"};
    EXPECT_EQ(hooks.calls, expected);
}

TEST_F(Tick, TheConnectionIsShownFromKeptStateOnEveryTickWhateverTheLabelReads)
{
    hooks.connectionName = "T-Online";
    run();
    run();
    hooks.online = false;
    run();
    EXPECT_EQ(hooks.count("RefreshConnectionStatus"), 3);
    EXPECT_EQ(view.text(names::lcon), "Offline");
}

TEST_F(Tick, GatewayModeIsOnlineWithoutADialUpConnection)
{
    state.onLAN = true;
    hooks.online = false;
    run();
    run();
    EXPECT_EQ(hooks.count("RefreshConnectionStatus"), 2);
    EXPECT_EQ(view.color(kLed), kRgbGreen);
}

TEST_F(Tick, OfflineTickEndsTheSessionButKeepsTotalsAndTheirLabels)
{
    state.totalHours = 3;
    hooks.connectionName = "T-Online";
    downRow().rxBytes = 5000;
    run();
    downRow().rxBytes = 9000;
    run();
    const std::string lIn = view.text(names::lIn);
    const std::string lotAll = view.text(names::lotAll);
    hooks.online = false;
    run();
    EXPECT_EQ(view.text(names::lOTS), "-");
    EXPECT_EQ(view.text(names::lDownS), "0 kb/s");
    EXPECT_EQ(view.text(names::lUpS), "0 kb/s");
    EXPECT_EQ(view.text(names::lInS), "0 kb");
    EXPECT_EQ(view.text(names::lOutS), "0 kb");
    EXPECT_EQ(view.text(names::lIn), lIn);
    EXPECT_EQ(view.text(names::lotAll), lotAll);
    EXPECT_EQ(state.totalDownBytes, 4000);
    EXPECT_EQ(view.color(kLed), kRgbRed);
    EXPECT_EQ(view.hint(kLed), "Offline");
    EXPECT_EQ(view.hint(kTrayIcon), "Offline");
    EXPECT_TRUE(view.enabled(names::btnDialEntry));
    EXPECT_FALSE(view.enabled(names::btnHangup));
    EXPECT_FALSE(view.readOnly(names::eUser));
    EXPECT_EQ(state.sessionSeconds, 0);
    EXPECT_EQ(state.sessionUpStart, kSessionNotStarted);
    EXPECT_EQ(state.sessionDownBytes, 0);
    EXPECT_EQ(state.downWrapOffset, 0);
    EXPECT_EQ(view.text(names::lcon), "Offline");
    EXPECT_EQ(hooks.count("RefreshConnectionStatus"), 3);
}

TEST_F(Tick, SpeedsChangeOnEverySecondTickOverTheMeasuredTime)
{
    run(); // speed tick: first sample of the session
    downRow().rxBytes += 2048;
    run(); // no speed tick
    EXPECT_EQ(last().downSpeed, 0);
    downRow().rxBytes += 3072;
    upRow().txBytes += 1000;
    run();
    EXPECT_EQ(last().downSpeed, 2560); // 5120 bytes in 2 s
    EXPECT_EQ(last().upSpeed, 500);
    downRow().rxBytes += 8192;
    run();
    EXPECT_EQ(last().downSpeed, 2560); // kept until the next speed tick
    // A late timer: 8192 + 4096 bytes over 1 s + 4 s.
    downRow().rxBytes += 4096;
    run(4000);
    EXPECT_DOUBLE_EQ(last().downSpeed, 12288 / 5.0);
    EXPECT_EQ(last().upSpeed, 0); // idle
}

TEST_F(Tick, SaveHappensOnTheTickAfterEveryThreeHundredthOnlineTick)
{
    for (int i = 0; i < 300; ++i) {
        run();
    }
    EXPECT_EQ(hooks.saves, 0);
    EXPECT_EQ(state.saveTickCount, 300);
    hooks.online = false;
    run();
    EXPECT_EQ(hooks.saves, 1);
    EXPECT_EQ(state.saveTickCount, 0);
    for (int i = 0; i < 10; ++i) {
        run();
    }
    EXPECT_EQ(hooks.saves, 1);
}

TEST_F(Tick, PeriodicSaveRunsBeforeTheOnlineTest)
{
    state.saveTickCount = 300;
    run();
    ASSERT_GE(hooks.calls.size(), 2u);
    EXPECT_EQ(hooks.calls[0], "SaveUsageData");
    EXPECT_EQ(hooks.calls[1], "IsOnline");
    EXPECT_EQ(state.saveTickCount, 1);
}

TEST_F(Tick, ANewCalendarDateRestartsTodaysCounters)
{
    state.dayStamp = ToDayCount({2026, 12, 14, 22, 0, 0, 0});
    state.todayHours = 5;
    clock.setLocal({2026, 12, 15, 0, 0, 10, 0});
    run();
    EXPECT_EQ(last().today, (TimeSet{0, 0, 1}));
    EXPECT_TRUE(SameCalendarDate(FromDayCount(state.dayStamp), clock.nowLocal()));
    run();
    EXPECT_EQ(state.todaySeconds, 2);
}

TEST_F(Tick, MonthAndYearChangesToASmallerDayAreNewDaysToo)
{
    state.dayStamp = ToDayCount({2026, 12, 31, 23, 59, 59, 0});
    state.todayMinutes = 30;
    clock.setLocal({2027, 1, 1, 0, 0, 0, 500});
    run();
    EXPECT_EQ(state.todayMinutes, 0);
    EXPECT_EQ(state.todaySeconds, 1);
}

TEST_F(Tick, AClockSteppedBackAcrossMidnightKeepsTodayAndTheNextMidnightDoesNotResetAgain)
{
    // A time server corrects the clock from 00:00:15 back to 23:59:20 of the day before.
    state.dayStamp = ToDayCount({2026, 12, 15, 0, 0, 0, 0});
    state.todayHours = 5;
    clock.setLocal({2026, 12, 14, 23, 59, 20, 0});
    run();
    EXPECT_EQ(state.todayHours, 5);
    EXPECT_EQ(state.todaySeconds, 1);
    clock.setLocal({2026, 12, 15, 0, 0, 1, 0});
    run();
    EXPECT_EQ(state.todayHours, 5);
    EXPECT_EQ(state.todaySeconds, 2);
    clock.setLocal({2026, 12, 16, 0, 0, 1, 0});
    run();
    EXPECT_EQ(state.todayHours, 0);
}

TEST_F(Tick, TimeCountersCarryOnlyAtExactlySixty)
{
    state.totalMinutes = 59, state.totalSeconds = 59;
    state.todaySeconds = 75;
    run();
    EXPECT_EQ(last().total, (TimeSet{1, 0, 0}));
    EXPECT_EQ(state.todaySeconds, 76);
    EXPECT_EQ(state.todayMinutes, 0);
}

TEST_F(Tick, AWrapIsCountedOnTheTickItHappens)
{
    downRow().rxBytes = 0xFFFFFF00u;
    run();
    downRow().rxBytes = 0x100; // 0x200 bytes later
    run();
    EXPECT_EQ(state.totalDownBytes, 0x200);
    EXPECT_EQ(state.sessionDownBytes, 4294967296.0 + 0x100);
    EXPECT_EQ(last().downBytes, 0x200);
}

TEST_F(Tick, ACounterRestartCountsWhatTheNewCounterCounted)
{
    downRow().rxBytes = 2000000000u;
    run();
    downRow().rxBytes = 2000000100u;
    run();
    downRow().rxBytes = 300; // interface re-created: 2^32 - p + u is far beyond 12.75 MB
    run();
    EXPECT_EQ(state.totalDownBytes, 400);
    EXPECT_EQ(state.sessionDownBytes, 2000000400.0);
}

TEST_F(Tick, AFailedSampleIsNoReading)
{
    upRow().txBytes = 5000;
    downRow().rxBytes = 7000;
    run();
    upRow().txBytes = 9096;
    downRow().rxBytes = 7100;
    run();
    upRow().txBytes = 13192;
    source.failures = {true};
    downRow().rxBytes = 7200;
    run();
    EXPECT_EQ(state.totalUpBytes, 4096);
    EXPECT_EQ(state.sessionUpBytes, 9096);
    EXPECT_EQ(last().upSpeed, 0); // a speed tick without a reading
    EXPECT_EQ(state.totalDownBytes, 100);
    EXPECT_EQ(view.text(names::lSpeed), "0 Bytes");
    run();
    EXPECT_EQ(state.totalUpBytes, 8192);
    EXPECT_EQ(state.totalDownBytes, 200);
}

TEST_F(Tick, AFailureAt0xFFFFFFFFIsNotConfusedWithACounterOfMinusOne)
{
    upRow().txBytes = 0xFFFFFF00u;
    run();
    upRow().txBytes = 0xFFFFFFFFu;
    run();
    EXPECT_EQ(state.totalUpBytes, 0xFF);
    upRow().txBytes = 0x10;
    run();
    EXPECT_EQ(state.totalUpBytes, 0x110);
}

TEST_F(Tick, NoSessionStartIsTakenFromAFailedSample)
{
    state.baseDownBytes = state.totalDownBytes = 100;
    source.failures = {true};
    run();
    EXPECT_EQ(state.sessionDownStart, kSessionNotStarted);
    downRow().rxBytes = 5000;
    run();
    downRow().rxBytes = 5500;
    run();
    EXPECT_EQ(state.totalDownBytes, 600);
}

TEST_F(Tick, EverySessionOfARunCountsInTheTotals)
{
    state.baseDownBytes = state.totalDownBytes = 1000;
    downRow().rxBytes = 10000;
    run();
    downRow().rxBytes = 12000;
    run();
    hooks.online = false;
    downRow().rxBytes = 50000; // not counted: offline
    run();
    hooks.online = true;
    run();
    downRow().rxBytes = 50500;
    run();
    EXPECT_EQ(state.totalDownBytes, 1000 + 2000 + 500);
}

TEST_F(Tick, ChangedMethodsContinueTheTotalsInsteadOfCountingTheRowDifference)
{
    downRow().rxBytes = 1000;
    rowB().rxBytes = 900000000;
    run();
    downRow().rxBytes = 1500;
    run();
    state.downloadMethod = 1; // download now from the row after A: B
    tick.methodsChanged();
    run();
    EXPECT_EQ(state.totalDownBytes, 500);
    rowB().rxBytes = 900000250;
    run();
    EXPECT_EQ(state.totalDownBytes, 750);
    EXPECT_EQ(state.sessionDownBytes, 1750);
}

TEST_F(Tick, MethodsChangedWithoutAnotherRowKeepsCounting)
{
    upRow().txBytes = 100;
    run();
    tick.methodsChanged();
    upRow().txBytes = 400;
    run();
    EXPECT_EQ(state.totalUpBytes, 300);
}

TEST_F(Tick, AResetRestartsTheTotalsFromTheNextTick)
{
    downRow().rxBytes = 1000;
    run();
    downRow().rxBytes = 4000;
    run();
    state.baseDownBytes = state.totalDownBytes = 0; // what the reset button does
    state.baseUpBytes = state.totalUpBytes = state.totalBytes = 0;
    tick.resetSessionBase();
    EXPECT_EQ(state.sessionDownStart, kSessionNotStarted);
    downRow().rxBytes = 4500;
    run();
    EXPECT_EQ(state.totalDownBytes, 0);
    downRow().rxBytes = 4800;
    run();
    EXPECT_EQ(state.totalDownBytes, 300);
}

TEST_F(Tick, AnErrorFromTheOnlineTestEndsTheTickBeforeAnythingCounts)
{
    hooks.throwOnProbe = true;
    EXPECT_THROW(run(), std::runtime_error);
    EXPECT_EQ(hooks.count("ShowWindowsUptime"), 0);
    EXPECT_EQ(state.totalSeconds, 0);
    EXPECT_FALSE(view.has(names::lOTS, ViewModel::Prop::Text));
}

} // namespace
} // namespace tavlor
