#include "desktop/KvUtils.h"

namespace tavlor {

namespace {
// The platform's separator is the one ending the program folder ("\" on Windows, "/" elsewhere).
std::string Separator(ShellFolders& shell)
{
    const std::string folder = shell.programFolder();
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        return std::string(1, folder.back());
    }
    return "/";
}

std::string FirstFolder(ShellFolders& shell, int preferred, int fallback)
{
    std::string folder = shell.folderPath(preferred);
    if (folder.empty() && fallback != preferred) {
        folder = shell.folderPath(fallback);
    }
    return folder;
}

// The folder the shortcut goes into, or "" when the keyword names none or it cannot be made.
std::string TargetFolder(ShellFolders& shell, const std::string& keyword, const std::string& linkName,
                         const std::string& sep)
{
    if (keyword == "desk") {
        return FirstFolder(shell, kCsidlCommonDesktopDirectory, kCsidlDesktopDirectory);
    }
    if (keyword == "start") {
        return shell.folderPath(kCsidlStartup);
    }
    if (keyword != "prog") {
        return {};
    }
    const std::string menu = FirstFolder(shell, kCsidlCommonStartMenu, kCsidlStartMenu);
    if (menu.empty()) {
        return {};
    }
    // Only the last level is created: without "Programme" in the menu nothing is written.
    const std::string folder = menu + sep + "Programme" + sep + linkName;
    if (!shell.directoryExists(folder) && !shell.createDirectory(folder)) {
        return {};
    }
    return folder;
}
} // namespace

bool CreateShellLink(ShellFolders& shell, const std::string& linkName, const std::string& keyword,
                     const std::string& iconFile)
{
    ShortcutDefinition shortcut;
    shortcut.target = shell.programFile();
    shortcut.workingDirectory = shell.programFolder();
    shortcut.iconFile = shortcut.workingDirectory + iconFile;
    // A shortcut without a target, or one saved relative to whatever the current drive is,
    // would be a file that starts nothing.
    if (shortcut.target.empty() || linkName.empty()) {
        return false;
    }
    const std::string sep = Separator(shell);
    const std::string folder = TargetFolder(shell, keyword, linkName, sep);
    if (folder.empty()) {
        return false;
    }
    shortcut.file = folder + sep + linkName + shell.shortcutExtension();
    return shell.writeShortcut(shortcut);
}

std::string AutostartMessage(bool written)
{
    return written ? "Tavlor hat eine Verknüpfung im Autostart Ordner angelegt."
                   : "Tavlor konnte keine Verknüpfung im Autostart Ordner anlegen.";
}

} // namespace tavlor
