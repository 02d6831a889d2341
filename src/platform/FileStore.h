#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavlor {

// The few file operations the data file needs. Paths are UTF-8; contents are raw bytes.
class FileStore
{
public:
    virtual ~FileStore() = default;
    // What stands at a path. A data file is only ever a regular file, a link to one in the same
    // folder, or a link to the user's own data file elsewhere (empty or holding [data]), which
    // is then replaced where it lies and stays linked; anything else (a folder, a FIFO, a
    // device, a link to some other file) is refused: it is neither read nor written, and a save
    // to it fails.
    enum class Entry
    {
        Missing,
        File,
        Refused
    };

    // Something other than a folder stands at the path (a refused entry too, so that a save to
    // it fails and is reported instead of being skipped like a deleted file's).
    virtual bool fileExists(const std::string& path) = 0;
    virtual Entry entryAt(const std::string& path) = 0;
    // The last change of a file, on a scale of the store's own: only comparisons mean anything.
    virtual std::optional<std::int64_t> modifiedAt(const std::string& path) = 0;
    // The same change as a local date and time on the user's clock; nullopt when unknown.
    virtual std::optional<CivilDateTime> modifiedLocal(const std::string& path) = 0;
    // Removes what killed saves of earlier runs left beside the file.
    virtual void removeStaleTemporaries(const std::string& path) = 0;
    virtual bool directoryExists(const std::string& path) = 0;
    virtual bool createDirectory(const std::string& path) = 0; // one level
    virtual bool isDirectoryWritable(const std::string& path) = 0;
    // nullopt when the file cannot be read or is refused.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Creates or truncates and writes in one go (first-start default file only).
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // Replaces the file as one step: write beside it, flush to disk, rename over it.
    // On failure the old file is untouched and false is returned.
    virtual bool replaceFile(const std::string& path, const std::string& bytes) = 0;
};

} // namespace tavlor
