#include "datafile/UsageData.h"
#include "text/WidgetNames.h"

#include "accounting/UsageShown.h"
#include "datafile/UsageValues.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavlor {
namespace {

constexpr const char* kFile = "/prog/data/data.ini";

const std::string kDefaultFile = "Diese Datei nicht \xE4ndern!!!  Tavlor-Timestamp: 08.12.2026 10:00:00\r\n"
                                 "\r\n[data]\r\noTA=0:0:0\r\noTD=0:0:0\r\nSD=08.12.2026\r\nTYP=0\r\n"
                                 "RD=08.12.2026\r\nTup=0\r\nTDown=0\r\nonLAN=0\r\nBIn=0\r\nBOut=1\r\n"
                                 "MINI=0\r\nBEENDEN=0\r\nY=0\r\nX=0\r\n";

class UsageDataTest : public ::testing::Test
{
protected:
    UsageDataTest() { files.folders = {"/prog", "/prog/data"}; }

    // Loads a file holding the header and section line followed by `keys`.
    void loadWith(const std::string& keys)
    {
        files.files[kFile] = "head\r\n\r\n[data]\r\n" + keys;
        load();
    }
    void load()
    {
        data.LoadUsageData(state);
        ShowLoadedUsage(state, german, view);
    }

    test::FakeFileStore files;
    test::FakeClock clock;
    test::GermanLocale german;
    UsageDataFile data{kFile, files, german, clock};
    UsageState state;
    ViewModel view;
};

TEST_F(UsageDataTest, FirstStartCreatesTheFolderAndExactlyTheSeventeenDefaultLines)
{
    files.folders = {"/prog"};
    load();

    EXPECT_TRUE(files.directoryExists("/prog/data"));
    const std::string& bytes = files.files.at(kFile);
    EXPECT_EQ(bytes, kDefaultFile);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 17);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 17);
    EXPECT_EQ(bytes.substr(18, 7), "\xE4ndern!");

    EXPECT_EQ(view.text(names::lRd), "08.12.2026");
    EXPECT_EQ(state.trayTime, TrayTime::Total);
    EXPECT_EQ(view.text(names::lIn), "0 Bytes");
    EXPECT_EQ(view.text(names::lotAll), "0 Stunden, 0 Minuten, 0 Sekunden.");
    EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(clock.nowLocal()));
}

TEST_F(UsageDataTest, FirstStartWithoutAWritableFolderRunsWithZeroCountersAndSavesNothing)
{
    files.folders = {"/prog"};
    files.readOnlyFolders = {"/prog"};
    state.totalUpBytes = 77;
    load();
    EXPECT_FALSE(files.fileExists(kFile));
    EXPECT_EQ(state.totalUpBytes, 0.0);
    EXPECT_EQ(state.lastResetDate, "08.12.2026");

    data.SaveUsageData(state, 1, 2);
    EXPECT_FALSE(files.fileExists(kFile));
}

TEST_F(UsageDataTest, SaveAfterTheDefaultFileUpdatesEveryLineInPlace)
{
    load();
    state.totalUpBytes = 4509715660.8;
    state.totalDownBytes = 1024;
    state.totalHours = 5;
    state.totalMinutes = 7;
    state.totalSeconds = 9;
    state.todaySeconds = 3;
    state.onLAN = true;
    state.uploadMethod = 0;
    state.trayTime = TrayTime::Session;
    state.confirmQuit = true;
    clock.setLocal({2026, 12, 9, 8, 0, 0, 0});
    data.SaveUsageData(state, 120, -40);

    // SD names the day of oTD, the 8th, not the day of the save.
    EXPECT_EQ(files.files.at(kFile),
              "Diese Datei nicht \xE4ndern!!!  Tavlor-Timestamp: 08.12.2026 10:00:00\r\n"
              "\r\n[data]\r\noTA=5:7:9\r\noTD=0:0:3\r\nSD=08.12.2026\r\nTYP=2\r\n"
              "RD=08.12.2026\r\nTup=4509715660,8\r\nTDown=1024\r\nonLAN=1\r\nBIn=0\r\nBOut=0\r\n"
              "MINI=0\r\nBEENDEN=1\r\nY=-40\r\nX=120\r\n");
}

