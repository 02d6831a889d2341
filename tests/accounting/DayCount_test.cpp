#include "accounting/DayCount.h"

#include <gtest/gtest.h>

using namespace tavlor;

namespace {
struct DayCase
{
    const char* what;
    CivilDateTime stamp;
    CivilDateTime now;
    bool newDay;
    CivilDateTime recorded; // the date a save writes as SD
};

const DayCase kDayCases[] = {
    {"same day",
     {2026, 12, 8, 0, 0, 0, 0},
     {2026, 12, 8, 23, 59, 59, 0},
     false,
     {2026, 12, 8, 23, 59, 59, 0}},
    {"next day", {2026, 12, 8, 23, 0, 0, 0}, {2026, 12, 9, 0, 0, 1, 0}, true, {2026, 12, 9, 0, 0, 1, 0}},
    {"month end to a smaller day",
     {2026, 11, 30, 0, 0, 0, 0},
     {2026, 12, 1, 0, 0, 0, 0},
     true,
     {2026, 12, 1, 0, 0, 0, 0}},
    {"new year", {2026, 12, 31, 23, 59, 59, 0}, {2027, 1, 1, 0, 0, 0, 0}, true, {2027, 1, 1, 0, 0, 0, 0}},
    {"a month later on the same day number",
     {2026, 11, 8, 0, 0, 0, 0},
     {2026, 12, 8, 0, 0, 0, 0},
     true,
     {2026, 12, 8, 0, 0, 0, 0}},
    {"time-server step back across midnight",
     {2026, 12, 9, 0, 0, 0, 0},
     {2026, 12, 8, 23, 59, 20, 0},
     false,
     {2026, 12, 9, 0, 0, 0, 0}},
    {"back across new year",
     {2027, 1, 1, 0, 0, 5, 0},
     {2026, 12, 31, 23, 59, 0, 0},
     false,
     {2027, 1, 1, 0, 0, 0, 0}},
    {"clock stood two days ahead",
     {2026, 12, 10, 0, 0, 0, 0},
     {2026, 12, 8, 12, 0, 0, 0},
     true,
     {2026, 12, 8, 12, 0, 0, 0}},
    {"clock stood years ahead",
     {2037, 1, 1, 0, 0, 0, 0},
     {2026, 12, 8, 12, 0, 0, 0},
     true,
     {2026, 12, 8, 12, 0, 0, 0}},
};
} // namespace

TEST(DayTest, OnlyADateThatMovedForwardOrAPlainlyWrongClockEndsTheDay)
{
    for (const DayCase& c : kDayCases) {
        EXPECT_EQ(IsNewDay(ToDayCount(c.stamp), c.now), c.newDay) << c.what;
        EXPECT_EQ(DateToRecord(ToDayCount(c.stamp), c.now), c.recorded) << c.what;
    }
}
