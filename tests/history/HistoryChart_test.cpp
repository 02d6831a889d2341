#include "history/HistoryChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavlor {
namespace {

TEST(HistoryChartScale, RoundTicksInMegabytesBelowAGigabyteAndInGigabytesFromThereOn)
{
    struct Case
    {
        double highestBytes;
        const char* unit;
        double maximum;
        double step;
    };
    const Case cases[] = {
        {549e6, "MB", 600, 100}, // the bars of a month around 500 MB: 0, 100 ... 600
        {499.1e6, "MB", 500, 100}, {500e6, "MB", 600, 100}, // the top of the axis stays above the highest bar
        {137e6, "MB", 140, 20},    {2.5e6, "MB", 3, 0.5},   // a quiet month: half megabytes
        {0.3e6, "MB", 0.35, 0.05}, {999e6, "MB", 1000, 200},  {1e9, "GB", 1.2, 0.2},
        {1.9e9, "GB", 2, 0.5},     {4.2e9, "GB", 5, 1}, // 0, 1, 2 ... 5 GB
        {37e9, "GB", 40, 10},      {1.2e12, "GB", 1400, 200},
    };
    for (const Case& c : cases) {
        const HistoryChartScale scale = ScaleForHighestBar(c.highestBytes);
        SCOPED_TRACE(c.highestBytes);
        EXPECT_EQ(scale.unit, c.unit);
        EXPECT_DOUBLE_EQ(scale.bytesPerUnit, std::string(c.unit) == "GB" ? 1e9 : 1e6);
        EXPECT_NEAR(scale.maximum, c.maximum, c.maximum * 1e-9);
        EXPECT_NEAR(scale.step, c.step, c.step * 1e-9);
        // Whole steps from 0 to the top, and the highest bar below the top.
        EXPECT_NEAR(scale.maximum / scale.step, std::round(scale.maximum / scale.step), 1e-9);
        EXPECT_EQ(scale.ticks, static_cast<int>(std::round(scale.maximum / scale.step)) + 1);
        EXPECT_GT(scale.maximum * scale.bytesPerUnit, c.highestBytes);
        EXPECT_LE(scale.ticks, 8);
        EXPECT_GE(scale.ticks, 4);
    }
}

TEST(HistoryChartScale, NothingCountedGivesOneMegabyte)
{
    for (const double nothing :
         {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        const HistoryChartScale scale = ScaleForHighestBar(nothing);
        EXPECT_EQ(scale.unit, "MB");
        EXPECT_DOUBLE_EQ(scale.maximum, 1);
        EXPECT_EQ(scale.ticks, 2);
    }
}

} // namespace
} // namespace tavlor
