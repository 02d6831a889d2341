#include "platform/linux/XdgShellFolders.h"

#include "desktop/KvUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace tavlor::platform {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fake home folder and environment; the real user's folders are never touched.
class XdgShellFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tavlor-home-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_home = pattern;
        m_env["HOME"] = m_home.string();
    }
    void TearDown() override { fs::remove_all(m_home); }

    XdgShellFolders shell(const std::string& program = "/opt/tavlor/tavlor")
    {
        return XdgShellFolders(
            [this](const std::string& name) -> std::optional<std::string> {
                auto it = m_env.find(name);
                return it == m_env.end() ? std::nullopt : std::optional<std::string>(it->second);
            },
            program);
    }

    static bool Validates(const fs::path& file)
    {
        if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
            return true; // not installed here; the contents are still checked line by line
        }
        const std::string command = "desktop-file-validate '" + file.string() + "'";
        return std::system(command.c_str()) == 0;
    }

    fs::path m_home;
    std::map<std::string, std::string> m_env;
};

TEST_F(XdgShellFoldersTest, AutostartFolderIsCreatedUnderTheConfigHome)
{
    XdgShellFolders folders = shell();
    EXPECT_EQ(folders.folderPath(kCsidlStartup), (m_home / ".config/autostart").string());
    EXPECT_TRUE(fs::is_directory(m_home / ".config/autostart"));

    m_env["XDG_CONFIG_HOME"] = (m_home / "cfg").string();
    EXPECT_EQ(folders.folderPath(kCsidlStartup), (m_home / "cfg/autostart").string());
    EXPECT_TRUE(fs::is_directory(m_home / "cfg/autostart"));

    // A relative base directory is to be ignored.
    m_env["XDG_CONFIG_HOME"] = "relative/cfg";
    EXPECT_EQ(folders.folderPath(kCsidlStartup), (m_home / ".config/autostart").string());
}

TEST_F(XdgShellFoldersTest, DesktopFolderFollowsUserDirsAndMustExist)
{
    XdgShellFolders folders = shell();
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), "");
    fs::create_directories(m_home / "Desktop");
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), (m_home / "Desktop").string());

    fs::create_directories(m_home / ".config");
    fs::create_directories(m_home / "Schreib tisch");
    std::ofstream(m_home / ".config/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
        << "XDG_DESKTOP_DIR=\"$HOME/Schreib tisch\"\n";
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), (m_home / "Schreib tisch").string());

    std::ofstream(m_home / ".config/user-dirs.dirs")
        << "XDG_DESKTOP_DIR=\"" << m_home.string() << "/Desktop\"\n";
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), (m_home / "Desktop").string());

    // Set to the home folder itself: the user has no desktop folder.
    std::ofstream(m_home / ".config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/\"\n";
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), "");
}

TEST_F(XdgShellFoldersTest, MenuAndAllUsersFolders)
{
    XdgShellFolders folders = shell();
    EXPECT_EQ(folders.folderPath(kCsidlStartMenu), (m_home / ".local/share/applications").string());
    m_env["XDG_DATA_HOME"] = "/data/u";
    EXPECT_EQ(folders.folderPath(kCsidlStartMenu), "/data/u/applications");
    EXPECT_EQ(folders.folderPath(kCsidlCommonStartMenu), "");
    EXPECT_EQ(folders.folderPath(kCsidlCommonDesktopDirectory), "");

    m_env.erase("HOME");
    m_env.erase("XDG_DATA_HOME");
    EXPECT_EQ(folders.folderPath(kCsidlStartup), "");
    EXPECT_EQ(folders.folderPath(kCsidlStartMenu), "");
    EXPECT_EQ(folders.folderPath(kCsidlDesktopDirectory), "");
}

