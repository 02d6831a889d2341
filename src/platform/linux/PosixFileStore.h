#pragma once

#include "platform/FileStore.h"

namespace tavlor {

// The data file's operations on POSIX files. A file or folder without any write permission
// bit counts as write-protected even for root, as a read-only file does on Windows.
class PosixFileStore final : public FileStore
{
public:
    bool fileExists(const std::string& path) override;
    Entry entryAt(const std::string& path) override;
    std::optional<std::int64_t> modifiedAt(const std::string& path) override;
    std::optional<CivilDateTime> modifiedLocal(const std::string& path) override;
    // Removes "<name>.tmp-<pid>" files whose process is gone.
    void removeStaleTemporaries(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool isDirectoryWritable(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    // Writes "<path>.tmp-<pid>" in the data folder, flushes it, renames it over the file (or over
    // the target of a link to a file in that folder) and flushes the folder. The temporary file
    // is removed again on any failure. Refused entries are not replaced.
    bool replaceFile(const std::string& path, const std::string& bytes) override;
};

} // namespace tavlor
