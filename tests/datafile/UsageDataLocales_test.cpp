// The data file under locales whose digits, marks or separators Windows-1252 cannot hold.
#include "accounting/ResetGateway.h"
#include "accounting/UsageShown.h"
#include "datafile/FileText.h"
#include "datafile/ProfileFile.h"
#include "datafile/UsageData.h"
#include "text/WidgetNames.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"
#include "ScriptLocales.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavlor {
namespace {

constexpr const char* kFile = "/prog/data/data.ini";

struct Named
{
    const char* name;
    std::shared_ptr<LocaleFormat> locale;
};

std::vector<Named> locales()
{
    return {{"bg_BG", std::make_shared<test::ScriptLocale>(test::BulgarianLocale())},
            {"ar_EG", std::make_shared<test::ScriptLocale>(test::ArabicEgyptLocale())},
            {"fa_IR", std::make_shared<test::ScriptLocale>(test::PersianLocale())},
            {"de_DE", std::make_shared<test::GermanLocale>()},
            {"en_US", std::make_shared<test::EnglishLocale>()}};
}

std::string valueOf(const std::string& bytes, const char* key)
{
    return ProfileFile(bytes).readString("DATA", key, "<missing>");
}

TEST(UsageDataLocales, AFileWrittenUnderAnyLocaleReadsBackWithTheSameDatesAndTotals)
{
    const CivilDateTime reset{2026, 11, 30, 0, 0, 0, 0};
    for (const Named& l : locales()) {
        test::FakeFileStore files;
        files.folders = {"/prog", "/prog/data"};
        test::FakeClock clock;
        UsageDataFile data(kFile, files, *l.locale, clock);
        UsageState state;
        ViewModel view;
        data.LoadUsageData(state);
        const std::string& first = files.files.at(kFile);
        EXPECT_EQ(first.find('?'), std::string::npos) << l.name << ": " << first;

        ResetCounters(state, view, test::FakeClock(reset), *l.locale, [] {});
        state.totalUpBytes = 4509715660.8;
        state.totalDownBytes = 123;
        state.todayHours = 2;
        data.SaveUsageData(state, 0, 0);
        const std::string bytes = files.files.at(kFile);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << l.name << ": " << bytes;
        EXPECT_TRUE(valueOf(bytes, "TUp") == "4509715660,8" || valueOf(bytes, "TUp") == "4509715660.8")
            << l.name;

        UsageState loaded;
        ViewModel shown;
        UsageDataFile(kFile, files, *l.locale, clock).LoadUsageData(loaded);
        ShowLoadedUsage(loaded, *l.locale, shown);
        EXPECT_EQ(loaded.baseUpBytes, 4509715660.8) << l.name;
        EXPECT_EQ(loaded.baseDownBytes, 123.0) << l.name;
        EXPECT_EQ(loaded.todayHours, 2) << l.name << ": SD " << valueOf(bytes, "SD") << " not read as today";
        EXPECT_EQ(loaded.lastResetDate, state.lastResetDate) << l.name << ": RD " << valueOf(bytes, "RD");
        EXPECT_EQ(shown.text(names::lRd), state.lastResetDate) << l.name;
    }
}

TEST(UsageDataLocales, DatesKeepTheLocalesFormWhereItFitsTheFileElseDayMonthYear)
{
    const CivilDateTime date{2026, 12, 8, 0, 0, 0, 0};
    const std::pair<std::shared_ptr<LocaleFormat>, const char*> cases[] = {
        {std::make_shared<test::GermanLocale>(), "08.12.2026"},
        {std::make_shared<test::EnglishLocale>(), "12/8/2026"},
        {std::make_shared<test::ScriptLocale>(test::BulgarianLocale()), "08.12.2026"},
        {std::make_shared<test::ScriptLocale>(test::ArabicEgyptLocale()), "08.12.2026"},
        {std::make_shared<test::ScriptLocale>(test::PersianLocale()), "08.12.2026"},
    };
    for (const auto& [locale, text] : cases) {
        EXPECT_EQ(FileDateText(*locale, date), text);
    }
    EXPECT_EQ(FileNumberFormat(test::ScriptLocale(test::ArabicEgyptLocale())).format(0.5), "0,5");
    EXPECT_EQ(FileNumberFormat(test::EnglishLocale()).format(0.5), "0.5");
}

TEST(UsageDataLocales, DatesAreReadInEveryFormPeopleAndLocalesWriteThem)
{
    const CivilDateTime dec7{2026, 12, 7, 0, 0, 0, 0};
    const test::GermanLocale german;
    const test::EnglishLocale english;
    const test::ScriptLocale arabic = test::ArabicEgyptLocale();
    const test::ScriptLocale persian = test::PersianLocale();
    const test::ScriptLocale bulgarian = test::BulgarianLocale();
    const std::pair<const LocaleFormat*, const char*> readable[] = {
        {&german, "7.12.2026"},
        {&german, "07.12.26"},
        {&german, "7.12.26"},
        {&german, " 07.12.2026 "},
        {&german, "2026-12-07"},
        {&english, "12/7/2026"},
        {&english, "12/07/26"},
        {&english, "07.12.2026"}, // the file's own fallback form
        {&arabic, "\xD9\xA7\xE2\x80\x8F/\xD9\xA1\xD9\xA2\xE2\x80\x8F/\xD9\xA2\xD9\xA0\xD9\xA2\xD9\xA6"},
        {&arabic, "07.12.2026"},
        {&persian, "\xDB\xB2\xDB\xB0\xDB\xB2\xDB\xB6/\xDB\xB1\xDB\xB2/\xDB\xB7"},
        {&persian, "2026/12/7"},
        {&bulgarian, "7.12.2026 \xD0\xB3."},
        {&bulgarian, "07.12.2026"},
    };
    for (const auto& [locale, text] : readable) {
        const auto date = ParseFileDate(text, *locale);
        ASSERT_TRUE(date.has_value()) << text;
        EXPECT_EQ(date->year, dec7.year) << text;
        EXPECT_EQ(date->month, dec7.month) << text;
        EXPECT_EQ(date->day, dec7.day) << text;
    }
    for (const char* text :
         {"31.02.2026", "7.12.20266", "7.123.2026", "12.2026", "", "heute", "2026-13-01"}) {
        EXPECT_FALSE(ParseFileDate(text, german).has_value()) << text;
    }
}

TEST(UsageDataLocales, AShortOrOneDigitTodayUnderGermanKeepsTheTodayCounters)
{
    for (const char* sd : {"8.12.2026", "08.12.26", "2026-12-08"}) {
        test::FakeFileStore files;
        files.folders = {"/prog", "/prog/data"};
        files.files[kFile] = "head\r\n\r\n[data]\r\noTD=4:5:6\r\nSD=" + std::string(sd) + "\r\n";
        test::FakeClock clock;
        test::GermanLocale german;
        UsageState state;
        ViewModel view;
        UsageDataFile(kFile, files, german, clock).LoadUsageData(state);
        EXPECT_EQ(state.todayHours, 4) << sd;
        EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(DateOnly(clock.nowLocal()))) << sd;
    }
}

