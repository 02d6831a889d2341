#include "history/VolumeWarner.h"

#include "datafile/ProfileFile.h"
#include "history/UsageWatch.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavlor {
namespace {

const std::string kDataPath = "/t/data/data.ini";

class Warner : public ::testing::Test
{
protected:
    test::FakeFileStore files;
    test::FakeClock clock{CivilDateTime{2026, 11, 20, 9, 0, 0, 0}};
    test::GermanLocale german;
    NumberFormat numbers{","};
    std::unique_ptr<UsageWatch> watch;

    void SetUp() override
    {
        files.folders = {"/t", "/t/data"};
        files.files[kDataPath] = "[data]\r\nTUp=0\r\n[Volumenwarner]\r\nLimitMB=100\r\nStichtag=15\r\n";
        restart();
    }
    // A clean restart saves first; a crash loses what the history counted since its last save.
    void restart(bool clean = true)
    {
        if (watch && clean) {
            ASSERT_TRUE(watch->save());
        }
        watch = std::make_unique<UsageWatch>(kDataPath, files, clock, german);
        watch->load();
    }
    // Counts `mb` megabytes of download one at a time; returns the thresholds that fired.
    std::vector<int> download(int mb)
    {
        std::vector<int> fired;
        for (int i = 0; i < mb; ++i) {
            for (const WarnerEvent& e : watch->trafficCounted(1e6, 0, 1)) {
                fired.push_back(e.percent);
            }
        }
        return fired;
    }
    void moveTo(int year, int month, int day) { clock.setLocal({year, month, day, 9, 0, 0, 0}); }
};

TEST_F(Warner, WarnsOnceAtEachThresholdPerPeriodAndNotAgainAfterARestart)
{
    EXPECT_EQ(download(79), std::vector<int>{});
    EXPECT_EQ(download(1), std::vector<int>{80});
    EXPECT_EQ(watch->level(), WarnLevel::Warning);
    restart(false); // the record went to data.ini when the warning fired
    EXPECT_EQ(download(80), std::vector<int>{});
    restart();
    moveTo(2026, 12, 14); // last day of the period
    EXPECT_EQ(download(19), std::vector<int>{});
    EXPECT_EQ(download(1), std::vector<int>{100});
    EXPECT_EQ(watch->level(), WarnLevel::Over);
    restart();
    EXPECT_EQ(download(50), std::vector<int>{});

    moveTo(2026, 12, 15); // a new period
    EXPECT_EQ(watch->level(), WarnLevel::Normal);
    EXPECT_EQ(download(100), (std::vector<int>{80, 100}));
    restart();
    EXPECT_EQ(download(10), std::vector<int>{});
    EXPECT_EQ(ProfileFile(files.files[kDataPath]).readString(kWarnerSection, "GewarntAb", ""), "2026-12-15");
}

TEST_F(Warner, AJumpOverBothThresholdsGivesOneWarningForTheHigher)
{
    const std::vector<WarnerEvent> events = watch->trafficCounted(150e6, 0, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].percent, 100);
    EXPECT_EQ(watch->warningText(numbers, events[0]),
              "Das Monatsvolumen ist erreicht: 150 von 100 MB (Abrechnungszeitraum bis 14.12.2026).");
}

TEST_F(Warner, DownloadOnlyAndTimeLimitsCountTheirOwnMeasure)
{
    WarnerSettings s;
    s.limitMB = 5000;
    s.limitHours = 2;
    s.downloadOnly = true;
    s.billingDay = 15;
    ASSERT_TRUE(watch->applySettings(s));
    std::vector<WarnerEvent> fired;
    for (int i = 0; i < 5760; ++i) { // 1.6 hours, 3.2 GB down, 3.2 GB up
        for (const WarnerEvent& e : watch->trafficCounted(1e6 * 3200 / 5760, 1e6 * 3200 / 5760, 1)) {
            fired.push_back(e);
        }
    }
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].kind, WarnerEvent::Kind::Time);
    EXPECT_EQ(watch->limitLines(numbers), (std::vector<std::string>{"Volumen: 3,2 von 5 GB (64 %)",
                                                                    "Onlinezeit: 1,6 von 2 Stunden (80 %)"}));
}

