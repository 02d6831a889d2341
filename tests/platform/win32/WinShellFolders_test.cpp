#include "platform/win32/WinShellFolders.h"

#include "desktop/KvUtils.h"
#include "platform/win32/WinText.h"

#include "WinTestSupport.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

struct LinkContent
{
    bool loaded = false;
    std::string path;
    std::string workingDirectory;
    std::string iconFile;
    int iconIndex = -1;
};

// Reads a shortcut back the way the shell does: IShellLinkA loaded through IPersistFile.
LinkContent readLink(const std::string& file)
{
    LinkContent content;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    const std::wstring name = Utf8ToWide(file).value();
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(name.c_str(), STGM_READ))) {
        char text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        content.path = AnsiToUtf8(text);
        link->GetWorkingDirectory(text, MAX_PATH);
        content.workingDirectory = AnsiToUtf8(text);
        link->GetIconLocation(text, MAX_PATH, &content.iconIndex);
        content.iconFile = AnsiToUtf8(text);
        content.loaded = true;
    }
    if (persist) {
        persist->Release();
    }
    if (link) {
        link->Release();
    }
    CoUninitialize();
    return content;
}

ShortcutDefinition specIn(const test::TempFolder& folder, const std::string& target)
{
    ShortcutDefinition shortcut;
    shortcut.file = folder.file("Tavlor.lnk");
    shortcut.target = target;
    shortcut.workingDirectory = folder.path() + "\\";
    shortcut.iconFile = folder.path() + "\\VemoIco.ico";
    return shortcut;
}

TEST(WinShellFolders, AShortcutReadsBackWithTargetWorkingFolderAndIcon)
{
    test::TempFolder folder;
    WinShellFolders shell;
    const std::string target = folder.file("Tavlor.exe");
    test::WriteWhole(target, "MZ");
    const ShortcutDefinition shortcut = specIn(folder, target);

    ASSERT_TRUE(shell.writeShortcut(shortcut));
    const LinkContent link = readLink(shortcut.file);
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.path, shortcut.target);
    EXPECT_EQ(link.workingDirectory, shortcut.workingDirectory);
    EXPECT_EQ(link.iconFile, shortcut.iconFile); // written although the icon file does not exist
    EXPECT_EQ(link.iconIndex, 0);
}

TEST(WinShellFolders, WritingAgainReplacesTheShortcut)
{
    test::TempFolder folder;
    WinShellFolders shell;
    ShortcutDefinition shortcut = specIn(folder, folder.file("Old.exe"));
    ASSERT_TRUE(shell.writeShortcut(shortcut));
    shortcut.target = folder.file("New.exe");
    ASSERT_TRUE(shell.writeShortcut(shortcut));
    EXPECT_EQ(readLink(shortcut.file).path, folder.file("New.exe"));
}

TEST(WinShellFolders, APathTheAnsiCallsCannotSpellWritesNothing)
{
    test::TempFolder folder;
    WinShellFolders shell;
    // "测" has no form in code page 1252: a link to "?.exe" would start nothing.
    const ShortcutDefinition shortcut = specIn(folder, folder.file("\xE6\xB5\x8B.exe"));
    EXPECT_FALSE(shell.writeShortcut(shortcut));
    EXPECT_FALSE(test::Exists(shortcut.file));
}

TEST(WinShellFolders, ASaveIntoAMissingFolderReportsFailure)
{
    test::TempFolder folder;
    WinShellFolders shell;
    ShortcutDefinition shortcut = specIn(folder, folder.file("Tavlor.exe"));
    shortcut.file = folder.file("missing\\Tavlor.lnk");
    EXPECT_FALSE(shell.writeShortcut(shortcut));
}

TEST(WinShellFolders, KnowsTheProgramItsFolderAndTheUsersStartupFolder)
{
    WinShellFolders shell;
    const std::string file = shell.programFile();
    const std::string folder = shell.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(file.rfind(folder, 0), 0u);
    EXPECT_NE(file.find("tavlor_platform_win32_tests.exe"), std::string::npos);
    EXPECT_EQ(shell.shortcutExtension(), ".lnk");

    std::string startup = shell.folderPath(kCsidlStartup);
    CharLowerBuffA(startup.data(), static_cast<DWORD>(startup.size()));
    EXPECT_NE(startup.find("\\startup"), std::string::npos) << startup;
    EXPECT_EQ(shell.folderPath(0x7FFF), "");
}

TEST(WinShellFolders, TheAutostartButtonPutsALinkToThisProgramIntoTheStartupFolder)
{
    WinShellFolders shell;
    const std::string startup = shell.folderPath(kCsidlStartup);
    if (!shell.directoryExists(startup)) {
        ASSERT_TRUE(shell.createDirectory(startup)) << startup;
    }
    const std::string file = startup + "\\Tavlor.lnk";
    DeleteFileW(Utf8ToWide(file).value().c_str());

    ASSERT_TRUE(CreateShellLink(shell, "Tavlor", "start", "VemoIco.ico"));
    const LinkContent link = readLink(file);
    ASSERT_TRUE(link.loaded) << file;
    EXPECT_EQ(link.path, shell.programFile());
    EXPECT_EQ(link.workingDirectory, shell.programFolder());
    EXPECT_EQ(link.iconFile, shell.programFolder() + "VemoIco.ico");
    DeleteFileW(Utf8ToWide(file).value().c_str());
}

} // namespace
} // namespace tavlor::win32