// Where day and month could be either way round, the day the file was last written decides;
// a text that names one date only is read as that date whatever the locale.
TEST(UsageDataLocales, ADateIsReadInItsOwnFormResolvedByTheDayItWasWritten)
{
    const test::GermanLocale german;
    const test::EnglishLocale english;
    const test::ScriptLocale arabic = test::ArabicEgyptLocale();
    struct Case
    {
        const char* text;
        const LocaleFormat& reader;
        CivilDateTime written;
        CivilDateTime read;
    };
    const CivilDateTime dec9{2026, 12, 9, 0, 0, 0, 0};
    const CivilDateTime sep12{2026, 9, 12, 0, 0, 0, 0};
    const Case cases[] = {
        {"12/9/2026", german, {2026, 12, 9, 22, 0, 0, 0}, dec9},
        {"12/9/2026", german, {2026, 12, 10, 0, 1, 0, 0}, dec9}, // saved just before midnight
        {"12/9/2026", german, {2026, 9, 12, 8, 0, 0, 0}, sep12},
        {"9/12/2026", german, {2026, 12, 9, 8, 0, 0, 0}, dec9},
        {"12/09/26", german, {2026, 12, 9, 8, 0, 0, 0}, dec9},
        {"12/9/2026", german, {2026, 11, 1, 8, 0, 0, 0}, sep12},  // a copy: the latest day before
        {"12/9/2026", german, {2026, 1, 1, 8, 0, 0, 0}, sep12},   // a clock behind: the earlier day
        {"09.12.2026", english, {2026, 9, 12, 8, 0, 0, 0}, dec9}, // dots are day first
        {"13/9/2026", english, {2026, 12, 9, 8, 0, 0, 0}, {2026, 9, 13, 0, 0, 0, 0}},
        {"9/9/2026", german, {2026, 12, 9, 8, 0, 0, 0}, {2026, 9, 9, 0, 0, 0, 0}},
        {"2026-12-09", english, {2027, 3, 1, 8, 0, 0, 0}, dec9},
        {"\xD9\xA9/\xD9\xA1\xD9\xA2/\xD9\xA2\xD9\xA0\xD9\xA2\xD9\xA6",
         german,
         {2026, 12, 9, 8, 0, 0, 0},
         dec9},
        {"9/12/2026", arabic, {2026, 9, 12, 8, 0, 0, 0}, sep12},
    };
    for (const Case& c : cases) {
        const auto date = ParseFileDate(c.text, c.reader, c.written);
        ASSERT_TRUE(date.has_value()) << c.text;
        EXPECT_EQ(*date, c.read) << c.text << " written " << c.written.day << "." << c.written.month;
    }
    for (const char* text : {"31/31/2026", "12/9", "", "heute", "2026-13-01"}) {
        EXPECT_FALSE(ParseFileDate(text, german, dec9).has_value()) << text;
    }
}