TEST_F(UsageDataTest, MissingKeysAreAppendedToTheSection)
{
    files.files[kFile] = "[data]\r\nTup=5\r\n\r\n[other]\r\nk=v\r\n";
    state.trayTime = TrayTime::None;
    data.SaveUsageData(state, 0, 0);
    EXPECT_EQ(files.files.at(kFile),
              "[data]\r\nTup=0\r\noTA=0:0:0\r\noTD=0:0:0\r\nSD=08.12.2026\r\nTYP=-1\r\n"
              "RD=\r\nTDown=0\r\nonLAN=0\r\nBIn=0\r\nBOut=1\r\nMINI=0\r\nBEENDEN=0\r\n"
              "X=0\r\nY=0\r\n\r\n[other]\r\nk=v\r\n");
}

TEST_F(UsageDataTest, MeteredCountingHasASectionOfItsOwnThatOnlyOneSwitchesOn)
{
    // A file of an earlier version: loads as off and saves back byte for byte.
    load();
    const std::string before = files.files.at(kFile);
    EXPECT_FALSE(state.countMetered);
    data.SaveUsageData(state, 0, 0);
    EXPECT_EQ(files.files.at(kFile), before);

    // Switched on: the section goes at the end of the file, and reads back.
    state.countMetered = true;
    data.SaveUsageData(state, 0, 0);
    EXPECT_EQ(files.files.at(kFile), before + "[Zaehlen]\r\nGetaktet=1\r\n");
    state.countMetered = false;
    load();
    EXPECT_TRUE(state.countMetered);

    // Switched off again: the key says so; the counters' section is untouched by it.
    state.countMetered = false;
    data.SaveUsageData(state, 0, 0);
    EXPECT_EQ(files.files.at(kFile), before + "[Zaehlen]\r\nGetaktet=0\r\n");

    struct Case
    {
        const char* lines;
        bool on;
    } cases[] = {
        {"[Zaehlen]\r\nGetaktet=1\r\n", true},
        {"[zaehlen]\r\n getaktet = 1 \r\n", true},
        {"[Zaehlen]\r\nGetaktet=0\r\n", false},
        {"[Zaehlen]\r\nGetaktet=2\r\n", false},
        {"[Zaehlen]\r\nGetaktet=-1\r\n", false},
        {"[Zaehlen]\r\nGetaktet=ja\r\n", false},
        {"[Zaehlen]\r\nGetaktet=\r\n", false},
        {"[Zaehlen]\r\n", false},
        {"Getaktet=1\r\n", false}, // in the counters' section it is no setting of this kind
    };
    for (const Case& c : cases) {
        state.countMetered = !c.on;
        loadWith(std::string("onLAN=0\r\n") + c.lines);
        EXPECT_EQ(state.countMetered, c.on) << c.lines;
    }
}

TEST_F(UsageDataTest, TotalsReadWithEitherDecimalSeparatorAndBadNumbersGiveZero)
{
    loadWith("TUp=4509715660,8\r\nTDown=abc\r\n");
    EXPECT_DOUBLE_EQ(state.baseUpBytes, 4509715660.8);
    EXPECT_DOUBLE_EQ(state.totalUpBytes, 4509715660.8);
    EXPECT_EQ(state.baseDownBytes, 0.0);
    EXPECT_DOUBLE_EQ(state.totalBytes, 4509715660.8);
    EXPECT_EQ(view.text(names::lOut), "4,2 GB");

    loadWith("TUp=1.5\r\nTDown=\r\n");
    EXPECT_DOUBLE_EQ(state.baseUpBytes, 1.5);
    EXPECT_EQ(state.baseDownBytes, 0.0);

    test::EnglishLocale english;
    UsageDataFile englishData(kFile, files, english, clock);
    files.files[kFile] = "[data]\r\nTUp=4509715660,8\r\nTDown=2.25\r\n";
    englishData.LoadUsageData(state);
    EXPECT_DOUBLE_EQ(state.baseUpBytes, 4509715660.8);
    EXPECT_DOUBLE_EQ(state.baseDownBytes, 2.25);
}

