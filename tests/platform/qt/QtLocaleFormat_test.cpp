#include "platform/qt/QtLocaleFormat.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

const CivilDateTime kMoment{2026, 12, 8, 17, 5, 9, 0};

TEST(QtLocaleFormat, GermanDatesCarryFourYearDigitsAndTimesNoZone)
{
    const QtLocaleFormat de(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.decimalSeparator(), ",");
    EXPECT_EQ(de.formatShortDate(kMoment), "08.12.2026");
    EXPECT_EQ(de.formatLongTime(kMoment), "17:05:09");
    EXPECT_EQ(de.formatDateTime(kMoment), "08.12.2026 17:05:09");
}

TEST(QtLocaleFormat, ShortDatesReadBackStrictly)
{
    const QtLocaleFormat de(QLocale(QLocale::German, QLocale::Germany));
    const std::optional<CivilDateTime> date = de.parseShortDate("29.02.2028");
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->year, 2028);
    EXPECT_EQ(date->month, 2);
    EXPECT_EQ(date->day, 29);
    for (const char* bad : {"", "29.02.2026", "32.01.2026", "08/12/2026", "heute", "08.12.2026x"}) {
        EXPECT_FALSE(de.parseShortDate(bad).has_value()) << bad;
    }
    EXPECT_EQ(de.parseShortDate(de.formatShortDate(kMoment))->day, 8);
}

TEST(QtLocaleFormat, EnglishUsesItsOwnOrderAndSeparator)
{
    const QtLocaleFormat us(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.decimalSeparator(), ".");
    EXPECT_EQ(us.formatShortDate(kMoment), "12/8/2026");
    EXPECT_FALSE(us.longTimePattern().contains(QLatin1Char('t')));
    ASSERT_TRUE(us.parseShortDate("12/8/2026").has_value());
    EXPECT_EQ(us.parseShortDate("12/8/2026")->month, 12);
}

// Without LANG the system locale is Qt's "C" locale, whose short date spells the month
// ("8 Dec 2026"); the data file's SD must still read back as the same date.
TEST(QtLocaleFormat, CLocaleDatesReadBack)
{
    const QtLocaleFormat c(QLocale::c());
    const CivilDateTime day{2026, 12, 8, 0, 0, 0, 0};
    const std::string text = c.formatShortDate(day);
    const auto back = c.parseShortDate(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(back->year, 2026);
    EXPECT_EQ(back->month, 12);
    EXPECT_EQ(back->day, 8);
}

} // namespace
} // namespace tavlor
