#include "platform/linux/PosixFileStore.h"

#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlor {

namespace {

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool close()
    {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Root passes every access() test for writing; the mode bits still tell a file or folder the
// user has protected on purpose.
bool writable(const std::string& path, const struct stat& st)
{
    return ::access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
}

// The file a symbolic link points to, so that the link itself stays in place.
std::string resolveLink(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char target[PATH_MAX];
    return ::realpath(path.c_str(), target) != nullptr ? std::string(target) : path;
}

bool writeTemporary(const std::string& temp, const std::string& bytes, const struct stat* old)
{
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        return false;
    }
    if (old != nullptr) {
        // Keep the old file's permissions and, when root saves a user's file, its owner.
        (void)::fchmod(fd.get(), old->st_mode & 07777);
        if (::geteuid() == 0) {
            (void)::fchown(fd.get(), old->st_uid, old->st_gid);
        }
    }
    return writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.close();
}

bool syncFolder(const std::string& folder)
{
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

bool atomicWrite(const std::string& requested, const std::string& bytes)
{
    const std::string path = resolveLink(requested);
    const std::string folder = folderOf(path);
    struct stat dirStat
    {
    };
    if (::stat(folder.c_str(), &dirStat) != 0 || !writable(folder, dirStat)) {
        return false;
    }
    struct stat old
    {
    };
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || !writable(path, old))) {
        return false;
    }
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    ::unlink(temp.c_str()); // left behind by an earlier process of the same number
    if (!writeTemporary(temp, bytes, exists ? &old : nullptr) || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The new file is in place; a failed folder flush only weakens the power-cut guarantee.
    (void)syncFolder(folder);
    return true;
}

} // namespace

bool PosixFileStore::fileExists(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileStore::directoryExists(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileStore::createDirectory(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool PosixFileStore::isDirectoryWritable(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && writable(path, st) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> PosixFileStore::readFile(const std::string& path)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool PosixFileStore::writeFile(const std::string& path, const std::string& bytes)
{
    // The first-start file is written the same safe way: a crash leaves no half file.
    return atomicWrite(path, bytes);
}

bool PosixFileStore::replaceFile(const std::string& path, const std::string& bytes)
{
    return atomicWrite(path, bytes);
}

namespace platform {

std::unique_ptr<FileStore> makeFileStore()
{
    return std::make_unique<PosixFileStore>();
}

} // namespace platform

} // namespace tavlor
