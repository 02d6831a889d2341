#pragma once

#include "platform/ShellFolders.h"

#include <functional>
#include <optional>
#include <string>

namespace tavlor::platform {

// The shell folders of a freedesktop.org desktop: autostart, desktop and application menu
// folders after the XDG base-directory and user-dirs conventions; shortcuts are desktop entries.
class XdgShellFolders final : public ShellFolders
{
public:
    using EnvLookup = std::function<std::optional<std::string>(const std::string&)>;

    // programFile "" means the running program (/proc/self/exe).
    explicit XdgShellFolders(EnvLookup env, std::string programFile = {});

    std::string folderPath(int csidl) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    std::string programFile() override;
    std::string programFolder() override;
    std::string shortcutExtension() override { return ".desktop"; }
    bool writeShortcut(const ShortcutDefinition& shortcut) override;

private:
    std::string home() const;
    std::string baseDir(const std::string& variable, const std::string& fallbackUnderHome) const;
    std::string autostartFolder();
    std::string desktopFolder();

    EnvLookup m_env;
    std::string m_programFile;
};

// The icon's name in the desktop's icon theme, where an installation puts it.
inline constexpr const char* kThemeIconName = "tavlor";

// The desktop entry text for a shortcut (exposed for tests).
std::string DesktopEntryText(const ShortcutDefinition& shortcut);

} // namespace tavlor::platform
