#include "status/bus/StatusBus.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

// What the program publishes is what tavlor-status reads back: D-Bus has no null, so the
// limits and the share travel as 0 and -1 and must come back as "none".
TEST(StatusBus, EverySnapshotSurvivesTheWayOverTheBus)
{
    StatusSnapshot base;
    base.running = true;
    base.online = true;
    base.link = "ppp0";
    base.connection = "T-Mobile \xC3\xA4";
    base.downloadBps = 1536.5;
    base.uploadBps = 12.25;
    base.session = {1, 2, 3};
    base.todaySeconds = 4;
    base.total = {18446744073709551615ULL, 6, 7};
    base.period.first = {2026, 11, 15};
    base.period.last = {2026, 12, 14};
    base.period.used = {8, 9, 10};
    struct Case
    {
        const char* name;
        void (*change)(StatusSnapshot&);
    } cases[] = {
        {"no limit", [](StatusSnapshot&) {}},
        {"volume limit at 0 %",
         [](StatusSnapshot& s) {
             s.period.limitBytes = 5000000000ULL;
             s.period.percent = 0.0;
         }},
        {"time limit over, download only",
         [](StatusSnapshot& s) {
             s.period.limitSeconds = 3600;
             s.period.downloadOnly = true;
             s.period.percent = 250.0;
             s.period.level = WarnLevel::Over;
         }},
        {"both limits, warned",
         [](StatusSnapshot& s) {
             s.period.limitBytes = 1;
             s.period.limitSeconds = 2;
             s.period.percent = 85.5;
             s.period.level = WarnLevel::Warning;
         }},
        {"offline",
         [](StatusSnapshot& s) {
             s.online = false;
             s.link.clear();
             s.connection.clear();
             s.downloadBps = s.uploadBps = 0;
         }},
    };
    for (const Case& c : cases) {
        StatusSnapshot s = base;
        c.change(s);
        EXPECT_EQ(StatusFromProperties(StatusProperties(s)), s) << c.name;
    }
}

TEST(StatusBus, AnAnswerWithoutPropertiesReadsAsZerosNotAsALimit)
{
    const StatusSnapshot s = StatusFromProperties({});
    EXPECT_TRUE(s.running);
    EXPECT_EQ(s.total, StatusFigures{});
    EXPECT_FALSE(s.period.limitBytes);
    EXPECT_FALSE(s.period.percent);
    EXPECT_EQ(s.period.level, WarnLevel::Normal);
}

} // namespace
} // namespace tavlor
