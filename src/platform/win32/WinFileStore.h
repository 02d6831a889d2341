#pragma once

#include "platform/FileStore.h"

namespace tavlor::win32 {

// Files through the wide Windows calls (paths arrive as UTF-8). A replace goes to a file beside
// the target, is flushed to disk and then renamed over the target.
class WinFileStore final : public FileStore
{
public:
    bool fileExists(const std::string& path) override;
    // Links and junctions are refused: a save must not rewrite a file somewhere else.
    Entry entryAt(const std::string& path) override;
    std::optional<std::int64_t> modifiedAt(const std::string& path) override;
    std::optional<CivilDateTime> modifiedLocal(const std::string& path) override;
    // Removes "<path>.tmp" that a killed save left.
    void removeStaleTemporaries(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool isDirectoryWritable(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    bool replaceFile(const std::string& path, const std::string& bytes) override;
};

} // namespace tavlor::win32
