#include "views/CpuGauge.h"

#include <gtest/gtest.h>

#include <deque>

namespace tavlor {
namespace {

// Hands out prepared readings; an empty optional is a failed read.
class ScriptedTimes final : public SystemTimesSource
{
public:
    std::deque<std::optional<CpuTimes>> readings;
    std::optional<CpuTimes> cpuTimes() override
    {
        std::optional<CpuTimes> next = readings.front();
        readings.pop_front();
        return next;
    }
    std::uint64_t millisecondsSinceBoot() override { return 0; }
};

CpuTimes Times(std::int64_t idle, std::int64_t system, int processors)
{
    return CpuTimes{idle, system, processors};
}

TEST(CpuLoadMeter, FirstCallIsZeroAndTheSecondMeasuresTheIdleShare)
{
    ScriptedTimes source;
    // Two processors: idle grew by 1.5 s while 1 s passed, 75 % idle, 25.5 truncated.
    source.readings = {Times(40000000, 900000000, 2), Times(55000000, 910000000, 2)};
    CpuLoadMeter meter(source);
    EXPECT_EQ(meter.GetCpuLoad(), 0);
    EXPECT_EQ(meter.GetCpuLoad(), 25);
}

TEST(CpuLoadMeter, FullyIdleAndFullyBusyProcessor)
{
    ScriptedTimes source;
    source.readings = {Times(1000, 0, 1), Times(10001000, 10000000, 1), Times(10001000, 20000000, 1)};
    CpuLoadMeter meter(source);
    meter.GetCpuLoad();
    EXPECT_EQ(meter.GetCpuLoad(), 0);
    EXPECT_EQ(meter.GetCpuLoad(), 100);
}

TEST(CpuLoadMeter, FailedReadGivesZeroAndKeepsTheLastGoodMeasurement)
{
    ScriptedTimes source;
    source.readings = {Times(1000, 0, 1), std::nullopt, Times(5001000, 20000000, 1)};
    CpuLoadMeter meter(source);
    meter.GetCpuLoad();
    EXPECT_EQ(meter.GetCpuLoad(), 0);
    // Compared with the first reading: 0.5 s idle in 2 s.
    EXPECT_EQ(meter.GetCpuLoad(), 75);
}

TEST(CpuLoadMeter, StandingOrBackwardCountersStayInRange)
{
    ScriptedTimes source;
    source.readings = {Times(1000, 500, 1), Times(2000, 500, 1), // no time passed
                       Times(90000000, 1000, 1),                 // idle grew faster than time
                       Times(80000000, 2000, 1),                 // idle went backwards
                       Times(90000000, 3000, 0)};
    CpuLoadMeter meter(source);
    meter.GetCpuLoad();
    for (int i = 0; i < 4; ++i) {
        const std::int32_t load = meter.GetCpuLoad();
        EXPECT_GE(load, 0) << "call " << i;
        EXPECT_LE(load, 100) << "call " << i;
    }
}

TEST(GaugeFor, PictureIndexFollowsTheLoadPlusOneRule)
{
    struct Row
    {
        int firstLoad;
        int lastLoad;
        int picture;
    };
    const Row table[] = {{0, 4, 0},   {5, 15, 1},  {16, 26, 2}, {27, 37, 3}, {38, 48, 4},
                         {49, 59, 5}, {60, 70, 6}, {71, 81, 7}, {82, 92, 8}, {93, 100, 9}};
    for (const Row& row : table) {
        for (int load = row.firstLoad; load <= row.lastLoad; ++load) {
            EXPECT_EQ(GaugeFor(load).pictureIndex, row.picture) << "load " << load;
        }
    }
}

TEST(GaugeFor, TextShowsTheMeasuredLoad)
{
    EXPECT_EQ(GaugeFor(0).text, "0%");
    EXPECT_EQ(GaugeFor(25).text, "25%");
    EXPECT_EQ(GaugeFor(100).text, "100%");
}

TEST(GaugeFor, OutOfRangeLoadsStayOnValidPictures)
{
    EXPECT_EQ(GaugeFor(-50).pictureIndex, 0);
    EXPECT_EQ(GaugeFor(-50).text, "0%");
    EXPECT_EQ(GaugeFor(5000).pictureIndex, 9);
}

} // namespace
} // namespace tavlor
