#include "views/MonitorModel.h"

#include "text/KvString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace tavlor {
namespace {

TEST(MonitorModel, ZeroDownloadSetsTheMaximumToThree)
{
    MonitorModel model;
    const MonitorModel::Sample s = model.takeSample(0, 0);
    EXPECT_EQ(s.x, 1);
    EXPECT_EQ(s.downY, 0);
    ASSERT_TRUE(s.leftAxisMaximum);
    EXPECT_EQ(*s.leftAxisMaximum, 3);
    EXPECT_EQ(model.leftAxisTop(), 0);
    EXPECT_EQ(s.bottomAxisMaximum, 11);
}

TEST(MonitorModel, AxisRisesWithHeadroomAndDoesNotFall)
{
    MonitorModel model;
    const MonitorModel::Sample first = model.takeSample(12.5, 1);
    EXPECT_EQ(first.downY, 12);
    ASSERT_TRUE(first.leftAxisMaximum);
    EXPECT_EQ(*first.leftAxisMaximum, 17);
    EXPECT_EQ(model.leftAxisTop(), 17);

    const MonitorModel::Sample second = model.takeSample(8, 1);
    EXPECT_FALSE(second.leftAxisMaximum);
    EXPECT_EQ(second.downY, 8);

    // 13 is above 17 - 5, so the axis moves on to 18.
    const MonitorModel::Sample third = model.takeSample(13, 1);
    ASSERT_TRUE(third.leftAxisMaximum);
    EXPECT_EQ(*third.leftAxisMaximum, 18);
}

TEST(MonitorModel, HalvesRoundToTheEvenNeighbour)
{
    MonitorModel model;
    EXPECT_EQ(model.takeSample(2.5, 2.5).downY, 2);
    const MonitorModel::Sample s = model.takeSample(3.5, 0.5);
    EXPECT_EQ(s.downY, 4);
    EXPECT_EQ(s.upY, 0);
    EXPECT_EQ(model.takeSample(2.51, 1.5).downY, 3);
    EXPECT_EQ(model.takeSample(1, 1.5).upY, 2);
}

TEST(MonitorModel, FastLinksMoveTheAxisLikeAnyOtherFigure)
{
    MonitorModel model;
    const MonitorModel::Sample s = model.takeSample(1500, 40);
    EXPECT_EQ(s.downY, 1500);
    EXPECT_EQ(s.upY, 40);
    ASSERT_TRUE(s.leftAxisMaximum);
    EXPECT_EQ(*s.leftAxisMaximum, 1505);
}

// The 1500 point is still on the chart: an idle sample must not hide it, nor the traffic that
// resumes below it.
TEST(MonitorModel, AnIdleSampleKeepsTheAxisAboveEveryPointOnTheChart)
{
    MonitorModel model;
    model.takeSample(1500, 40);
    EXPECT_FALSE(model.takeSample(0, 0).leftAxisMaximum);
    EXPECT_FALSE(model.takeSample(900, 0).leftAxisMaximum);
    EXPECT_EQ(model.leftAxisMaximum(), 1505);
}

TEST(MonitorModel, NoPointIsEverAboveTheAxisOrBelowZero)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<double, double>> figures;
    };
    const Case cases[] = {
        {"idle after a peak", {{120, 3}, {0, 0}, {60, 2}, {0, 0}, {80, 1}}},
        {"upload above download", {{2, 50}, {1, 70}, {0, 0}}},
        {"negative and absurd figures", {{-40, -1}, {1e300, 0}, {5, 5}}},
        {"falling slowly", {{100, 0}, {96, 0}, {97, 0}, {99, 0}}},
    };
    for (const Case& c : cases) {
        MonitorModel model;
        double shown = 0;
        for (const auto& [down, up] : c.figures) {
            const MonitorModel::Sample s = model.takeSample(down, up);
            shown = s.leftAxisMaximum.value_or(shown);
            for (double y : {s.downY, s.upY}) {
                EXPECT_GE(y, 0) << c.name;
                EXPECT_LE(y, shown) << c.name;
            }
            for (const auto* points : {&model.downloadPoints(), &model.uploadPoints()}) {
                for (const HistoryPoint& p : *points) {
                    EXPECT_LE(p.y, shown) << c.name << " at x " << p.x;
                }
            }
        }
    }
}