TEST(UsageDataLocales, AnUnreadableDayOfTheTodayCountersIsTheDayTheFileWasWritten)
{
    test::FakeFileStore files;
    files.folders = {"/prog", "/prog/data"};
    files.files[kFile] = "head\r\n\r\n[data]\r\noTD=4:5:6\r\nSD=gestern\r\n";
    files.modifiedOn[kFile] = {2026, 12, 7, 21, 0, 0, 0};
    test::FakeClock clock; // 8 December
    test::GermanLocale german;
    UsageState state;
    UsageDataFile(kFile, files, german, clock).LoadUsageData(state);
    EXPECT_EQ(state.todayHours, 0);
    files.modifiedOn[kFile] = {2026, 12, 8, 9, 0, 0, 0};
    UsageDataFile(kFile, files, german, clock).LoadUsageData(state);
    EXPECT_EQ(state.todayHours, 4);
}

// The reset date stays the text the file holds, and a locale whose digits the file cannot hold
// never leaves question marks in it.
TEST(UsageDataLocales, TheResetDateIsKeptAsStoredAndAlwaysFitsTheFile)
{
    for (const Named& l : locales()) {
        for (const char* keys : {"RD=12/9/2026\r\n", "RD=\r\n", "TUp=1\r\n", "RD=irgendwann\r\n"}) {
            test::FakeFileStore files;
            files.folders = {"/prog", "/prog/data"};
            files.files[kFile] = "head\r\n\r\n[data]\r\n" + std::string(keys);
            test::FakeClock clock;
            UsageDataFile data(kFile, files, *l.locale, clock);
            UsageState state;
            data.LoadUsageData(state);
            data.SaveUsageData(state, 0, 0);
            const std::string rd = valueOf(files.files.at(kFile), "RD");
            EXPECT_EQ(rd.find('?'), std::string::npos) << l.name << " " << keys << ": " << rd;
            EXPECT_EQ(Cp1252ToUtf8(rd), state.lastResetDate) << l.name << " " << keys;
            if (std::string(keys).rfind("RD=", 0) == 0 && std::string(keys) != "RD=\r\n") {
                EXPECT_EQ("RD=" + rd + "\r\n", keys) << l.name;
            }
        }
    }
}

} // namespace
} // namespace tavlor
