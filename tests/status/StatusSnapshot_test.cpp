#include "status/StatusSnapshot.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"
#include "model/UsageState.h"
#include "status/OfflineStatus.h"
#include "status/StatusFeed.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

StatusSnapshot sample()
{
    StatusSnapshot s;
    s.running = true;
    s.online = true;
    s.link = "wwan0";
    s.connection = "Mobil \"LTE\"";
    s.downloadBps = 12345.6;
    s.uploadBps = 0.4;
    s.session = {5000000000ULL, 2, 61};
    s.todaySeconds = 3600;
    s.total = {18446744073709551615ULL, 0, 86400};
    s.period.first = {2026, 11, 15};
    s.period.last = {2026, 12, 14};
    s.period.used = {7, 8, 9};
    return s;
}

TEST(StatusJson, MapsEveryFieldWithWholeBytesAndNullsForAbsentLimits)
{
    const std::string head =
        R"({"running":true,"online":true,"link":"wwan0","connection":"Mobil \"LTE\"",)"
        R"("download_bps":12346,"upload_bps":0,"session":{"down":5000000000,"up":2,"seconds":61},)"
        R"("today":{"seconds":3600},"total":{"down":18446744073709551615,"up":0,"seconds":86400},)"
        R"("period":{"start":"2026-11-15","end":"2026-12-14","down":7,"up":8,"seconds":9,)";
    struct Case
    {
        const char* name;
        void (*change)(StatusSnapshot&);
        std::string tail;
    } cases[] = {
        {"no limit", [](StatusSnapshot&) {},
         R"("limit_bytes":null,"limit_seconds":null,"download_only":false,"percent":null,"level":"normal"}})"},
        {"volume limit, warned",
         [](StatusSnapshot& s) {
             s.period.limitBytes = 5000000000ULL;
             s.period.percent = 80.04;
             s.period.level = WarnLevel::Warning;
         },
         R"("limit_bytes":5000000000,"limit_seconds":null,"download_only":false,"percent":80.0,"level":"warning"}})"},
        {"time limit over, download only",
         [](StatusSnapshot& s) {
             s.period.limitSeconds = 144000;
             s.period.downloadOnly = true;
             s.period.percent = 123.456;
             s.period.level = WarnLevel::Over;
         },
         R"("limit_bytes":null,"limit_seconds":144000,"download_only":true,"percent":123.5,"level":"over"}})"},
    };
    for (const Case& c : cases) {
        StatusSnapshot s = sample();
        c.change(s);
        EXPECT_EQ(StatusJson(s), head + c.tail) << c.name;
    }
}

TEST(StatusJson, EscapesWhatAStringMayHoldAndNeverPrintsANegativeAmount)
{
    StatusSnapshot s;
    s.link = "a\\b\n\x01\xC3\xA4";
    s.downloadBps = -5;
    const std::string json = StatusJson(s);
    EXPECT_NE(json.find(R"("link":"a\\b\u000a\u0001)"
                        "\xC3\xA4\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("download_bps":0,)"), std::string::npos) << json;
    EXPECT_EQ(WholeAmount(-1.0), 0u);
    EXPECT_EQ(WholeAmount(4509715660.8), 4509715661u);
    EXPECT_EQ(StatusSeconds(1, 0, 5), 3605u);
    EXPECT_EQ(StatusSeconds(-1, 0, 5), 0u);
}

TEST(StatusSummary, SaysWhatRunsAndShowsTheFiguresInTheProgramsOwnTexts)
{
    const NumberFormat german(",");
    StatusSnapshot s = sample();
    s.downloadBps = 12800; // 12,5 kb/s
    s.total = {1073741824, 1024, 3661};
    s.period.limitBytes = 5000000000ULL;
    s.period.used = {3200000000ULL, 0, 0};
    const std::string live = StatusSummary(s, german);
    EXPECT_EQ(live.substr(0, live.find('\n')), "Tavlor l\xC3\xA4uft: online \xC3\xBC"
                                               "ber wwan0 (Mobil \"LTE\")");
    EXPECT_NE(live.find("Geschwindigkeit: 12,5 kb/s herunter, 0 kb/s hoch\n"), std::string::npos) << live;
    EXPECT_NE(live.find("Gesamt: 1 GB herunter, 1 KB hoch, 1:01:01\n"), std::string::npos) << live;
    EXPECT_NE(live.find("Zeitraum 15.11.2026 bis 14.12.2026: "), std::string::npos) << live;
    EXPECT_NE(live.find(", Volumen 3,2 von 5 GB (64 %)\n"), std::string::npos) << live;

    s.running = false;
    const std::string files = StatusSummary(s, german);
    EXPECT_EQ(files.find("Tavlor l\xC3\xA4uft nicht"), 0u) << files;
    EXPECT_EQ(files.find("Geschwindigkeit"), std::string::npos) << files; // no speed without the program
    s.period.limitBytes.reset();
    EXPECT_NE(StatusSummary(s, german).find(", kein Limit\n"), std::string::npos);
}