TEST_F(XdgShellFoldersTest, AutostartLinkIsAValidDesktopEntry)
{
    const std::string app = (m_home / "app").string();
    fs::create_directories(app);
    std::ofstream(app + "/VemoIco.ico") << "icon";
    // A copy of its own finds its icon beside it; an installed one has it in the icon theme.
    const struct
    {
        std::string program, folder, icon;
    } cases[] = {
        {app + "/tavlor", app + "/", app + "/VemoIco.ico"},
        {"/usr/bin/tavlor", "/usr/bin/", "tavlor"},
    };
    const fs::path file = m_home / ".config/autostart/Tavlor.desktop";
    for (const auto& c : cases) {
        XdgShellFolders folders = shell(c.program);
        ASSERT_TRUE(CreateShellLink(folders, "Tavlor", "start", "VemoIco.ico"));
        const std::string expected = "[Desktop Entry]\nType=Application\nName=Tavlor\n"
                                     "Exec=\"" +
                                     c.program + "\"\nPath=" + c.folder + "\nIcon=" + c.icon +
                                     "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
        EXPECT_EQ(ReadAll(file), expected);
        EXPECT_TRUE(Validates(file));
    }

    // Pressed again: the one file is rewritten, no temporary file stays behind.
    XdgShellFolders folders = shell(app + "/tavlor");
    ASSERT_TRUE(CreateShellLink(folders, "Tavlor", "start", "VemoIco.ico"));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(XdgShellFoldersTest, ExecQuotesReservedCharactersOfThePath)
{
    XdgShellFolders folders = shell("/opt/my tools/a$b\"c\\d%e/tavlor");
    ASSERT_TRUE(CreateShellLink(folders, "Tavlor", "start", "VemoIco.ico"));
    const fs::path file = m_home / ".config/autostart/Tavlor.desktop";
    const std::string text = ReadAll(file);
    // Argument quoting doubles the backslash, the string escape doubles it again; % is doubled.
    EXPECT_NE(text.find("Exec=\"/opt/my tools/a\\\\$b\\\\\"c\\\\\\\\d%%e/tavlor\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Path=/opt/my tools/a$b\"c\\\\d%e/\n"), std::string::npos) << text;
    EXPECT_TRUE(Validates(file));
}

TEST_F(XdgShellFoldersTest, ProgAndDeskFolderRules)
{
    XdgShellFolders folders = shell();
    fs::create_directories(m_home / ".local/share/applications");
    EXPECT_FALSE(CreateShellLink(folders, "Tavlor", "prog", "VemoIco.ico"));
    EXPECT_FALSE(fs::exists(m_home / ".local/share/applications/Programme"));

    fs::create_directories(m_home / ".local/share/applications/Programme");
    ASSERT_TRUE(CreateShellLink(folders, "Tavlor", "prog", "VemoIco.ico"));
    EXPECT_TRUE(fs::is_regular_file(m_home / ".local/share/applications/Programme/Tavlor/Tavlor.desktop"));

    EXPECT_FALSE(CreateShellLink(folders, "Tavlor", "desk", "VemoIco.ico"));
    fs::create_directories(m_home / "Desktop");
    ASSERT_TRUE(CreateShellLink(folders, "Tavlor", "desk", "VemoIco.ico"));
    EXPECT_TRUE(fs::is_regular_file(m_home / "Desktop/Tavlor.desktop"));
}

TEST_F(XdgShellFoldersTest, UnwritableFolderReportsFailure)
{
    XdgShellFolders folders = shell();
    ShortcutDefinition shortcut{(m_home / "missing/Tavlor.desktop").string(), "/opt/tavlor/tavlor",
                                "/opt/tavlor/", "/opt/tavlor/VemoIco.ico"};
    EXPECT_FALSE(folders.writeShortcut(shortcut));
    shortcut.file = "Tavlor.desktop";
    EXPECT_FALSE(folders.writeShortcut(shortcut));
}

TEST_F(XdgShellFoldersTest, ProgramFileIsTheRunningExecutable)
{
    XdgShellFolders folders = shell("");
    const std::string program = folders.programFile();
    EXPECT_EQ(fs::path(program), fs::canonical("/proc/self/exe"));
    EXPECT_EQ(folders.programFolder(), fs::path(program).parent_path().string() + "/");
}

} // namespace
} // namespace tavlor::platform
