#pragma once

#include "platform/FileStore.h"

namespace tavlor::win32 {

// Files through the wide Windows calls (paths arrive as UTF-8). A replace goes to a file beside
// the target, is flushed to disk and then renamed over the target.
class WinFileStore final : public FileStore
{
public:
    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool isDirectoryWritable(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    bool replaceFile(const std::string& path, const std::string& bytes) override;
};

} // namespace tavlor::win32
