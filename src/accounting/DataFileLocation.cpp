#include "accounting/UsageData.h"

#include <optional>
#include <vector>

namespace tavlor {

namespace {

bool endsWithSeparator(const std::string& path)
{
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

// Windows folders come with backslashes; the file's path keeps to the folder's own style.
char separatorOf(const std::string& folder)
{
    return folder.find('\\') != std::string::npos ? '\\' : '/';
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || endsWithSeparator(folder)) {
        return folder + name;
    }
    return folder + separatorOf(folder) + name;
}

std::string parentOf(std::string path)
{
    while (path.size() > 1 && endsWithSeparator(path)) {
        path.pop_back();
    }
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// Creates the folder and any missing folders above it, one level at a time.
void createFolders(FileStore& files, const std::string& folder)
{
    std::vector<std::string> missing;
    for (std::string p = folder; !p.empty() && !files.directoryExists(p); p = parentOf(p)) {
        if (!missing.empty() && missing.back() == p) {
            break; // a root that does not exist
        }
        missing.push_back(p);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!files.createDirectory(*it)) {
            return;
        }
    }
}

} // namespace

std::string ResolveDataFilePath(FileStore& files, const std::string& programFolder,
                                const std::string& userDataFolder, DataPlacement placement)
{
    std::string folder = programFolder;
    while (folder.size() > 1 && endsWithSeparator(folder)) {
        folder.pop_back();
    }
    const std::string dataFolder = join(folder, "data");
    const bool portable = placement == DataPlacement::BesideProgramWhenWritable && !folder.empty() &&
                          (files.directoryExists(dataFolder) ? files.isDirectoryWritable(dataFolder)
                                                             : files.isDirectoryWritable(folder));
    if (portable) {
        return join(dataFolder, "data.ini");
    }
    // Installed where the user cannot write: counting into a file that can never be created
    // would lose everything on every run, so the file lives with the user's data instead.
    const std::string userFile = join(join(userDataFolder, "data"), "data.ini");
    createFolders(files, userDataFolder);
    // Counters kept beside the program before it became write-protected carry over once, so that
    // moving to the user's folder does not look like a reset; the old file stays as it was.
    const std::string oldFile = join(dataFolder, "data.ini");
    if (!folder.empty() && !files.fileExists(userFile) && files.fileExists(oldFile)) {
        if (const std::optional<std::string> bytes = files.readFile(oldFile)) {
            createFolders(files, join(userDataFolder, "data"));
            files.replaceFile(userFile, *bytes);
        }
    }
    return userFile;
}

} // namespace tavlor
