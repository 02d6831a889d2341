#include "datafile/DataFileLocation.h"

#include "FakeFileStore.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

constexpr const char* kBeside = "/opt/app/data/data.ini";
constexpr const char* kUser = "/home/u/Tavlor/data/data.ini";

class Location : public ::testing::Test
{
protected:
    Location() { files.folders = {"/opt", "/opt/app", "/opt/app/data", "/home", "/home/u"}; }
    DataFileLocation locate() { return LocateDataFile(files, "/opt/app/", "/home/u/Tavlor"); }

    test::FakeFileStore files;
};

TEST_F(Location, SomethingInTheWayBesideTheProgramSendsTheCountersToTheUsersFolderAndSaysSoOnce)
{
    struct Case
    {
        const char* what;
        std::function<void(test::FakeFileStore&)> block;
    };
    const Case cases[] = {
        {"a folder named data.ini", [](auto& f) { f.folders.insert(kBeside); }},
        {"a FIFO or a link elsewhere", [](auto& f) { f.refused.insert(kBeside); }},
        {"a file named data",
         [](auto& f) { f.folders.erase("/opt/app/data"), f.files["/opt/app/data"] = "x"; }},
        {"a write-protected data folder", [](auto& f) { f.readOnlyFolders.insert("/opt/app/data"); }},
    };
    for (const Case& c : cases) {
        files = {};
        files.folders = {"/opt", "/opt/app", "/opt/app/data", "/home", "/home/u"};
        c.block(files);
        const DataFileLocation first = locate();
        EXPECT_EQ(first.path, kUser) << c.what;
        EXPECT_NE(first.notice.find(kUser), std::string::npos) << c.what;
        EXPECT_TRUE(files.directoryExists("/home/u/Tavlor")) << c.what;
        files.files[kUser] = "[data]\r\n"; // the first run's file
        const DataFileLocation next = locate();
        EXPECT_EQ(next.path, kUser) << c.what;
        EXPECT_EQ(next.notice, "") << c.what;
    }
}

TEST_F(Location, OnceTheUsersFolderHoldsTheFileAStaleFileBesideTheProgramNeverComesBack)
{
    files.readOnlyFolders = {"/opt/app", "/opt/app/data"};
    files.files[kBeside] = "[data]\r\nTup=5\r\n";
    files.modified[kBeside] = 1;
    EXPECT_EQ(locate().path, kUser);
    EXPECT_EQ(files.files.at(kUser), "[data]\r\nTup=5\r\n"); // carried over once
    files.files[kUser] = "[data]\r\nTup=9\r\n";
    files.modified[kUser] = 50;

    files.readOnlyFolders.clear(); // the program folder is writable again
    const DataFileLocation again = locate();
    EXPECT_EQ(again.path, kUser);
    EXPECT_EQ(again.notice, "");
    EXPECT_EQ(files.files.at(kUser), "[data]\r\nTup=9\r\n");

    // The same time on both: the user's file stays the record.
    files.modified[kBeside] = 50;
    EXPECT_EQ(locate().path, kUser);
    // A portable copy saved after the user's file was last written is the newer record.
    files.modified[kBeside] = 51;
    EXPECT_EQ(locate().path, kBeside);
}

TEST_F(Location, ForeignFilesAreNeverCarriedOverAndTemporariesAreSweptInBothPlaces)
{
    files.refused.insert(kBeside);
    files.files[kBeside] = "#!/bin/sh\n";
    EXPECT_EQ(locate().path, kUser);
    EXPECT_EQ(files.files.count(kUser), 0u);
    EXPECT_EQ(files.files.at(kBeside), "#!/bin/sh\n");
    EXPECT_EQ(files.sweptFolders, (std::vector<std::string>{"/opt/app/data", "/home/u/Tavlor/data"}));
}

} // namespace
} // namespace tavlor
