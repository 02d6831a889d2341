#pragma once

#include "platform/ShellFolders.h"

namespace tavlor::win32 {

// Shell special folders and .lnk shortcuts (IShellLinkA saved through IPersistFile).
class WinShellFolders final : public ShellFolders
{
public:
    std::string folderPath(int csidl) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    std::string programFile() override;
    std::string programFolder() override;
    std::string shortcutExtension() override;
    bool writeShortcut(const ShortcutDefinition& shortcut) override;
};

} // namespace tavlor::win32
