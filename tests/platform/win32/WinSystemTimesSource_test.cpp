#include "platform/win32/WinSystemTimesSource.h"

#include "views/CpuGauge.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

std::int64_t systemTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Keeps one processor busy until the system time has moved on by `span` (100 ns units): a
// real load measurement needs real time between its two readings.
void busyFor(std::int64_t span)
{
    const std::int64_t end = systemTimeNow() + span;
    volatile std::uint64_t sink = 0;
    while (systemTimeNow() < end) {
        for (int i = 0; i < 10000; ++i) {
            sink = sink + static_cast<std::uint64_t>(i);
        }
    }
}

TEST(WinSystemTimesSource, ReadsProcessorCountSystemTimeAndIdleTime)
{
    WinSystemTimesSource source;
    const auto times = source.cpuTimes();

    ASSERT_TRUE(times.has_value()) << "a record size the system refuses";
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    EXPECT_EQ(times->processors, static_cast<int>(info.dwNumberOfProcessors));
    EXPECT_NEAR(static_cast<double>(times->systemTime100ns), static_cast<double>(systemTimeNow()), 2e7);
    EXPECT_GT(times->idleTime100ns, 0);
}

TEST(WinSystemTimesSource, IdleTimeGrowsNoFasterThanAllProcessorsTogether)
{
    WinSystemTimesSource source;
    const auto before = source.cpuTimes();
    busyFor(3000000);
    const auto after = source.cpuTimes();
    ASSERT_TRUE(before && after);

    const std::int64_t elapsed = after->systemTime100ns - before->systemTime100ns;
    const std::int64_t idle = after->idleTime100ns - before->idleTime100ns;
    EXPECT_GE(elapsed, 3000000);
    EXPECT_GE(idle, 0);
    // A little slack: the two records are not read in the same instant.
    EXPECT_LE(idle, elapsed * after->processors + 2000000);
}

TEST(WinSystemTimesSource, GivesTheGaugeASaneLoadBetweenTwoCalls)
{
    WinSystemTimesSource source;
    CpuLoadMeter meter(source);
    EXPECT_EQ(meter.GetCpuLoad(), 0) << "the first call has nothing to compare with";
    busyFor(3000000);
    const std::int32_t load = meter.GetCpuLoad();
    // One processor was kept busy the whole time.
    const auto times = source.cpuTimes();
    ASSERT_TRUE(times.has_value());
    EXPECT_GE(load, 100 / times->processors / 2);
    EXPECT_LE(load, 100);
}

} // namespace
} // namespace tavlor::win32
