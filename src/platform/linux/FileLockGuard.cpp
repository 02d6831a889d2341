#include "platform/linux/FileLockGuard.h"

#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavlor::platform {

FileLockGuard::~FileLockGuard()
{
    release();
}

std::string FileLockGuard::lockPathFor(const std::string& name, const char* runtimeDir, const char* tempDir,
                                       unsigned uid)
{
    if (runtimeDir != nullptr && *runtimeDir != '\0') {
        return std::string(runtimeDir) + "/" + name + ".lock";
    }
    const std::string temp = (tempDir != nullptr && *tempDir != '\0') ? tempDir : "/tmp";
    return temp + "/" + name + "-" + std::to_string(uid) + ".lock";
}

InstanceGuard::Result FileLockGuard::acquire(const std::string& name)
{
    release();
    const std::string path = lockPathFor(name, std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"),
                                         static_cast<unsigned>(::getuid()));
    // O_NOFOLLOW: in a shared temporary folder a planted link must not redirect the file.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::AlreadyRunning : Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

void FileLockGuard::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::unique_ptr<InstanceGuard> makeInstanceGuard()
{
    return std::make_unique<FileLockGuard>();
}

} // namespace tavlor::platform
