#include "history/History.h"

#include "history/BillingPeriod.h"
#include "history/HistoryCsv.h"
#include "history/HistoryFile.h"
#include "history/HistoryReport.h"
#include "history/UsageWatch.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

TEST(BillingPeriod, RunsFromTheBillingDayToTheDayBeforeItNextMonth)
{
    struct Case
    {
        CalendarDay day;
        int billingDay;
        CalendarDay first, last;
        int length, daysLeft;
    };
    const Case cases[] = {
        {{2026, 11, 20}, 15, {2026, 11, 15}, {2026, 12, 14}, 30, 25},
        {{2026, 11, 14}, 15, {2026, 10, 15}, {2026, 11, 14}, 31, 1},
        {{2026, 11, 15}, 15, {2026, 11, 15}, {2026, 12, 14}, 30, 30},
        {{2027, 1, 3}, 15, {2026, 12, 15}, {2027, 1, 14}, 31, 12}, // across the year
        {{2028, 2, 29}, 1, {2028, 2, 1}, {2028, 2, 29}, 29, 1},    // leap year
        {{2027, 3, 1}, 28, {2027, 2, 28}, {2027, 3, 27}, 28, 27},
        {{2026, 12, 31}, 99, {2026, 12, 28}, {2027, 1, 27}, 31, 28}, // out of range: clamped to 28
    };
    for (const Case& c : cases) {
        const BillingPeriod p = PeriodContaining(c.day, c.billingDay);
        EXPECT_EQ(p.first, c.first) << IsoDate(c.day);
        EXPECT_EQ(p.last, c.last) << IsoDate(c.day);
        EXPECT_EQ(p.length(), c.length) << IsoDate(c.day);
        EXPECT_EQ(p.daysLeft(c.day), c.daysLeft) << IsoDate(c.day);
    }
    const BillingPeriod p = PeriodContaining({2026, 11, 24}, 15);
    EXPECT_DOUBLE_EQ(ProjectToPeriodEnd(1000, p, {2026, 11, 24}), 3000); // 10 of 30 days
}

TEST(HistoryCsv, WritesOneShortRowPerDayWithUse)
{
    UsageHistory h;
    h.add({2026, 12, 8}, {3600, 123456789, 2345678});
    h.add({2026, 12, 8}, {1, 1, 2});
    h.add({2026, 12, 9}, {});
    h.add({2027, 1, 2}, {5, 0, 0});
    EXPECT_EQ(FormatHistoryCsv(h), "\xEF\xBB\xBF"
                                   "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes)\n"
                                   "2026-12-08;3601;123456790;2345680\n"
                                   "2027-01-02;5;0;0\n");
    const HistoryParse back = ParseHistoryCsv(FormatHistoryCsv(h));
    EXPECT_TRUE(back.damaged.empty());
    EXPECT_EQ(back.history.days(), h.days());
}

TEST(HistoryCsv, HandEditsAreReadAndDamagedRowsSetAside)
{
    struct Case
    {
        const char* text;
        std::size_t rows;
        std::vector<std::string> damaged;
    };
    const Case cases[] = {
        {"2026-12-08;1;2;3", 1, {}}, // no mark, no header, no line end
        {"Datum;a;b;c\r\n 08.12.2026 ; 1 ;2; 3 \r\n\r\n2026-12-09;0;0;9\r\n", 2, {}},
        {"2026-12-08;1;2;3\n2026-12-08;1;2;3\n", 1, {"2026-12-08;1;2;3"}}, // a pasted copy
        {"2026-02-30;1;2;3\n2026-12-08;1;2\n2026-12-09;-1;2;3\n2026-12-10;1;2,5;3\n"
         "2026-12-11;1;99999999999999999999;3\nx\n",
         0,
         {"2026-02-30;1;2;3", "2026-12-08;1;2", "2026-12-09;-1;2;3", "2026-12-10;1;2,5;3",
          "2026-12-11;1;99999999999999999999;3", "x"}},
        {"2026-12-08;1;2;3\nDatum;Onlinezeit (s);Download (Bytes);Upload (Bytes)\n",
         1,
         {"Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes)"}},
    };
    for (const Case& c : cases) {
        const HistoryParse parsed = ParseHistoryCsv(c.text);
        EXPECT_EQ(parsed.history.days().size(), c.rows) << c.text;
        EXPECT_EQ(parsed.damaged, c.damaged) << c.text;
    }
}