TEST_F(UsageDataTest, IntegersAndBooleansAreReadLeniently)
{
    loadWith("BOut=0x1\r\nBIn=0X\r\nonLAN=2\r\nMINI=yes\r\nBEENDEN=0x10\r\nX=+12\r\nY=0xFFFFFFFF\r\n");
    EXPECT_EQ(state.uploadMethod, 1);
    EXPECT_EQ(state.downloadMethod, 0);
    EXPECT_TRUE(state.onLAN);
    EXPECT_FALSE(state.minimiseOnClose);
    EXPECT_TRUE(state.confirmQuit);
    EXPECT_EQ(state.windowLeft, 12);
    EXPECT_EQ(state.windowTop, -1);

    loadWith("BOut=\r\nonLAN=yes\r\nX=2147483648\r\nY=-2147483648\r\nBIn=1.0\r\n");
    EXPECT_EQ(state.uploadMethod, 1);
    EXPECT_FALSE(state.onLAN);
    EXPECT_EQ(state.windowLeft, 0);
    EXPECT_EQ(state.windowTop, -2147483647 - 1);
    EXPECT_EQ(state.downloadMethod, 0);
}

// Below 0 a method would count the row before the first adapter, loopback on Linux.
TEST_F(UsageDataTest, AnAdapterMethodBelowZeroLoadsAsTheDefault)
{
    const std::pair<const char*, std::pair<int, int>> cases[] = {{"BIn=-1\r\nBOut=-1\r\n", {0, 1}},
                                                                 {"BIn=0xFFFFFFFF\r\nBOut=-7\r\n", {0, 1}},
                                                                 {"BIn=1\r\nBOut=0\r\n", {1, 0}},
                                                                 {"BIn=5\r\nBOut=-0\r\n", {5, 0}}};
    for (const auto& [keys, methods] : cases) {
        loadWith(keys);
        EXPECT_EQ(state.downloadMethod, methods.first) << keys;
        EXPECT_EQ(state.uploadMethod, methods.second) << keys;
    }
}

TEST_F(UsageDataTest, TrayChoiceIsKeptWithinTheRadioGroup)
{
    loadWith("TYP=1\r\n");
    EXPECT_EQ(state.trayTime, TrayTime::Today);
    loadWith("TYP=7\r\n");
    EXPECT_EQ(state.trayTime, TrayTime::Session);
    loadWith("TYP=-5\r\n");
    EXPECT_EQ(state.trayTime, TrayTime::None);
    loadWith("TYP=x\r\n");
    EXPECT_EQ(state.trayTime, TrayTime::Total);
}

TEST_F(UsageDataTest, OnlineTimesRoundTripWithoutLeadingZeros)
{
    loadWith("oTA=5:7:9\r\noTD= 0 :59:59\r\nSD=08.12.2026\r\n");
    EXPECT_EQ(state.totalHours, 5);
    EXPECT_EQ(state.totalMinutes, 7);
    EXPECT_EQ(state.totalSeconds, 9);
    EXPECT_EQ(state.todayMinutes, 59);
    EXPECT_EQ(view.text(names::lotAll), "5 Stunden, 7 Minuten, 9 Sekunden.");
    EXPECT_EQ(view.text(names::lOtDay), "0 Stunden, 59 Minuten, 59 Sekunden.");
    data.SaveUsageData(state, 0, 0);
    EXPECT_NE(files.files.at(kFile).find("\r\noTA=5:7:9\r\noTD=0:59:59\r\n"), std::string::npos);
}

TEST_F(UsageDataTest, OnlineTimesBeyondThirtyTwoBitsAreHeldAtTheLargestValue)
{
    loadWith("oTA=2147483647:59:59\r\noTD=99999999999:0:0\r\nSD=08.12.2026\r\n");
    EXPECT_EQ(state.totalHours, 2147483647);
    EXPECT_EQ(state.totalSeconds, 59);
    EXPECT_EQ(state.todayHours, 2147483647);
}

