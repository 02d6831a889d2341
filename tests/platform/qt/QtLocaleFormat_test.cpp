#include "platform/qt/QtLocaleFormat.h"

#include "datafile/FileText.h"
#include "datafile/UsageValues.h"

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

// Qt's own data for locales whose digits, marks or separators Windows-1252 cannot hold: what
// the data file gets from them reads back as the same date and number, and so do their own texts.
TEST(QtLocaleFormat, ScriptLocalesWriteDataFileValuesThatReadBack)
{
    const CivilDateTime day{2026, 12, 7, 0, 0, 0, 0};
    for (const char* name :
         {"bg_BG", "ar_EG", "fa_IR", "bn_BD", "mr_IN", "ne_NP", "de_DE", "en_US", "ja_JP"}) {
        const QtLocaleFormat locale{QLocale(QString::fromLatin1(name))};
        const std::string shown = locale.formatShortDate(day);
        const std::string stored = FileDateText(locale, day);
        EXPECT_TRUE(FitsDataFile(stored)) << name << ": " << stored;
        for (const std::string& text : {shown, stored}) {
            const auto back = ParseFileDate(text, locale);
            ASSERT_TRUE(back.has_value()) << name << ": " << text;
            EXPECT_EQ(back->day, 7) << name << ": " << text;
            EXPECT_EQ(back->month, 12) << name << ": " << text;
            EXPECT_EQ(back->year, 2026) << name << ": " << text;
        }
        const std::string number = FileNumberFormat(locale).format(4509715660.8);
        EXPECT_TRUE(FitsDataFile(number)) << name << ": " << number;
        EXPECT_EQ(ParseFileNumber(number, locale), 4509715660.8) << name << ": " << number;
    }
}

TEST(QtLocaleFormat, LongDatesReadBack)
{
    const QtLocaleFormat de(QLocale(QLocale::German, QLocale::Germany));
    const std::string text = QLocale(QLocale::German, QLocale::Germany)
                                 .toString(QDate(2026, 12, 7), QLocale::LongFormat)
                                 .toStdString();
    const auto back = ParseFileDate(text, de);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(back->day, 7);
}

} // namespace
} // namespace tavlor
