#include "desktop/KvUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace tavlor {
namespace {

// Folders by CSIDL number, an in-memory directory set and a record of the shortcuts written.
class FakeShell final : public ShellFolders
{
public:
    std::map<int, std::string> folders;
    std::set<std::string> directories;
    std::vector<ShortcutDefinition> written;
    std::string program = "/opt/tavlor/tavlor";
    std::string folder = "/opt/tavlor/";
    bool writeSucceeds = true;

    std::string folderPath(int csidl) override
    {
        auto it = folders.find(csidl);
        return it == folders.end() ? std::string() : it->second;
    }
    bool directoryExists(const std::string& path) override { return directories.count(path) != 0; }
    bool createDirectory(const std::string& path) override
    {
        const std::string parent = path.substr(0, path.find_last_of("/\\"));
        if (directories.count(parent) == 0) {
            return false;
        }
        directories.insert(path);
        return true;
    }
    std::string programFile() override { return program; }
    std::string programFolder() override { return folder; }
    std::string shortcutExtension() override { return ".desktop"; }
    bool writeShortcut(const ShortcutDefinition& shortcut) override
    {
        if (!writeSucceeds) {
            return false;
        }
        written.push_back(shortcut);
        return true;
    }
};

TEST(CreateShellLink, StartWritesIntoTheStartupFolderWithTargetFolderAndIcon)
{
    FakeShell shell;
    shell.folders[kCsidlStartup] = "/home/u/.config/autostart";
    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "start", "VemoIco.ico"));
    ASSERT_EQ(shell.written.size(), 1u);
    const ShortcutDefinition& shortcut = shell.written.front();
    EXPECT_EQ(shortcut.file, "/home/u/.config/autostart/Tavlor.desktop");
    EXPECT_EQ(shortcut.target, "/opt/tavlor/tavlor");
    EXPECT_EQ(shortcut.workingDirectory, "/opt/tavlor/");
    EXPECT_EQ(shortcut.iconFile, "/opt/tavlor/VemoIco.ico");
}

TEST(CreateShellLink, DeskPrefersTheAllUsersFolderThenTheUsersOwn)
{
    FakeShell shell;
    shell.folders[kCsidlDesktopDirectory] = "/home/u/Desktop";
    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "desk", "VemoIco.ico"));
    shell.folders[kCsidlCommonDesktopDirectory] = "/srv/desktop";
    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "desk", "VemoIco.ico"));
    ASSERT_EQ(shell.written.size(), 2u);
    EXPECT_EQ(shell.written[0].file, "/home/u/Desktop/Tavlor.desktop");
    EXPECT_EQ(shell.written[1].file, "/srv/desktop/Tavlor.desktop");
}

TEST(CreateShellLink, ProgCreatesOneLevelUnderProgramme)
{
    FakeShell shell;
    shell.folders[kCsidlStartMenu] = "/home/u/.local/share/applications";
    shell.directories = {"/home/u/.local/share/applications"};
    // Without "Programme" the single-level creation fails and nothing is written.
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "prog", "VemoIco.ico"));
    EXPECT_TRUE(shell.written.empty());

    shell.directories.insert("/home/u/.local/share/applications/Programme");
    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "prog", "VemoIco.ico"));
    EXPECT_TRUE(shell.directories.count("/home/u/.local/share/applications/Programme/Tavlor"));
    ASSERT_EQ(shell.written.size(), 1u);
    EXPECT_EQ(shell.written[0].file, "/home/u/.local/share/applications/Programme/Tavlor/Tavlor.desktop");
}

TEST(CreateShellLink, UsesTheSeparatorOfTheProgramFolder)
{
    FakeShell shell;
    shell.program = "C:\\Tools\\Tavlor.exe";
    shell.folder = "C:\\Tools\\";
    shell.folders[kCsidlCommonStartMenu] = "C:\\Menu";
    shell.directories = {"C:\\Menu\\Programme", "C:\\Menu\\Programme\\Tavlor"};
    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "prog", "VemoIco.ico"));
    EXPECT_EQ(shell.written[0].file, "C:\\Menu\\Programme\\Tavlor\\Tavlor.desktop");
    EXPECT_EQ(shell.written[0].iconFile, "C:\\Tools\\VemoIco.ico");
}

TEST(CreateShellLink, WritesNothingWithoutAKnownFolderOrKeyword)
{
    FakeShell shell;
    shell.folders[kCsidlStartup] = "/home/u/.config/autostart";
    shell.folders[kCsidlDesktopDirectory] = "/home/u/Desktop";
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "Start", "VemoIco.ico"));
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "autostart", "VemoIco.ico"));
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "prog", "VemoIco.ico"));
    shell.folders.erase(kCsidlStartup);
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "start", "VemoIco.ico"));
    shell.program.clear();
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "desk", "VemoIco.ico"));
    EXPECT_TRUE(shell.written.empty());
}

TEST(CreateShellLink, ReportsAFailedWrite)
{
    FakeShell shell;
    shell.folders[kCsidlStartup] = "/home/u/.config/autostart";
    shell.writeSucceeds = false;
    EXPECT_FALSE(CreateShellLink(shell, "Tavlor", "start", "VemoIco.ico"));
}

TEST(AutostartMessage, TellsWhetherTheShortcutWasWritten)
{
    EXPECT_EQ(AutostartMessage(true), "Tavlor hat eine Verknüpfung im Autostart Ordner angelegt.");
    EXPECT_EQ(AutostartMessage(false), "Tavlor konnte keine Verknüpfung im Autostart Ordner anlegen.");
}

} // namespace
} // namespace tavlor