StatusSnapshot withPeriod(const StatusPeriod& period)
{
    StatusSnapshot s;
    s.period = period;
    return s;
}

TEST(PeriodStatus, SumsThePeriodAndTakesTheLargerShareAndTheWarnerLevel)
{
    UsageHistory history;
    history.add({2026, 11, 14}, {100, 900000000, 0}); // the day before the period: not counted
    history.add({2026, 11, 15}, {3600, 600000000, 200000000});
    history.add({2026, 12, 8}, {7200, 100000000, 0});
    const CalendarDay today{2026, 12, 8};
    struct Case
    {
        const char* name;
        WarnerSettings settings;
        std::optional<double> percent;
        WarnLevel level;
    } cases[] = {
        {"no limit", {0, 0, 15, false, 80, 100}, std::nullopt, WarnLevel::Normal},
        {"volume at 90 %", {1000, 0, 15, false, 80, 100}, 90.0, WarnLevel::Warning},
        {"download only: 70 %", {1000, 0, 15, true, 80, 100}, 70.0, WarnLevel::Normal},
        {"time over beats volume", {1000, 2, 15, true, 80, 100}, 150.0, WarnLevel::Over},
    };
    for (const Case& c : cases) {
        const StatusPeriod p = PeriodStatus(c.settings, history, today);
        EXPECT_EQ(p.first, (CalendarDay{2026, 11, 15})) << c.name;
        EXPECT_EQ(p.last, (CalendarDay{2026, 12, 14})) << c.name;
        EXPECT_EQ(p.used, (StatusFigures{700000000, 200000000, 10800})) << c.name;
        ASSERT_EQ(p.percent.has_value(), c.percent.has_value()) << c.name;
        if (c.percent) {
            EXPECT_NEAR(*p.percent, *c.percent, 1e-9) << c.name;
        }
        EXPECT_EQ(p.level, c.level) << c.name;
        EXPECT_EQ(AlertExitCode(withPeriod(p)), c.level == WarnLevel::Normal ? 0 : 2) << c.name;
    }
}

TEST(StatusFeed, SpeedsAreTheTicksAndTheSessionItsOwnTraffic)
{
    UsageState state;
    state.baseDownBytes = 1000;
    state.totalDownBytes = 4000;
    state.baseUpBytes = 500;
    state.totalUpBytes = 600;
    state.sessionDownStart = 0;
    state.sessionSeconds = 2;
    const StatusPeriod period;
    const StatusSnapshot online = LiveStatus({state, true, "eth0", "Internet Gateway", 1500.0, 50.0}, period);
    EXPECT_DOUBLE_EQ(online.downloadBps, 1500.0);
    EXPECT_DOUBLE_EQ(online.uploadBps, 50.0);
    EXPECT_EQ(online.session, (StatusFigures{3000, 100, 2}));
    EXPECT_EQ(online.total, (StatusFigures{4000, 600, 0}));
    EXPECT_EQ(online.link, "eth0");
    EXPECT_EQ(online.connection, "Internet Gateway");

    // Offline: no speed, link or session, whatever the last second measured; the totals stay.
    const StatusSnapshot offline = LiveStatus({state, false, "eth0", "x", 1500.0, 50.0}, period);
    EXPECT_EQ(offline.downloadBps, 0.0);
    EXPECT_EQ(offline.uploadBps, 0.0);
    EXPECT_EQ(offline.link, "");
    EXPECT_EQ(offline.connection, "");
    EXPECT_EQ(offline.session, StatusFigures{});
    EXPECT_EQ(offline.total, (StatusFigures{4000, 600, 0}));
}

class OfflineStatusTest : public ::testing::Test
{
protected:
    const std::string data = "/home/u/.local/share/Tavlor/data/data.ini";
    const std::string history = "/home/u/.local/share/Tavlor/data/verlauf.csv";
    test::FakeFileStore files;
    test::GermanLocale locale;
    test::FakeClock clock{{2026, 12, 8, 10, 0, 0, 0}};
};

