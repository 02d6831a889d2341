#pragma once

#include <optional>
#include <string>

namespace tavlor {

// The few file operations the data file needs. Paths are UTF-8; contents are raw bytes.
class FileStore
{
public:
    virtual ~FileStore() = default;
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool directoryExists(const std::string& path) = 0;
    virtual bool createDirectory(const std::string& path) = 0; // one level
    virtual bool isDirectoryWritable(const std::string& path) = 0;
    // nullopt when the file cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Creates or truncates and writes in one go (first-start default file only).
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // Replaces the file as one step: write beside it, flush to disk, rename over it.
    // On failure the old file is untouched and false is returned.
    virtual bool replaceFile(const std::string& path, const std::string& bytes) = 0;
};

} // namespace tavlor