TEST_F(UsageDataTest, MalformedTimesAndDatesFallBackAndLoadingGoesOn)
{
    loadWith("oTD=1:2:3\r\nSD=31.02.2026\r\nRD=\r\nTUp=10\r\nX=3\r\n");
    // An unreadable SD counts as today, so the today counters stay.
    EXPECT_EQ(state.todayHours, 1);
    EXPECT_EQ(state.todaySeconds, 3);
    EXPECT_EQ(state.lastResetDate, "08.12.2026");
    EXPECT_EQ(view.text(names::lRd), "08.12.2026");
    EXPECT_EQ(state.baseUpBytes, 10.0);
    EXPECT_EQ(state.windowLeft, 3);

    loadWith("oTD=\r\nSD=\r\n");
    EXPECT_EQ(state.todayHours, 0);
    EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(DateOnly(clock.nowLocal())));
}

TEST_F(UsageDataTest, APartlyReadableTimeKeepsItsReadableFields)
{
    struct Case
    {
        const char* text;
        HoursMinutesSeconds read;
    };
    const Case cases[] = {{"120:30", {120, 30, 0}},  {"120", {120, 0, 0}},      {"1:x:3", {1, 0, 3}},
                          {"120:30:", {120, 30, 0}}, {"7::9", {7, 0, 9}},       {"5:-:2.5", {5, 0, 0}},
                          {"abc", {0, 0, 0}},        {" 4 : 5 : 6 ", {4, 5, 6}}};
    for (const Case& c : cases) {
        loadWith("oTA=" + std::string(c.text) + "\r\noTD=" + c.text + "\r\nSD=08.12.2026\r\n");
        EXPECT_EQ(state.totalHours, c.read.hours) << c.text;
        EXPECT_EQ(state.totalMinutes, c.read.minutes) << c.text;
        EXPECT_EQ(state.totalSeconds, c.read.seconds) << c.text;
        EXPECT_EQ(state.todayHours, c.read.hours) << c.text;
        EXPECT_EQ(state.todayMinutes, c.read.minutes) << c.text;
        EXPECT_EQ(state.todaySeconds, c.read.seconds) << c.text;
    }
    // What was kept reaches the file again, so the next start finds the 120 hours.
    loadWith("oTA=120:30\r\n");
    data.SaveUsageData(state, 0, 0);
    EXPECT_NE(files.files.at(kFile).find("oTA=120:30:0\r\n"), std::string::npos);
}

TEST_F(UsageDataTest, ANewCalendarDateSinceTheLastSaveRestartsTheTodayCounters)
{
    for (const char* saved : {"07.12.2026", "30.11.2026", "08.12.2025", "10.12.2026", "08.12.2027"}) {
        loadWith("oTA=1:2:3\r\noTD=4:5:6\r\nSD=" + std::string(saved) + "\r\n");
        EXPECT_EQ(state.todayHours, 0) << saved;
        EXPECT_EQ(state.todaySeconds, 0) << saved;
        EXPECT_EQ(state.totalHours, 1) << saved;
        EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(clock.nowLocal())) << saved;
    }
    loadWith("oTD=4:5:6\r\nSD=08.12.2026\r\n");
    EXPECT_EQ(state.todayHours, 4);
    EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount(DateOnly(clock.nowLocal())));
}

TEST_F(UsageDataTest, AClockOneDayBehindTheLastSaveKeepsTheTodayCountersAndTheirDate)
{
    // Saved just after midnight, then a time server set the clock back into the day before.
    loadWith("oTD=4:5:6\r\nSD=09.12.2026\r\n");
    EXPECT_EQ(state.todayHours, 4);
    EXPECT_DOUBLE_EQ(state.dayStamp, ToDayCount({2026, 12, 9, 0, 0, 0, 0}));
    data.SaveUsageData(state, 0, 0);
    EXPECT_NE(files.files.at(kFile).find("SD=09.12.2026\r\n"), std::string::npos);
}

