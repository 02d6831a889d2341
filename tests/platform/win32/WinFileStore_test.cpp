#include "platform/win32/WinFileStore.h"

#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavlor::win32 {
namespace {

using test::Exists;
using test::ReadWhole;
using test::TempFolder;
using test::WriteWhole;

TEST(WinFileStore, ReplaceSwapsTheWholeContentAndLeavesNoTemporaryFileBehind)
{
    TempFolder folder;
    WinFileStore store;
    const std::string path = folder.file("data.ini");
    WriteWhole(path, "old content that is longer than the new one\r\n");

    const std::string bytes("[data]\r\nTUp=1\r\n\0\xE4\r\n", 19);
    ASSERT_TRUE(store.replaceFile(path, bytes));
    EXPECT_EQ(ReadWhole(path), bytes);
    EXPECT_FALSE(Exists(path + ".tmp"));
    EXPECT_EQ(store.readFile(path), bytes);
}

TEST(WinFileStore, ReplaceCreatesAMissingFile)
{
    TempFolder folder;
    WinFileStore store;
    const std::string path = folder.file("new.ini");
    ASSERT_TRUE(store.replaceFile(path, "x=1\r\n"));
    EXPECT_EQ(ReadWhole(path), "x=1\r\n");
}

TEST(WinFileStore, AWriteProtectedFileIsRefusedAndKeepsItsContent)
{
    TempFolder folder;
    WinFileStore store;
    const std::string path = folder.file("data.ini");
    WriteWhole(path, "kept\r\n");
    test::SetReadOnly(path, true);

    EXPECT_FALSE(store.replaceFile(path, "lost\r\n"));
    EXPECT_EQ(ReadWhole(path), "kept\r\n");
    EXPECT_FALSE(Exists(path + ".tmp"));
    test::SetReadOnly(path, false);
}

// The folder comes from scripts/test-windows.sh: one the test user may read but not write,
// holding data.ini with "kept". Only the system's permissions can make such a folder.
TEST(WinFileStore, AFolderThatCannotTakeANewFileLeavesTheOldOneAlone)
{
    const char* locked = std::getenv("TAVLOR_TEST_LOCKED_FOLDER");
    if (locked == nullptr || *locked == '\0') {
        GTEST_SKIP() << "needs a write-protected folder (run through scripts/test-windows.sh as root)";
    }
    WinFileStore store;
    const std::string path = std::string(locked) + "\\data.ini";
    ASSERT_EQ(ReadWhole(path), "kept\r\n");
    EXPECT_FALSE(store.isDirectoryWritable(locked));

    EXPECT_FALSE(store.replaceFile(path, "lost\r\n"));
    EXPECT_EQ(ReadWhole(path), "kept\r\n");
    EXPECT_FALSE(Exists(path + ".tmp"));
}

TEST(WinFileStore, ReadsWritesAndFindsFilesUnderNamesOutsideTheAnsiCodePage)
{
    TempFolder folder;
    WinFileStore store;
    const std::string sub = folder.file("Zähler \xE2\x82\xAC \xE6\xB5\x8B"); // "Zähler € 测"
    ASSERT_FALSE(store.directoryExists(sub));
    ASSERT_TRUE(store.createDirectory(sub));
    EXPECT_TRUE(store.directoryExists(sub));
    EXPECT_FALSE(store.fileExists(sub));
    EXPECT_TRUE(store.isDirectoryWritable(sub));

    const std::string path = sub + "\\data.ini";
    ASSERT_TRUE(store.writeFile(path, "a=1\r\n"));
    EXPECT_TRUE(store.fileExists(path));
    ASSERT_TRUE(store.replaceFile(path, "a=2\r\n"));
    EXPECT_EQ(store.readFile(path), "a=2\r\n");
}

TEST(WinFileStore, MissingThingsAreReportedNotInvented)
{
    TempFolder folder;
    WinFileStore store;
    EXPECT_EQ(store.readFile(folder.file("none.ini")), std::nullopt);
    EXPECT_FALSE(store.fileExists(folder.file("none.ini")));
    // One level only: the parent of the new folder must exist.
    EXPECT_FALSE(store.createDirectory(folder.file("a\\b")));
    EXPECT_FALSE(store.isDirectoryWritable(folder.file("none")));
    EXPECT_FALSE(store.writeFile(folder.file("none\\x.ini"), "x"));
    EXPECT_FALSE(store.replaceFile(folder.file("none\\x.ini"), "x"));
}

} // namespace
} // namespace tavlor::win32