class HistoryFileTest : public ::testing::Test
{
protected:
    test::FakeFileStore files;
    test::FakeClock clock{CivilDateTime{2026, 12, 8, 10, 0, 0, 0}};
    test::GermanLocale german;
    const std::string data = "/t/data/data.ini";
    const std::string csv = "/t/data/verlauf.csv";

    void SetUp() override
    {
        files.folders = {"/t", "/t/data"};
        files.files[data] = "[data]\r\nTUp=0\r\n";
    }
};

TEST_F(HistoryFileTest, ADamagedFileIsCopiedAsideOnceAndCountingGoesOn)
{
    const std::string damaged = "\xEF\xBB\xBF"
                                "Datum;x\n2026-12-07;60;1000;100\n\x01\x02garbage\xFF\n";
    files.files[csv] = damaged;
    UsageWatch watch(data, files, clock, german);
    const HistoryFile::LoadReport report = watch.load();
    EXPECT_EQ(report.damagedRows, 1u);
    EXPECT_EQ(report.asidePath, "/t/data/verlauf-beiseite-20261208-100000.csv");
    EXPECT_EQ(files.files.at(report.asidePath), damaged);
    watch.trafficCounted(500, 50, 1);
    ASSERT_TRUE(watch.save());
    EXPECT_EQ(files.files.at(csv), "\xEF\xBB\xBF"
                                   "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes)\n"
                                   "2026-12-07;60;1000;100\n2026-12-08;1;500;50\n");
    UsageWatch again(data, files, clock, german);
    EXPECT_EQ(again.load().damagedRows, 0u); // reported once
}

TEST_F(HistoryFileTest, AnUnreadableFileIsNeverOverwrittenAndTheTotalsAreUntouched)
{
    files.files[csv] = "2026-12-07;60;1000;100\n";
    files.unreadableFiles.insert(csv);
    UsageWatch watch(data, files, clock, german);
    EXPECT_TRUE(watch.load().unreadable);
    watch.trafficCounted(500, 50, 1);
    EXPECT_FALSE(watch.save());
    EXPECT_EQ(files.files.at(csv), "2026-12-07;60;1000;100\n");
    EXPECT_EQ(files.files.at(data), "[data]\r\nTUp=0\r\n");
}

TEST_F(HistoryFileTest, WithoutTheSectionNothingIsWrittenToTheDataFile)
{
    UsageWatch watch(data, files, clock, german);
    watch.load();
    EXPECT_FALSE(watch.warner().settings().active());
    EXPECT_TRUE(watch.trafficCounted(1e12, 1e12, 1).empty());
    ASSERT_TRUE(watch.save());
    EXPECT_EQ(files.files.at(data), "[data]\r\nTUp=0\r\n");
    EXPECT_EQ(watch.limitLines(NumberFormat(",")), std::vector<std::string>{});
}

TEST(HistoryReport, TablesAndExportUseLocaleTextsAndWholeBytes)
{
    test::GermanLocale german;
    const NumberFormat numbers(",");
    UsageHistory h;
    h.add({2026, 12, 7}, {3723, 812400000, 1500000000});
    h.add({2026, 11, 30}, {60, 1000000, 0});
    const ReportTable days = DaysTable(h, {2026, 12, 8}, 31, numbers, german);
    ASSERT_EQ(days.rows.size(), 31u);
    EXPECT_EQ(days.rows[29],
              (std::vector<std::string>{"07.12.2026", "1:02:03", "812,4 MB", "1,5 GB", "2,31 GB"}));
    EXPECT_EQ(days.rows[30][1], "0:00:00");
    const ReportTable months = MonthsTable(h, {2026, 12, 8}, 24, numbers);
    ASSERT_EQ(months.rows.size(), 24u);
    EXPECT_EQ(months.rows[22][0], "November 2026");
    EXPECT_EQ(months.rows[22][2], "1 MB");
    EXPECT_EQ(months.rows[0][0], "Januar 2025");
    const std::string csv = ExportCsv(days);
    EXPECT_NE(csv.find("\xEF\xBB\xBF"
                       "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes);Gesamt (Bytes)\n"),
              std::string::npos);
    EXPECT_NE(csv.find("2026-12-07;3723;812400000;1500000000;2312400000\n"), std::string::npos);
}

} // namespace
} // namespace tavlor