TEST_F(UsageDataTest, LoadingPresetsTheSessionAndShowsTheLoadedCounters)
{
    state.sessionUpStart = 5;
    state.speedPhase = 3;
    state.saveTickCount = 200;
    state.upWrapOffset = 9;
    state.sessionDownBytes = 8;
    view.setText(names::lOTS, "1 Stunden, 0 Minuten, 0 Sekunden.");
    loadWith("TUp=2048\r\nTDown=1536\r\nRD=01.01.2026\r\nonLAN=1\r\n");

    EXPECT_EQ(state.sessionUpStart, kSessionNotStarted);
    EXPECT_EQ(state.sessionDownStart, kSessionNotStarted);
    EXPECT_EQ(state.speedPhase, 2);
    EXPECT_EQ(state.saveTickCount, 0);
    EXPECT_EQ(state.upWrapOffset, 0.0);
    EXPECT_EQ(state.sessionDownBytes, 0.0);
    EXPECT_EQ(view.text(names::lOTS), "");
    EXPECT_EQ(view.text(names::lOut), "2 KB");
    EXPECT_EQ(view.text(names::lIn), "1,5 KB");
    EXPECT_EQ(view.text(names::lAll), "3,5 KB");
    EXPECT_EQ(view.text(names::lRd), "01.01.2026");
    EXPECT_TRUE(state.onLAN);
}

TEST_F(UsageDataTest, DeletedFileIsNotRecreatedBySaves)
{
    load();
    files.files.erase(kFile);
    const int writesBefore = files.writes;
    data.SaveUsageData(state, 0, 0);
    EXPECT_FALSE(files.fileExists(kFile));
    EXPECT_EQ(files.writes, writesBefore);
}

TEST_F(UsageDataTest, AFailedSaveReportsThePathAndLeavesTheFileAsItWas)
{
    load();
    state.totalUpBytes = 99;
    for (auto breakIt : {+[](test::FakeFileStore& f) { f.readOnlyFiles.insert(kFile); },
                         +[](test::FakeFileStore& f) { f.diskFull = true; },
                         +[](test::FakeFileStore& f) { f.unreadableFiles.insert(kFile); }}) {
        test::FakeFileStore broken = files;
        breakIt(broken);
        UsageDataFile brokenData(kFile, broken, german, clock);
        try {
            brokenData.SaveUsageData(state, 0, 0);
            ADD_FAILURE() << "no SaveError";
        } catch (const SaveError& e) {
            EXPECT_STREQ(e.what(), "nach /prog/data/data.ini kann nicht geschrieben werden");
        }
        EXPECT_EQ(broken.files.at(kFile), kDefaultFile);
    }
}

TEST_F(UsageDataTest, AnUnreadableFileLoadsTheDefaultsAndIsNotReplaced)
{
    files.files[kFile] = "[data]\r\nTUp=5\r\n";
    files.unreadableFiles.insert(kFile);
    load();
    EXPECT_EQ(state.baseUpBytes, 0.0);
    EXPECT_EQ(state.uploadMethod, 1);
    EXPECT_EQ(state.lastResetDate, "08.12.2026");
    EXPECT_EQ(files.files.at(kFile), "[data]\r\nTUp=5\r\n");
}

TEST_F(UsageDataTest, AUtf16FileLoadsItsCountersAndIsSavedBackAsWindows1252)
{
    const std::string text = "Diese Datei nicht \xE4ndern!!!\r\n\r\n[data]\r\noTA=5:7:9\r\nTup=1024\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += std::string{c, '\0'};
    }
    files.files[kFile] = utf16;
    load();
    EXPECT_EQ(state.totalHours, 5);
    EXPECT_EQ(state.baseUpBytes, 1024.0);
    data.SaveUsageData(state, 0, 0);
    const std::string& saved = files.files.at(kFile);
    EXPECT_EQ(saved.rfind("Diese Datei nicht \xE4ndern!!!\r\n\r\n[data]\r\n", 0), 0u);
    EXPECT_EQ(saved.find('\0'), std::string::npos);
    EXPECT_EQ(saved.find("[DATA]"), std::string::npos);
    EXPECT_NE(saved.find("\r\noTA=5:7:9\r\n"), std::string::npos);
}

