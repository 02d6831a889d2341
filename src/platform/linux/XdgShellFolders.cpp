#include "platform/linux/XdgShellFolders.h"

#include "platform/linux/PosixFileStore.h"

#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlor::platform {

namespace {
bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

bool MakeDirectories(const std::string& path)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash))) {
        return false;
    }
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// The value of one XDG_xxx_DIR line of user-dirs.dirs: "$HOME/..." or an absolute path in
// double quotes, backslash escaping the next character. nullopt for any other form.
std::optional<std::string> UserDirValue(const std::string& line, const std::string& key,
                                        const std::string& home)
{
    std::size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos || line.compare(pos, key.size(), key) != 0) {
        return std::nullopt;
    }
    pos = line.find_first_not_of(" \t", pos + key.size());
    if (pos == std::string::npos || line[pos] != '=') {
        return std::nullopt;
    }
    pos = line.find_first_not_of(" \t", pos + 1);
    if (pos == std::string::npos || line[pos] != '"') {
        return std::nullopt;
    }
    ++pos;
    std::string value;
    if (line.compare(pos, 5, "$HOME") == 0) {
        value = home;
        pos += 5;
    } else if (pos >= line.size() || line[pos] != '/') {
        return std::nullopt;
    }
    for (; pos < line.size() && line[pos] != '"'; ++pos) {
        if (line[pos] == '\\' && pos + 1 < line.size()) {
            ++pos;
        }
        value += line[pos];
    }
    return value;
}

// Desktop-entry string values escape backslash and control characters (and a leading blank).
std::string EscapeString(const std::string& value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == ' ' && i == 0) {
            out += "\\s";
        } else {
            out += c;
        }
    }
    return out;
}

// Exec: the program as one quoted argument; inside the quotes ", `, $ and \ take a backslash,
// a literal % is doubled so it is not read as a field code, then the string escapes apply.
std::string ExecValue(const std::string& program)
{
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    quoted += '"';
    return EscapeString(quoted);
}

std::string NameFromFile(const std::string& file)
{
    const std::size_t slash = file.find_last_of('/');
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const std::size_t dot = name.rfind(".desktop");
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name.empty() ? std::string("Tavlor") : name;
}

} // namespace

std::string DesktopEntryText(const ShortcutDefinition& shortcut)
{
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + EscapeString(NameFromFile(shortcut.file)) + "\n";
    text += "Exec=" + ExecValue(shortcut.target) + "\n";
    text += "Path=" + EscapeString(shortcut.workingDirectory) + "\n";
    text += "Icon=" + EscapeString(shortcut.iconFile) + "\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text;
}

XdgShellFolders::XdgShellFolders(EnvLookup env, std::string programFile)
    : m_env(std::move(env)), m_programFile(std::move(programFile))
{
}

std::string XdgShellFolders::home() const
{
    const std::optional<std::string> value = m_env("HOME");
    return value && IsAbsolute(*value) ? *value : std::string();
}

// An XDG base directory: the variable when it holds an absolute path (relative ones are to be
// ignored), else the fallback under the home folder; "" without a home.
std::string XdgShellFolders::baseDir(const std::string& variable, const std::string& fallbackUnderHome) const
{
    const std::optional<std::string> value = m_env(variable);
    if (value && IsAbsolute(*value)) {
        return *value;
    }
    const std::string homeDir = home();
    return homeDir.empty() ? std::string() : homeDir + "/" + fallbackUnderHome;
}

std::string XdgShellFolders::autostartFolder()
{
    const std::string config = baseDir("XDG_CONFIG_HOME", ".config");
    if (config.empty()) {
        return {};
    }
    const std::string folder = config + "/autostart";
    return MakeDirectories(folder) ? folder : std::string();
}

std::string XdgShellFolders::desktopFolder()
{
    const std::string homeDir = home();
    const std::string config = baseDir("XDG_CONFIG_HOME", ".config");
    if (homeDir.empty() || config.empty()) {
        return {};
    }
    std::string folder = homeDir + "/Desktop";
    std::ifstream dirs(config + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        if (std::optional<std::string> value = UserDirValue(line, "XDG_DESKTOP_DIR", homeDir)) {
            folder = *value;
        }
    }
    // A desktop folder set to the home folder itself means the user has switched it off.
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (folder == homeDir || !directoryExists(folder)) {
        return {};
    }
    return folder;
}

std::string XdgShellFolders::folderPath(int csidl)
{
    switch (csidl) {
    case kCsidlStartup:
        return autostartFolder();
    case kCsidlDesktopDirectory:
        return desktopFolder();
    case kCsidlStartMenu: {
        const std::string data = baseDir("XDG_DATA_HOME", ".local/share");
        return data.empty() ? std::string() : data + "/applications";
    }
    default:
        return {}; // no all-users folders a user could write into
    }
}

bool XdgShellFolders::directoryExists(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool XdgShellFolders::createDirectory(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0;
}

std::string XdgShellFolders::programFile()
{
    if (m_programFile.empty()) {
        char buffer[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0) {
            m_programFile.assign(buffer, static_cast<std::size_t>(n));
        }
    }
    return m_programFile;
}

std::string XdgShellFolders::programFolder()
{
    const std::string file = programFile();
    const std::size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

bool XdgShellFolders::writeShortcut(const ShortcutDefinition& shortcut)
{
    ShortcutDefinition entry = shortcut;
    // An installed program has no icon file beside it; its icon is in the desktop's icon theme.
    struct stat st
    {
    };
    if (stat(entry.iconFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        entry.iconFile = kThemeIconName;
    }
    // The same atomic replacement as the data file: a reader never sees half an entry.
    return IsAbsolute(entry.file) && PosixFileStore().replaceFile(entry.file, DesktopEntryText(entry));
}

std::unique_ptr<ShellFolders> makeShellFolders()
{
    return std::make_unique<XdgShellFolders>([](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
}

} // namespace tavlor::platform