TEST(MonitorModelHistory, HoldsEverySampleUntilFull)
{
    MonitorModel model(8);
    for (int i = 1; i <= 8; ++i) {
        const MonitorModel::Sample s = model.takeSample(i, 10 - i);
        EXPECT_EQ(s.downChange, MonitorModel::Change::Appended);
    }
    ASSERT_EQ(model.downloadPoints().size(), 8u);
    EXPECT_EQ(model.downloadPoints().back(), (HistoryPoint{8, 8}));
    EXPECT_EQ(model.uploadPoints().front(), (HistoryPoint{1, 9}));
}

TEST(MonitorModelHistory, MergesPairwiseKeepingEachPeakWhereItHappened)
{
    MonitorModel model(8);
    const double down[] = {1, 7, 2, 2, 9, 3, 0, 4};
    for (double d : down) {
        model.takeSample(d, 0);
    }
    const MonitorModel::Sample s = model.takeSample(5, 0);
    EXPECT_EQ(s.downChange, MonitorModel::Change::Rebuilt);
    EXPECT_EQ(s.upChange, MonitorModel::Change::Rebuilt);
    EXPECT_EQ(model.samplesPerPoint(), 2);
    // Ties keep the later sample; the ninth sample opens a new bucket of two.
    const std::vector<HistoryPoint> expected = {{2, 7}, {4, 2}, {5, 9}, {8, 4}, {9, 5}};
    EXPECT_EQ(model.downloadPoints(), expected);

    // The tenth sample shares the ninth's bucket: a higher figure replaces it, a lower one not.
    EXPECT_EQ(model.takeSample(6, 0).downChange, MonitorModel::Change::ReplacedLast);
    EXPECT_EQ(model.downloadPoints().back(), (HistoryPoint{10, 6}));
    EXPECT_EQ(model.takeSample(1, 0).downChange, MonitorModel::Change::Appended);
    EXPECT_EQ(model.takeSample(0, 0).downChange, MonitorModel::Change::None);
    EXPECT_EQ(model.downloadPoints().back(), (HistoryPoint{11, 1}));
    EXPECT_EQ(model.uploadPoints().back(), (HistoryPoint{12, 0}));
}

TEST(MonitorModelHistory, AWiderChartMergesLaterButNeverShrinksTheRoom)
{
    MonitorModel model(8);
    model.growCapacity(13); // odd: pairs must still come out even
    model.growCapacity(4);
    EXPECT_EQ(model.capacity(), 12u);
    for (int i = 1; i <= 12; ++i) {
        EXPECT_NE(model.takeSample(i, 0).downChange, MonitorModel::Change::Rebuilt) << i;
    }
    EXPECT_EQ(model.takeSample(1, 0).downChange, MonitorModel::Change::Rebuilt);
    EXPECT_EQ(model.downloadPoints().size(), 7u);
}

TEST(MonitorModelHistory, AMonthStaysBoundedAndKeepsALoneSpike)
{
    MonitorModel model;
    constexpr std::int32_t kMonth = 1296000; // samples two seconds apart
    for (std::int32_t i = 1; i <= kMonth; ++i) {
        model.takeSample(i == 4321 ? 900 : 3, 1);
    }
    const auto& points = model.downloadPoints();
    EXPECT_LE(points.size(), model.capacity());
    EXPECT_GT(points.size(), model.capacity() / 2);
    EXPECT_EQ(points.back().x, kMonth);
    const auto spikes =
        std::count_if(points.begin(), points.end(), [](const HistoryPoint& p) { return p.y == 900; });
    EXPECT_EQ(spikes, 1);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](const HistoryPoint& a, const HistoryPoint& b) { return a.x < b.x; }));
    EXPECT_EQ(model.bottomAxisMaximum(), kMonth + 10);
    EXPECT_EQ(model.leftAxisMaximum(), 905);
}

TEST(MonitorModel, BottomAxisSpansTheWholeHistory)
{
    MonitorModel model;
    MonitorModel::Sample s;
    for (int i = 0; i < 11; ++i) {
        s = model.takeSample(1, 1);
    }
    EXPECT_EQ(s.x, 11);
    EXPECT_EQ(model.sampleCount(), 11);
    EXPECT_EQ(s.bottomAxisMaximum, 21);
}

TEST(MonitorModel, AbsurdFiguresDoNotOverflowTheAxis)
{
    MonitorModel model;
    const MonitorModel::Sample s = model.takeSample(1e300, 0);
    ASSERT_TRUE(s.leftAxisMaximum);
    EXPECT_GT(*s.leftAxisMaximum, 2e9);
    EXPECT_GT(model.leftAxisTop(), 0);
}

} // namespace
} // namespace tavlor