TEST(DataFileLocation, BesideTheProgramWhenItsFolderCanBeWritten)
{
    test::FakeFileStore files;
    files.folders = {"/opt", "/opt/app"};
    EXPECT_EQ(ResolveDataFilePath(files, "/opt/app/", "/home/u/.local/share/Tavlor"),
              "/opt/app/data/data.ini");
    EXPECT_EQ(ResolveDataFilePath(files, "/opt/app", "/home/u/.local/share/Tavlor"),
              "/opt/app/data/data.ini");
    files.folders = {"C:\\Tools"};
    EXPECT_EQ(ResolveDataFilePath(files, "C:\\Tools\\", "C:\\Users\\u\\AppData\\Roaming\\Tavlor"),
              "C:\\Tools\\data\\data.ini");

    // A writable data folder in a write-protected program folder is still used.
    files.folders = {"/opt/app", "/opt/app/data"};
    files.readOnlyFolders = {"/opt/app"};
    EXPECT_EQ(ResolveDataFilePath(files, "/opt/app/", "/home/u/x"), "/opt/app/data/data.ini");
}

TEST(DataFileLocation, InTheUsersDataFolderWhenTheProgramFolderIsWriteProtected)
{
    test::FakeFileStore files;
    files.folders = {"/usr", "/usr/bin", "/home", "/home/u"};
    files.readOnlyFolders = {"/usr/bin"};
    EXPECT_EQ(ResolveDataFilePath(files, "/usr/bin/", "/home/u/.local/share/Tavlor"),
              "/home/u/.local/share/Tavlor/data/data.ini");
    EXPECT_TRUE(files.directoryExists("/home/u/.local"));
    EXPECT_TRUE(files.directoryExists("/home/u/.local/share"));
    EXPECT_TRUE(files.directoryExists("/home/u/.local/share/Tavlor"));
    EXPECT_FALSE(files.directoryExists("/usr/bin/data"));

    files.readOnlyFolders.insert("/usr/bin/data");
    files.folders.insert("/usr/bin/data");
    EXPECT_EQ(ResolveDataFilePath(files, "/usr/bin/", "C:\\Users\\u\\AppData\\Roaming\\Tavlor"),
              "C:\\Users\\u\\AppData\\Roaming\\Tavlor\\data\\data.ini");
}

TEST(DataFileLocation, CountersBesideAWriteProtectedProgramCarryOverOnce)
{
    test::FakeFileStore files;
    files.folders = {"/opt", "/opt/app", "/opt/app/data", "/home", "/home/u"};
    files.readOnlyFolders = {"/opt/app", "/opt/app/data"};
    files.files["/opt/app/data/data.ini"] = "[data]\r\nTUp=5\r\n";
    const std::string userFile = "/home/u/Tavlor/data/data.ini";
    EXPECT_EQ(ResolveDataFilePath(files, "/opt/app/", "/home/u/Tavlor"), userFile);
    EXPECT_EQ(files.files.at(userFile), "[data]\r\nTUp=5\r\n");
    EXPECT_EQ(files.files.at("/opt/app/data/data.ini"), "[data]\r\nTUp=5\r\n");

    // Once the user's file exists it is the record; the old one is never copied over it again.
    files.files[userFile] = "[data]\r\nTUp=9\r\n";
    EXPECT_EQ(ResolveDataFilePath(files, "/opt/app/", "/home/u/Tavlor"), userFile);
    EXPECT_EQ(files.files.at(userFile), "[data]\r\nTUp=9\r\n");
}

TEST(DataFileLocation, AnInstalledProgramKeepsItsDataWithTheUserWhereverItMayWrite)
{
    test::FakeFileStore files;
    // root may write /usr/bin; a build tree is writable and wiped by a clean.
    files.folders = {"/usr", "/usr/bin", "/src", "/src/build", "/src/build/bin", "/src/build/bin/data",
                     "/home"};
    files.files["/src/build/bin/data/data.ini"] = "[data]\r\nTUp=5\r\n";
    const std::string userFile = "/home/u/.local/share/Tavlor/data/data.ini";
    for (const std::string program : {"/usr/bin/", "/src/build/bin/"}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(
            ResolveDataFilePath(files, program, "/home/u/.local/share/Tavlor", DataPlacement::UserFolder),
            userFile);
    }
    EXPECT_FALSE(files.directoryExists("/usr/bin/data"));
    // Counters a build tree kept before carry over, and the old file is left as it was.
    EXPECT_EQ(files.files.at(userFile), "[data]\r\nTUp=5\r\n");
    EXPECT_EQ(files.files.at("/src/build/bin/data/data.ini"), "[data]\r\nTUp=5\r\n");
}

} // namespace
} // namespace tavlor
