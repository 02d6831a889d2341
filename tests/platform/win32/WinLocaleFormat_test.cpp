#include "platform/win32/WinLocaleFormat.h"

#include "platform/win32/DatePattern.h"

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

// Day and month of two digits: whether single digits get a leading zero is the locale data's
// business (Windows says "08.12.2026", Wine's data "8.12.2026").
const CivilDateTime kMoment{2026, 12, 18, 17, 5, 9, 0};

CivilDateTime date(int y, int m, int d)
{
    CivilDateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    return t;
}

TEST(WinLocaleFormat, GermanConventionsComeFromTheWindowsLocaleData)
{
    const WinLocaleFormat german(L"de-DE");
    EXPECT_EQ(german.decimalSeparator(), ",");
    EXPECT_EQ(german.formatShortDate(kMoment), "18.12.2026");
    EXPECT_EQ(german.formatLongTime(kMoment), "17:05:09");
    EXPECT_EQ(german.formatDateTime(kMoment), "18.12.2026 17:05:09");
    EXPECT_EQ(german.parseShortDate("08.12.2026"), date(2026, 12, 8));
    EXPECT_EQ(german.parseShortDate("8.1.2027"), date(2027, 1, 8));
}

TEST(WinLocaleFormat, EnglishConventionsToo)
{
    const WinLocaleFormat english(L"en-US");
    EXPECT_EQ(english.decimalSeparator(), ".");
    EXPECT_EQ(english.formatShortDate(kMoment), "12/18/2026");
    EXPECT_EQ(english.parseShortDate("12/8/2026"), date(2026, 12, 8));
    EXPECT_EQ(english.parseShortDate("08.12.2026"), std::nullopt);
}

TEST(WinLocaleFormat, ShortDatesAlwaysCarryFourYearDigits)
{
    // The British short date has a four-digit year already; several locales have two.
    for (const wchar_t* name : {L"en-GB", L"nl-NL", L"fi-FI", L"ja-JP", L"sv-SE"}) {
        const WinLocaleFormat locale(name);
        const std::string text = locale.formatShortDate(date(2031, 3, 4));
        EXPECT_NE(text.find("2031"), std::string::npos) << text;
        EXPECT_EQ(locale.parseShortDate(text), date(2031, 3, 4)) << text;
    }
}

TEST(WinLocaleFormat, ParsingIsStrict)
{
    const WinLocaleFormat german(L"de-DE");
    for (const char* text : {"", "abc", "31.02.2026", "29.02.2025", "08.13.2026", "0.12.2026", "08.12.2026x",
                             " 08.12.2026", "08-12-2026", "08.12.", "08..2026", "123.12.2026"}) {
        EXPECT_EQ(german.parseShortDate(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_EQ(german.parseShortDate("29.02.2028"), date(2028, 2, 29));
    EXPECT_EQ(german.parseShortDate("08.12.26"), date(2026, 12, 8));
}

TEST(WinLocaleFormat, TheUsersOwnLocaleReadsBackWhatItWrites)
{
    const WinLocaleFormat user;
    EXPECT_FALSE(user.decimalSeparator().empty());
    for (const CivilDateTime& d :
         {date(2026, 12, 8), date(2000, 1, 1), date(2028, 2, 29), date(1999, 12, 31)}) {
        const std::string text = user.formatShortDate(d);
        EXPECT_EQ(user.parseShortDate(text), d) << text;
    }
}

TEST(DatePattern, YearFieldsAreWidenedButQuotedTextIsNot)
{
    EXPECT_EQ(WithFourDigitYear(L"dd.MM.yy"), L"dd.MM.yyyy");
    EXPECT_EQ(WithFourDigitYear(L"M/d/yyyy"), L"M/d/yyyy");
    EXPECT_EQ(WithFourDigitYear(L"y-M-d"), L"yyyy-M-d");
    EXPECT_EQ(WithFourDigitYear(L"d 'yy' M yy"), L"d 'yy' M yyyy");
}

TEST(DatePattern, LiteralsQuotesAndFieldOrderAreFollowed)
{
    EXPECT_EQ(ParseWithPattern(L"yyyy-MM-dd", L"2026-12-08"), date(2026, 12, 8));
    EXPECT_EQ(ParseWithPattern(L"d 'de' M 'de' yyyy", L"8 de 12 de 2026"), date(2026, 12, 8));
    EXPECT_EQ(ParseWithPattern(L"dd''MM''yyyy", L"08'12'2026"), date(2026, 12, 8));
    EXPECT_EQ(ParseWithPattern(L"yyyy-MM-dd", L"2026-12-8x"), std::nullopt);
    EXPECT_EQ(ParseWithPattern(L"dd MMMM yyyy", L"08 12 2026"), std::nullopt) << "month names are not read";
    EXPECT_EQ(ParseWithPattern(L"MM/yyyy", L"12/2026"), std::nullopt) << "no day";
    EXPECT_EQ(ParseWithPattern(L"yyyy-MM-dd", L"1600-12-31"), std::nullopt) << "before the system's calendar";
    EXPECT_EQ(ParseWithPattern(L"yyyy-MM-dd", L"1601-01-01"), date(1601, 1, 1));
}

} // namespace
} // namespace tavlor::win32
