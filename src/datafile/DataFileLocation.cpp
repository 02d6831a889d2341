#include "datafile/DataFileLocation.h"

#include "datafile/UsageData.h"

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

// A data file can be kept beside the program: its data folder is a writable folder or can be
// made in a writable program folder, and nothing that is not a data file stands at data.ini.
bool canKeepBeside(FileStore& files, const std::string& folder, const std::string& dataFolder,
                   const std::string& file)
{
    if (folder.empty()) {
        return false;
    }
    if (files.directoryExists(dataFolder)) {
        return files.isDirectoryWritable(dataFolder) && files.entryAt(file) != FileStore::Entry::Refused;
    }
    return !files.fileExists(dataFolder) && files.isDirectoryWritable(folder);
}

bool newer(FileStore& files, const std::string& file, const std::string& than)
{
    const std::optional<std::int64_t> a = files.modifiedAt(file);
    const std::optional<std::int64_t> b = files.modifiedAt(than);
    return a && (!b || *a > *b);
}

// Counters kept beside the program carry over once, so that moving to the user's folder does
// not look like a reset; the old file stays as it was.
void carryOver(FileStore& files, const std::string& oldFile, const std::string& userDataFolder,
               const std::string& userFile)
{
    if (files.entryAt(oldFile) != FileStore::Entry::File) {
        return;
    }
    if (const std::optional<std::string> bytes = files.readFile(oldFile)) {
        createFolders(files, join(userDataFolder, "data"));
        files.replaceFile(userFile, *bytes);
    }
}

std::string withoutTrailingSeparators(std::string folder)
{
    while (folder.size() > 1 && endsWithSeparator(folder)) {
        folder.pop_back();
    }
    return folder;
}

} // namespace

DataFileLocation LocateDataFile(FileStore& files, const std::string& programFolder,
                                const std::string& userDataFolder, DataPlacement placement)
{
    const std::string folder = withoutTrailingSeparators(programFolder);
    const std::string dataFolder = join(folder, "data");
    const std::string besideFile = join(dataFolder, "data.ini");
    const std::string userFile = join(join(userDataFolder, "data"), "data.ini");
    const bool userHasFile = files.entryAt(userFile) == FileStore::Entry::File;
    if (!folder.empty()) {
        files.removeStaleTemporaries(besideFile);
    }
    const bool mayKeepBeside = placement == DataPlacement::BesideProgramWhenWritable;
    if (mayKeepBeside && canKeepBeside(files, folder, dataFolder, besideFile) &&
        (!userHasFile || newer(files, besideFile, userFile))) {
        return {besideFile, {}};
    }
    // Installed where the user cannot write, or something else stands where the file belongs:
    // counting into a file that can never be created would lose everything on every run.
    createFolders(files, userDataFolder);
    files.removeStaleTemporaries(userFile);
    if (userHasFile) {
        return {userFile, {}};
    }
    carryOver(files, besideFile, userDataFolder, userFile);
    if (!mayKeepBeside) {
        return {userFile, {}}; // where an installed program keeps its data anyway: nothing to tell
    }
    return {userFile, "Neben dem Programm kann keine Datendatei angelegt werden. Tavlor speichert "
                      "Zähler und Einstellungen in " +
                          userFile + "."};
}

std::string ResolveDataFilePath(FileStore& files, const std::string& programFolder,
                                const std::string& userDataFolder, DataPlacement placement)
{
    return LocateDataFile(files, programFolder, userDataFolder, placement).path;
}

} // namespace tavlor
