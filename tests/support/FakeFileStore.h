#pragma once

#include "platform/FileStore.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavlor::test {

// Files and folders in memory. Failures are switched on by the test: a full disk, a
// write-protected file or folder, a file that cannot be read.
class FakeFileStore final : public FileStore
{
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> readOnlyFolders;           // isDirectoryWritable false; nothing created inside
    std::set<std::string> readOnlyFiles;             // writes and replacements of these fail
    std::set<std::string> unreadableFiles;           // readFile gives nullopt
    std::set<std::string> refused;                   // a FIFO, a device or a link elsewhere stands there
    std::map<std::string, std::int64_t> modified;    // set on every write, from a counter
    std::map<std::string, CivilDateTime> modifiedOn; // the local time of the last change, if set
    std::vector<std::string> sweptFolders;           // removeStaleTemporaries calls
    bool diskFull = false;                           // every write and replacement fails
    int writes = 0;                                  // successful writeFile and replaceFile calls

    bool fileExists(const std::string& path) override
    {
        return files.count(path) != 0 || refused.count(path) != 0;
    }
    Entry entryAt(const std::string& path) override
    {
        if (refused.count(path) != 0 || folders.count(path) != 0) {
            return Entry::Refused;
        }
        return files.count(path) != 0 ? Entry::File : Entry::Missing;
    }
    std::optional<std::int64_t> modifiedAt(const std::string& path) override
    {
        if (entryAt(path) != Entry::File) {
            return std::nullopt;
        }
        return modified.count(path) != 0 ? modified.at(path) : 0;
    }
    std::optional<CivilDateTime> modifiedLocal(const std::string& path) override
    {
        auto it = modifiedOn.find(path);
        if (entryAt(path) != Entry::File || it == modifiedOn.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    void removeStaleTemporaries(const std::string& path) override { sweptFolders.push_back(parentOf(path)); }
    bool directoryExists(const std::string& path) override { return folders.count(path) != 0; }
    // One level only: the parent must exist.
    bool createDirectory(const std::string& path) override
    {
        const std::string parent = parentOf(path);
        if (diskFull || folders.count(path) != 0 || readOnlyFolders.count(parent) != 0 ||
            (!parent.empty() && folders.count(parent) == 0)) {
            return false;
        }
        folders.insert(path);
        return true;
    }
    bool isDirectoryWritable(const std::string& path) override
    {
        return folders.count(path) != 0 && readOnlyFolders.count(path) == 0;
    }
    std::optional<std::string> readFile(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end() || unreadableFiles.count(path) != 0 || refused.count(path) != 0) {
            return std::nullopt;
        }
        return it->second;
    }
    bool writeFile(const std::string& path, const std::string& bytes) override { return store(path, bytes); }
    bool replaceFile(const std::string& path, const std::string& bytes) override
    {
        return store(path, bytes);
    }

    static std::string parentOf(const std::string& path)
    {
        std::size_t slash = path.find_last_of("/\\");
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }

private:
    std::int64_t m_changes = 100;

    bool store(const std::string& path, const std::string& bytes)
    {
        const std::string folder = parentOf(path);
        if (diskFull || readOnlyFiles.count(path) != 0 || readOnlyFolders.count(folder) != 0 ||
            refused.count(path) != 0 || folders.count(path) != 0 ||
            (!folder.empty() && folders.count(folder) == 0)) {
            return false;
        }
        files[path] = bytes;
        modified[path] = ++m_changes;
        ++writes;
        return true;
    }
};

} // namespace tavlor::test