TEST_F(Warner, NewSettingsCountWhatThePeriodUsedAsWarnedAbout)
{
    download(90); // 80 % fired
    WarnerSettings s;
    s.limitMB = 1000;
    s.billingDay = 15;
    ASSERT_TRUE(watch->applySettings(s));
    EXPECT_EQ(watch->level(), WarnLevel::Normal);
    EXPECT_EQ(download(709), std::vector<int>{});
    EXPECT_EQ(download(1), std::vector<int>{80});
    s.limitMB = 500; // below what is used: no warning for what the user just chose
    ASSERT_TRUE(watch->applySettings(s));
    EXPECT_EQ(download(5), std::vector<int>{});
    EXPECT_EQ(watch->level(), WarnLevel::Over);
}

TEST(WarnerSettingsFile, KeysReadWithDefaultsForWhatIsMissingOrWrong)
{
    struct Case
    {
        const char* section;
        WarnerSettings expected;
    };
    const Case cases[] = {
        {"", WarnerSettings{}},
        {"[Volumenwarner]\r\nLimitMB=5000\r\nLimitStunden=40\r\nStichtag=15\r\nNurDownload=1\r\nWarnung1="
         "70\r\n"
         "Warnung2=95\r\n",
         {5000, 40, 15, true, 70, 95}},
        {"[volumenwarner]\r\nLimitMB=-5\r\nStichtag=31\r\nWarnung1=0\r\nWarnung2=abc\r\n", WarnerSettings{}},
        {"[Volumenwarner]\r\nLimitMB=0x10\r\nStichtag= 28 \r\n", {16, 0, 28, false, 80, 100}},
    };
    for (const Case& c : cases) {
        WarnerSettings s;
        WarnerRecord r;
        ReadWarner(ProfileFile(std::string("[data]\r\nTUp=5\r\n") + c.section), s, r);
        EXPECT_EQ(s, c.expected) << c.section;
        EXPECT_EQ(r, WarnerRecord{}) << c.section;
    }
}

TEST(WarnerSettingsFile, WritingLeavesTheDataSectionAsItWas)
{
    const std::string data = "Header\r\n\r\n[data]\r\noTA=1:2:3\r\nTup=77\r\n";
    ProfileFile file(data);
    WriteWarner(file, WarnerSettings{100, 0, 15, false, 80, 100}, WarnerRecord{{2026, 11, 15}, 1, 0});
    EXPECT_EQ(file.bytes().substr(0, data.size()), data);
    WarnerSettings s;
    WarnerRecord r;
    ReadWarner(file, s, r);
    EXPECT_EQ(s.limitMB, 100);
    EXPECT_EQ(r, (WarnerRecord{{2026, 11, 15}, 1, 0}));
}

// The unit decides the divisor as a value: the figure and its unit always agree.
TEST(WarnerUnits, EachLimitShowsItsFigureInItsOwnUnit)
{
    const NumberFormat numbers{","};
    const struct
    {
        LimitUse use;
        AmountUnit unit;
        double divisor;
        const char* share;
    } cases[] = {
        {{WarnerEvent::Kind::Volume, 499.5e6, 999e6}, AmountUnit::Megabytes, 1e6, "499,5 von 999 MB (50 %)"},
        {{WarnerEvent::Kind::Volume, 2.5e9, 1e9}, AmountUnit::Gigabytes, 1e9, "2,5 von 1 GB (250 %)"},
        {{WarnerEvent::Kind::Time, 5400, 36000}, AmountUnit::Hours, 3600, "1,5 von 10 Stunden (15 %)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnitOf(c.use), c.unit) << c.share;
        EXPECT_EQ(UnitDivisor(c.unit), c.divisor) << c.share;
        EXPECT_EQ(LimitShare(numbers, c.use), c.share);
    }
    EXPECT_EQ(UnitText(AmountUnit::Hours), "Stunden");
}

} // namespace
} // namespace tavlor
