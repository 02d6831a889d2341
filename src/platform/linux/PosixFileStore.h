#pragma once

#include "platform/FileStore.h"

namespace tavlor {

// The data file's operations on POSIX files. A file or folder without any write permission
// bit counts as write-protected even for root, as a read-only file does on Windows.
class PosixFileStore final : public FileStore
{
public:
    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool isDirectoryWritable(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    // Writes "<path>.tmp-<pid>" beside the file, flushes it, renames it over the file and
    // flushes the folder. The temporary file is removed again on any failure.
    bool replaceFile(const std::string& path, const std::string& bytes) override;
};

} // namespace tavlor
