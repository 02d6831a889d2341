#include "text/DayCount.h"

#include <gtest/gtest.h>

using namespace tavlor;

namespace {
struct DayCase
{
    const char* what;
    CivilDateTime stamp;
    CivilDateTime now;
    bool newDay;
};

const DayCase kDayCases[] = {
    {"same day", {2026, 12, 8, 0, 0, 0, 0}, {2026, 12, 8, 23, 59, 59, 0}, false},
    {"next day", {2026, 12, 8, 23, 0, 0, 0}, {2026, 12, 9, 0, 0, 1, 0}, true},
    {"month end to a smaller day", {2026, 11, 30, 0, 0, 0, 0}, {2026, 12, 1, 0, 0, 0, 0}, true},
    {"new year", {2026, 12, 31, 23, 59, 59, 0}, {2027, 1, 1, 0, 0, 0, 0}, true},
    {"a month later on the same day number", {2026, 11, 8, 0, 0, 0, 0}, {2026, 12, 8, 0, 0, 0, 0}, true},
    {"time-server step back across midnight", {2026, 12, 9, 0, 0, 0, 0}, {2026, 12, 8, 23, 59, 20, 0}, false},
    {"back across new year", {2027, 1, 1, 0, 0, 5, 0}, {2026, 12, 31, 23, 59, 0, 0}, false},
    {"clock stood two days ahead", {2026, 12, 10, 0, 0, 0, 0}, {2026, 12, 8, 12, 0, 0, 0}, true},
    {"clock stood years ahead", {2037, 1, 1, 0, 0, 0, 0}, {2026, 12, 8, 12, 0, 0, 0}, true},
};
} // namespace

TEST(DayTest, OnlyADateThatMovedForwardOrAPlainlyWrongClockEndsTheDay)
{
    for (const DayCase& c : kDayCases) {
        EXPECT_EQ(IsNewDay(ToDayCount(c.stamp), c.now), c.newDay) << c.what;
    }
}
