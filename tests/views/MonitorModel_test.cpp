#include "views/MonitorModel.h"

#include "accounting/KvString.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

TEST(MonitorModelSpeedFigure, ReadsTheNumberBeforeKbInTheLocale)
{
    const NumberFormat german(",");
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "0 kb/s"), 0);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "12,34 kb/s"), 12.34);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "  7,5  "), 7.5);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(NumberFormat("."), "1500.5 kb/s"), 1500.5);
}

TEST(MonitorModelSpeedFigure, UnreadableTextGivesZero)
{
    const NumberFormat german(",");
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, ""), 0);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "-"), 0);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "kb/s"), 0);
    EXPECT_DOUBLE_EQ(MonitorModel::SpeedFigure(german, "12.5 kb/s"), 0);
}

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
    // A zero afterwards drops the visible maximum to 3 but not the remembered top.
    EXPECT_EQ(*model.takeSample(0, 0).leftAxisMaximum, 3);
    EXPECT_EQ(model.leftAxisTop(), 1505);
    EXPECT_FALSE(model.takeSample(900, 0).leftAxisMaximum);
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
