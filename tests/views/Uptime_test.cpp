#include "views/Uptime.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

TEST(UptimeText, SplitsMillisecondsIntoWeeksDaysHoursMinutesSeconds)
{
    EXPECT_EQ(UptimeText(0, "Windows"), "Windows Uptime: 0 Wochen, 0 Tage, 0 h, 0 min, 0 sek.");
    EXPECT_EQ(UptimeText(90061000, "Windows"), "Windows Uptime: 0 Wochen, 1 Tage, 1 h, 1 min, 1 sek.");
    EXPECT_EQ(UptimeText(4294967295u, "Windows"), "Windows Uptime: 7 Wochen, 0 Tage, 17 h, 2 min, 47 sek.");
    EXPECT_EQ(UptimeText(59999, "Linux"), "Linux Uptime: 0 Wochen, 0 Tage, 0 h, 0 min, 59 sek.");
}

TEST(UptimeText, KeepsCountingPastTheThirtyTwoBitLimit)
{
    // 50 days, 3 hours: where a 32-bit tick count would have wrapped to about 0.
    const std::uint64_t fiftyDays = 50ull * 86400000u + 3u * 3600000u;
    EXPECT_EQ(UptimeText(fiftyDays, "Linux"), "Linux Uptime: 7 Wochen, 1 Tage, 3 h, 0 min, 0 sek.");
}

TEST(UptimeText, WeeksAreNotWrappedAfterAYear)
{
    const std::uint64_t weeks = 604800000u;
    EXPECT_EQ(UptimeText(53 * weeks + 2 * 86400000u, "Linux"),
              "Linux Uptime: 53 Wochen, 2 Tage, 0 h, 0 min, 0 sek.");
}

} // namespace
} // namespace tavlor
