// The data file under locales whose digits, marks or separators Windows-1252 cannot hold.
#include "accounting/FileText.h"
#include "accounting/ProfileFile.h"
#include "accounting/UsageData.h"

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
        data.LoadUsageData(state, view);
        const std::string& first = files.files.at(kFile);
        EXPECT_EQ(first.find('?'), std::string::npos) << l.name << ": " << first;

        state.totalUpBytes = 4509715660.8;
        state.totalDownBytes = 123;
        state.todayHours = 2;
        state.lastResetDate = l.locale->formatShortDate(reset);
        data.SaveUsageData(state, view, 0, 0);
        const std::string bytes = files.files.at(kFile);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << l.name << ": " << bytes;
        EXPECT_TRUE(valueOf(bytes, "TUp") == "4509715660,8" || valueOf(bytes, "TUp") == "4509715660.8")
            << l.name;

        UsageState loaded;
        ViewModel shown;
        UsageDataFile(kFile, files, *l.locale, clock).LoadUsageData(loaded, shown);
        EXPECT_EQ(loaded.baseUpBytes, 4509715660.8) << l.name;
        EXPECT_EQ(loaded.baseDownBytes, 123.0) << l.name;
        EXPECT_EQ(loaded.todayHours, 2) << l.name << ": SD " << valueOf(bytes, "SD") << " not read as today";
        EXPECT_EQ(loaded.lastResetDate, state.lastResetDate) << l.name << ": RD " << valueOf(bytes, "RD");
        EXPECT_EQ(shown.text("lRd"), state.lastResetDate) << l.name;
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
        UsageDataFile(kFile, files, german, clock).LoadUsageData(state, view);
        EXPECT_EQ(state.todayHours, 4) << sd;
        EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(DateOnly(clock.nowLocal()))) << sd;
    }
}

} // namespace
} // namespace tavlor
