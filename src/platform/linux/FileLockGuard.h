#pragma once

#include "platform/InstanceGuard.h"

#include <string>

namespace tavlor::platform {

// The named guard as an exclusive flock() on a file per user session. The kernel drops the lock
// with the last descriptor, so a killed process frees the guard at once.
class FileLockGuard final : public InstanceGuard
{
public:
    FileLockGuard() = default;
    ~FileLockGuard() override;
    FileLockGuard(const FileLockGuard&) = delete;
    FileLockGuard& operator=(const FileLockGuard&) = delete;

    Result acquire(const std::string& name) override;
    void release() override;

    // "$XDG_RUNTIME_DIR/<name>.lock" when the runtime folder is set, else
    // "<TMPDIR or /tmp>/<name>-<uid>.lock".
    static std::string lockPathFor(const std::string& name, const char* runtimeDir, const char* tempDir,
                                   unsigned uid);

private:
    int m_fd = -1;
};

} // namespace tavlor::platform
