#pragma once

#include <string>

namespace tavlor {

// Shell folder numbers (CSIDL) the shortcut writer asks for.
inline constexpr int kCsidlStartup = 7;
inline constexpr int kCsidlStartMenu = 11;
inline constexpr int kCsidlDesktopDirectory = 16;
inline constexpr int kCsidlCommonStartMenu = 22;
inline constexpr int kCsidlCommonDesktopDirectory = 25;

struct ShortcutDefinition
{
    std::string file;             // full path of the shortcut file to write
    std::string target;           // full path of the program
    std::string workingDirectory; // folder of the program
    std::string iconFile;         // icon path, index 0
};

class ShellFolders
{
public:
    virtual ~ShellFolders() = default;
    // Path of a special folder, or "" when it cannot be determined.
    virtual std::string folderPath(int csidl) = 0;
    virtual bool directoryExists(const std::string& path) = 0;
    virtual bool createDirectory(const std::string& path) = 0; // one level
    // Full path of the running program file and its folder (with trailing separator).
    virtual std::string programFile() = 0;
    virtual std::string programFolder() = 0;
    // The platform's shortcut file name ending (".lnk" on Windows, ".desktop" on Linux).
    virtual std::string shortcutExtension() = 0;
    // Writes (or overwrites) the shortcut; false when nothing was written.
    virtual bool writeShortcut(const ShortcutDefinition& shortcut) = 0;
};

} // namespace tavlor
