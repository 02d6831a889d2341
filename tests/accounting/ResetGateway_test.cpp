#include "accounting/ResetGateway.h"
#include "text/WidgetNames.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"
#include "datafile/UsageData.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

UsageState busyState()
{
    UsageState s;
    s.baseUpBytes = 100;
    s.baseDownBytes = 200;
    s.totalUpBytes = 150;
    s.totalDownBytes = 260;
    s.totalBytes = 410;
    s.sessionUpStart = 50;
    s.sessionDownStart = 60;
    s.sessionUpBytes = 100;
    s.totalHours = 3;
    s.totalMinutes = 4;
    s.totalSeconds = 5;
    s.todayHours = 1;
    s.todayMinutes = 2;
    s.todaySeconds = 3;
    s.sessionMinutes = 9;
    s.lastResetDate = "01.01.2026";
    s.onLAN = true;
    s.upWrapOffset = 7;
    return s;
}

TEST(ResetCounters, ClearsTotalsAndTotalTimeThenSavesOnce)
{
    test::FakeClock clock({2026, 12, 9, 14, 0, 0, 0});
    test::GermanLocale german;
    UsageState state = busyState();
    ViewModel view;
    int saves = 0;
    ResetCounters(state, view, clock, german, [&] {
        ++saves;
        // The save must see the cleared state.
        EXPECT_EQ(state.totalUpBytes, 0.0);
        EXPECT_EQ(state.lastResetDate, "09.12.2026");
    });

    EXPECT_EQ(saves, 1);
    EXPECT_EQ(state.baseUpBytes, 0.0);
    EXPECT_EQ(state.baseDownBytes, 0.0);
    EXPECT_EQ(state.totalDownBytes, 0.0);
    EXPECT_EQ(state.totalBytes, 0.0);
    EXPECT_EQ(state.sessionUpStart, kSessionNotStarted);
    EXPECT_EQ(state.sessionDownStart, kSessionNotStarted);
    EXPECT_EQ(state.totalHours + state.totalMinutes + state.totalSeconds, 0);
    EXPECT_EQ(view.text(names::lAll), "0 kb");
    EXPECT_EQ(view.text(names::lIn), "0 kb");
    EXPECT_EQ(view.text(names::lOut), "0 kb");
    EXPECT_EQ(view.text(names::lotAll), "-");
    EXPECT_EQ(view.text(names::lRd), "09.12.2026");

    // Today, session, readings and settings are not part of a reset.
    EXPECT_EQ(state.todayHours, 1);
    EXPECT_EQ(state.todaySeconds, 3);
    EXPECT_EQ(state.sessionMinutes, 9);
    EXPECT_EQ(state.sessionUpBytes, 100.0);
    EXPECT_EQ(state.upWrapOffset, 7.0);
    EXPECT_TRUE(state.onLAN);
}

TEST(ResetCounters, TheFileHoldsZeroTotalsAndTheNewDateButKeepsToday)
{
    test::FakeFileStore files;
    files.folders = {"/p", "/p/data"};
    test::FakeClock clock;
    test::GermanLocale german;
    UsageDataFile data("/p/data/data.ini", files, german, clock);
    UsageState state;
    ViewModel view;
    files.files["/p/data/data.ini"] = "[data]\r\noTA=9:9:9\r\noTD=1:2:3\r\nSD=08.12.2026\r\nRD=01.01.2026\r\n"
                                      "Tup=5000\r\nTDown=7000\r\n";
    data.LoadUsageData(state);
    ResetCounters(state, view, clock, german, [&] { data.SaveUsageData(state, 0, 0); });

    UsageState reloaded;
    data.LoadUsageData(reloaded);
    EXPECT_EQ(reloaded.baseUpBytes, 0.0);
    EXPECT_EQ(reloaded.baseDownBytes, 0.0);
    EXPECT_EQ(reloaded.totalHours + reloaded.totalMinutes + reloaded.totalSeconds, 0);
    EXPECT_EQ(reloaded.lastResetDate, "08.12.2026");
    EXPECT_EQ(reloaded.todayHours, 1);
    EXPECT_EQ(reloaded.todaySeconds, 3);
}

TEST(ResetCounters, AFailingSaveReachesTheCaller)
{
    test::FakeClock clock;
    test::GermanLocale german;
    UsageState state = busyState();
    ViewModel view;
    EXPECT_THROW(ResetCounters(state, view, clock, german,
                               [] { throw SaveError("nach x kann nicht geschrieben werden"); }),
                 SaveError);
    EXPECT_EQ(state.totalUpBytes, 0.0);
}

TEST(GatewaySwitch, TickingAsksOnceAndOnlyYesKeepsTheBoxTicked)
{
    UsageState state;
    std::vector<std::string> asked;
    const auto answer = [&asked](bool yes) {
        return [&asked, yes](const std::string& question) {
            asked.push_back(question);
            return yes;
        };
    };

    EXPECT_FALSE(GatewaySwitchClicked(state, true, answer(false)));
    EXPECT_FALSE(state.onLAN);
    EXPECT_TRUE(GatewaySwitchClicked(state, true, answer(true)));
    EXPECT_TRUE(state.onLAN);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0],
              "Nur aktivieren wenn Sie \xC3\xBC"
              "ber ein Netzwerk oder Gateway eine Verbindung ins Internet erhalten.\r\nHaken setzen? ");

    EXPECT_FALSE(GatewaySwitchClicked(state, false, answer(true)));
    EXPECT_FALSE(state.onLAN);
    EXPECT_EQ(asked.size(), 2u);
}

} // namespace
} // namespace tavlor