TEST_F(OfflineStatusTest, ReadsTheCountersTheWayTheProgramLoadsThemAndWritesNothing)
{
    files.files[data] = "Kopf\r\n\r\n[data]\r\noTA=5:7:9\r\noTD=1:0:0\r\nSD=07.12.2026\r\nTUp=123\r\n"
                        "TDown=4509715660,8\r\n[Volumenwarner]\r\nLimitMB=1\r\nStichtag=1\r\n";
    files.files[history] = "\xEF\xBB\xBF"
                           "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes)\r\n"
                           "2026-11-30;1;1;1\r\n2026-12-08;60;700000;100000\r\n";
    const auto before = files.files;
    const OfflineStatus read = ReadOfflineStatus(files, data, locale, clock);
    ASSERT_TRUE(read.status) << read.error;
    EXPECT_FALSE(read.status->running);
    EXPECT_EQ(read.status->total, (StatusFigures{4509715661ULL, 123, 18429}));
    EXPECT_EQ(read.status->todaySeconds, 0u); // saved yesterday: today starts afresh
    EXPECT_EQ(read.status->period.used, (StatusFigures{700000, 100000, 60}));
    EXPECT_EQ(read.status->period.level, WarnLevel::Warning);
    EXPECT_EQ(files.files, before);
    EXPECT_EQ(files.writes, 0);
}

TEST_F(OfflineStatusTest, AMissingUnreadableOrDamagedFileIsAnErrorNamingIt)
{
    const std::string good = "[data]\r\noTA=0:0:1\r\nTUp=1\r\nTDown=2\r\n";
    struct Case
    {
        const char* name;
        std::string dataBytes;    // empty: no data.ini
        std::string historyBytes; // empty: no verlauf.csv
        bool historyUnreadable;
        std::string expected;
    } cases[] = {
        {"no data file", "", "", false, "Keine Datendatei: " + data},
        {"no counters at all", "[andere]\r\nx=1\r\n", "", false,
         data + " ist besch\xC3\xA4"
                "digt: kein Abschnitt"},
        {"a total that is no number", "[data]\r\nTUp=12x\r\nTDown=0\r\n", "", false,
         "TUp=12x ist keine Zahl"},
        {"a time that is no time", "[data]\r\noTA=x:y\r\nTUp=0\r\n", "", false, "oTA=x:y ist keine Zeit"},
        {"a damaged history row", good, "2026-12-08;1;2;3\r\nkaputt\r\n", false,
         history + " ist besch\xC3\xA4"
                   "digt: 1 Zeile ist nicht lesbar: kaputt"},
        {"an unreadable history", good, "2026-12-08;1;2;3\r\n", true, history + " kann nicht gelesen werden"},
    };
    for (const Case& c : cases) {
        files.files.clear();
        files.unreadableFiles.clear();
        if (!c.dataBytes.empty()) {
            files.files[data] = c.dataBytes;
        }
        if (!c.historyBytes.empty()) {
            files.files[history] = c.historyBytes;
        }
        if (c.historyUnreadable) {
            files.unreadableFiles.insert(history);
        }
        const OfflineStatus read = ReadOfflineStatus(files, data, locale, clock);
        EXPECT_FALSE(read.status) << c.name;
        EXPECT_NE(read.error.find(c.expected), std::string::npos) << c.name << ": " << read.error;
        EXPECT_EQ(files.writes, 0) << c.name;
    }
    // A partly readable time loads as the program loads it, keeping its readable fields.
    files.files.clear();
    files.unreadableFiles.clear();
    files.files[data] = "[data]\r\noTA=1:2\r\nTUp=0\r\n";
    const OfflineStatus partly = ReadOfflineStatus(files, data, locale, clock);
    ASSERT_TRUE(partly.status) << partly.error;
    EXPECT_EQ(partly.status->total.seconds, 3720);
}

TEST_F(OfflineStatusTest, FindsTheFileWhereTheProgramWouldWithoutMovingIt)
{
    const std::string beside = "/opt/tavlor/data/data.ini";
    files.folders = {"/opt/tavlor", "/opt/tavlor/data"};
    files.readOnlyFolders = {"/opt/tavlor", "/opt/tavlor/data"};
    files.files[beside] = "[data]\r\nTUp=1\r\n";
    // The program would carry these counters over to the user's folder at its next start.
    EXPECT_EQ(FindDataFile(files, "/opt/tavlor/", "/home/u/.local/share/Tavlor",
                           DataPlacement::BesideProgramWhenWritable),
              beside);
    EXPECT_EQ(files.writes, 0);
    EXPECT_TRUE(files.sweptFolders.empty());
    files.files[data] = "[data]\r\nTUp=2\r\n";
    EXPECT_EQ(FindDataFile(files, "/opt/tavlor/", "/home/u/.local/share/Tavlor",
                           DataPlacement::BesideProgramWhenWritable),
              data);
}

} // namespace
} // namespace tavlor
