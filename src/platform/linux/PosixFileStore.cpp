#include "platform/linux/PosixFileStore.h"

#include "platform/Platform.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
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

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::optional<std::string>(resolved)
                                                         : std::nullopt;
}

// Whether the start of a file shows this program's counters: a "[data]" line, the case
// ignored, in single-byte or UTF-16LE text, or nothing at all.
bool looksLikeDataFile(const std::string& path)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    char buffer[8192];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n <= 0) {
        return n == 0;
    }
    std::string text;
    for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] != '\0') {
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(buffer[i])));
        }
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::size_t first = text.find_first_not_of(" \t\r\xff\xfe", start);
        const std::size_t last = text.find_last_not_of(" \t\r", end == 0 ? 0 : end - 1);
        if (first < end && last != std::string::npos && last >= first &&
            text.compare(first, last - first + 1, "[data]") == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// The file a data file's path stands for: itself when it is a regular file, the target of a
// link when that is a regular file in the same folder, or one in another folder that is plainly
// this user's data file (dotfile managers keep it in their own folder): owned by the user and
// empty or holding a [data] section. Nothing for anything else: a link to a script or to
// another user's file would have a save rewrite it.
std::optional<std::string> dataFileBehind(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    if (S_ISREG(st.st_mode)) {
        return path;
    }
    if (!S_ISLNK(st.st_mode) || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    const std::optional<std::string> target = realPath(path);
    const std::optional<std::string> folder = realPath(folderOf(path));
    if (!target || !folder) {
        return std::nullopt;
    }
    if (folderOf(*target) != *folder && (st.st_uid != ::geteuid() || !looksLikeDataFile(*target))) {
        return std::nullopt;
    }
    return target;
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

bool atomicWrite(const std::string& path, const std::string& bytes)
{
    struct stat old
    {
    };
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    const std::optional<std::string> target = exists ? dataFileBehind(path) : path;
    if (!target || (exists && (::stat(target->c_str(), &old) != 0 || !writable(*target, old)))) {
        return false;
    }
    // The new file goes beside the file it replaces, so that the rename stays in one folder and
    // a link keeps pointing at it.
    const std::string folder = folderOf(*target);
    struct stat dirStat
    {
    };
    if (::stat(folder.c_str(), &dirStat) != 0 || !writable(folder, dirStat)) {
        return false;
    }
    const std::string temp = folder + "/" + nameOf(*target) + ".tmp-" + std::to_string(::getpid());
    ::unlink(temp.c_str()); // left behind by an earlier process of the same number
    if (!writeTemporary(temp, bytes, exists ? &old : nullptr) ||
        ::rename(temp.c_str(), target->c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The new file is in place; a failed folder flush only weakens the power-cut guarantee.
    (void)syncFolder(folder);
    return true;
}

// "<name>.tmp-<pid>": the temporary file of a save by process <pid>.
std::optional<pid_t> temporaryOwner(const std::string& entry, const std::string& name)
{
    const std::string prefix = name + ".tmp-";
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
        entry.size() > prefix.size() + 9) {
        return std::nullopt;
    }
    pid_t pid = 0;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        if (entry[i] < '0' || entry[i] > '9') {
            return std::nullopt;
        }
        pid = pid * 10 + (entry[i] - '0');
    }
    return pid;
}

bool processIsGone(pid_t pid)
{
    return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

void removeStaleTemporariesOf(const std::string& path)
{
    DIR* folder = ::opendir(folderOf(path).c_str());
    if (folder == nullptr) {
        return;
    }
    const std::string name = nameOf(path);
    while (const dirent* entry = ::readdir(folder)) {
        const std::optional<pid_t> owner = temporaryOwner(entry->d_name, name);
        struct stat st
        {
        };
        const std::string temp = folderOf(path) + "/" + entry->d_name;
        if (owner && processIsGone(*owner) && ::lstat(temp.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            ::unlink(temp.c_str());
        }
    }
    ::closedir(folder);
}
} // namespace

bool PosixFileStore::fileExists(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

FileStore::Entry PosixFileStore::entryAt(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0) {
        return Entry::Missing;
    }
    return dataFileBehind(path) ? Entry::File : Entry::Refused;
}

std::optional<std::int64_t> PosixFileStore::modifiedAt(const std::string& path)
{
    struct stat st
    {
    };
    const std::optional<std::string> file = dataFileBehind(path);
    if (!file || ::stat(file->c_str(), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::optional<CivilDateTime> PosixFileStore::modifiedLocal(const std::string& path)
{
    struct stat st
    {
    };
    const std::optional<std::string> file = dataFileBehind(path);
    std::tm local{};
    if (!file || ::stat(file->c_str(), &st) != 0 || ::localtime_r(&st.st_mtim.tv_sec, &local) == nullptr) {
        return std::nullopt;
    }
    return CivilDateTime{local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec > 59 ? 59 : local.tm_sec,
                         0};
}

void PosixFileStore::removeStaleTemporaries(const std::string& path)
{
    removeStaleTemporariesOf(path);
    // A save through a link leaves its temporary beside the file the link points to.
    const std::optional<std::string> target = dataFileBehind(path);
    if (target && *target != path) {
        removeStaleTemporariesOf(*target);
    }
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
    // Non-blocking, and checked again on the open file: a FIFO or device swapped in after the
    // check must not hold the window thread.
    const std::optional<std::string> file = dataFileBehind(path);
    struct stat st
    {
    };
    Fd fd(file ? ::open(file->c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1);
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
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
