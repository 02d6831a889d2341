#include "platform/linux/PosixFileStore.h"

#include "FakeClock.h"
#include "GermanLocale.h"
#include "accounting/UsageData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlor {
namespace {

namespace fs = std::filesystem;

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tavlor-files-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& path() const { return m_path; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            out.push_back(entry.path().filename().string());
        }
        return out;
    }

private:
    std::string m_path;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

unsigned modeOf(const std::string& path)
{
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(PosixFileStore, ReplaceSwapsTheContentsKeepsPermissionsAndLeavesNoTemporaryFile)
{
    TempFolder dir;
    const std::string file = dir / "data.ini";
    put(file, "old");
    ::chmod(file.c_str(), 0640);
    PosixFileStore store;
    ASSERT_TRUE(store.replaceFile(file, std::string("new\r\n\0x", 8)));
    EXPECT_EQ(slurp(file), std::string("new\r\n\0x", 8));
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.ini"});
}

TEST(PosixFileStore, ReplaceThroughASymbolicLinkKeepsTheLink)
{
    TempFolder dir;
    put(dir / "real.ini", "old");
    fs::create_symlink(dir / "real.ini", dir / "data.ini");
    PosixFileStore store;
    ASSERT_TRUE(store.replaceFile(dir / "data.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "data.ini"));
    EXPECT_EQ(slurp(dir / "real.ini"), "new");
}

TEST(PosixFileStore, WriteProtectedFileOrFolderFailsAndKeepsTheOldFile)
{
    TempFolder dir;
    const std::string file = dir / "data.ini";
    put(file, "old");
    PosixFileStore store;

    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(store.replaceFile(file, "new"));
    EXPECT_FALSE(store.writeFile(file, "new"));
    EXPECT_EQ(slurp(file), "old");

    ::chmod(file.c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(store.isDirectoryWritable(dir.path()));
    EXPECT_FALSE(store.replaceFile(file, "new"));
    EXPECT_EQ(slurp(file), "old");
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_TRUE(store.isDirectoryWritable(dir.path()));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.ini"});
}

TEST(PosixFileStore, AnotherUsersFolderIsNotWritable)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    TempFolder dir;
    ::chmod(dir.path().c_str(), 0755);
    put(dir / "data.ini", "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixFileStore store;
        const bool refused =
            ::setgid(65534) == 0 && ::setuid(65534) == 0 && !store.isDirectoryWritable(dir.path()) &&
            !store.replaceFile(dir / "data.ini", "new") && store.readFile(dir / "data.ini") == "old";
        std::_Exit(refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(slurp(dir / "data.ini"), "old");
}

TEST(PosixFileStore, FoldersAreCreatedOneLevelAtATime)
{
    TempFolder dir;
    PosixFileStore store;
    EXPECT_FALSE(store.createDirectory(dir / "a/b"));
    EXPECT_TRUE(store.createDirectory(dir / "a"));
    EXPECT_TRUE(store.directoryExists(dir / "a"));
    EXPECT_FALSE(store.fileExists(dir / "a"));
    EXPECT_TRUE(store.writeFile(dir / "a/data.ini", "x"));
    EXPECT_TRUE(store.fileExists(dir / "a/data.ini"));
    EXPECT_EQ(store.readFile(dir / "a/data.ini"), "x");
    EXPECT_EQ(store.readFile(dir / "missing"), std::nullopt);
    EXPECT_FALSE(store.writeFile(dir / "missing/data.ini", "x"));
}

// Something other than a data file at data.ini: it is refused at once, never read, never
// written through, and nothing is left behind in either folder.
TEST(PosixFileStore, OnlyRegularFilesAndLinksToFilesInTheSameFolderAreUsed)
{
    TempFolder dir;
    TempFolder elsewhere;
    put(elsewhere / "script.sh", "#!/bin/sh\necho hi\n");
    put(dir / "other.ini", "[data]\r\nTup=1\r\n");
    ::mkfifo((dir / "fifo").c_str(), 0644);
    struct Case
    {
        const char* what;
        std::function<void(const std::string&)> make;
        FileStore::Entry entry;
    };
    using E = FileStore::Entry;
    const Case cases[] = {
        {"regular file", [](const std::string& p) { put(p, "[data]\r\n"); }, E::File},
        {"link to a file in the same folder",
         [&](const std::string& p) { fs::create_symlink("other.ini", p); }, E::File},
        {"FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, E::Refused},
        {"folder", [](const std::string& p) { fs::create_directory(p); }, E::Refused},
        {"link to another folder's file",
         [&](const std::string& p) { fs::create_symlink(elsewhere / "script.sh", p); }, E::Refused},
        {"link to a FIFO", [&](const std::string& p) { fs::create_symlink(dir / "fifo", p); }, E::Refused},
        {"dangling link", [&](const std::string& p) { fs::create_symlink(dir / "gone.ini", p); }, E::Refused},
        {"device", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, E::Refused},
    };
    PosixFileStore store;
    ::alarm(30); // a blocking open would hang the test instead of failing it
    for (const Case& c : cases) {
        const std::string path = dir / "data.ini";
        c.make(path);
        EXPECT_EQ(store.entryAt(path), c.entry) << c.what;
        const bool accepted = c.entry == E::File;
        EXPECT_EQ(store.readFile(path).has_value(), accepted) << c.what;
        EXPECT_EQ(store.replaceFile(path, "[data]\r\nTup=2\r\n"), accepted) << c.what;
        EXPECT_EQ(store.modifiedAt(path).has_value(), accepted) << c.what;
        EXPECT_TRUE(store.fileExists(path) || c.entry == E::Refused) << c.what;
        EXPECT_EQ(slurp(elsewhere / "script.sh"), "#!/bin/sh\necho hi\n") << c.what;
        std::vector<std::string> names = dir.names();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"data.ini", "fifo", "other.ini"})) << c.what;
        fs::remove_all(path);
    }
    ::alarm(0);
    EXPECT_EQ(slurp(dir / "other.ini"), "[data]\r\nTup=2\r\n");
    EXPECT_EQ(store.entryAt(dir / "data.ini"), E::Missing);
}

TEST(PosixFileStore, TemporariesOfEndedProcessesAreRemovedOthersStay)
{
    TempFolder dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::_Exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child);
    put(dir / "data.ini", "x");
    put(dir / ("data.ini.tmp-" + dead), "half");
    put(dir / "data.ini.tmp-1", "a living process's save");
    put(dir / ("data.ini.tmp-" + std::to_string(::getpid())), "our own");
    put(dir / "data.ini.tmp-12x", "not a process number");
    put(dir / ("notes.ini.tmp-" + dead), "another file's");
    fs::create_directory(dir / ("data.ini.tmp-" + dead + "0"));
    PosixFileStore().removeStaleTemporaries(dir / "data.ini");
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    std::vector<std::string> kept{"data.ini",
                                  "data.ini.tmp-1",
                                  "data.ini.tmp-" + std::to_string(::getpid()),
                                  "data.ini.tmp-" + dead + "0",
                                  "data.ini.tmp-12x",
                                  "notes.ini.tmp-" + dead};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names, kept);
}

// Loads and saves the data file with the real files, as the program does.
struct RealDataFile
{
    explicit RealDataFile(const std::string& path) : data(path, store, german, clock) {}
    PosixFileStore store;
    test::GermanLocale german;
    test::FakeClock clock;
    UsageDataFile data;
    UsageState state;
    ViewModel view;
};

TEST(PosixFileStore, AWriteProtectedDataFileGivesTheMessageAndStaysAsItWas)
{
    TempFolder dir;
    RealDataFile real(dir / "data.ini");
    real.data.LoadUsageData(real.state, real.view);
    const std::string before = slurp(dir / "data.ini");
    ::chmod((dir / "data.ini").c_str(), 0444);
    real.state.totalUpBytes = 5;
    try {
        real.data.SaveUsageData(real.state, real.view, 0, 0);
        ADD_FAILURE() << "no SaveError";
    } catch (const SaveError& e) {
        EXPECT_EQ(std::string(e.what()), "nach " + (dir / "data.ini") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(slurp(dir / "data.ini"), before);
}

TEST(PosixFileStore, AFullDiskLeavesTheOldFileIntact)
{
    TempFolder dir;
    const std::string mount = dir / "small";
    fs::create_directory(mount);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    }
    struct Unmount
    {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{mount};
    {
        RealDataFile real(mount + "/data.ini");
        real.data.LoadUsageData(real.state, real.view);
        const std::string before = slurp(mount + "/data.ini");
        ASSERT_FALSE(before.empty());
        {
            std::ofstream filler(mount + "/filler", std::ios::binary);
            const std::string block(4096, 'f');
            for (int i = 0; i < 64 && filler.write(block.data(), block.size()).flush(); ++i) {
            }
        }
        real.state.totalUpBytes = 123456789;
        EXPECT_THROW(real.data.SaveUsageData(real.state, real.view, 0, 0), SaveError);
        EXPECT_EQ(slurp(mount + "/data.ini"), before);
        EXPECT_FALSE(fs::exists(mount + "/data.ini.tmp-" + std::to_string(::getpid())));
    }
}

// The child saves in a loop, each save one consistent set of values derived from a counter:
// totals k and 2k, X = k, Y = -k, total hours k.
[[noreturn]] void saveForever(const std::string& path)
{
    RealDataFile real(path);
    real.data.LoadUsageData(real.state, real.view);
    for (int k = real.state.windowLeft + 1;; ++k) {
        real.state.totalUpBytes = k;
        real.state.totalDownBytes = 2.0 * k;
        real.state.totalHours = k;
        try {
            real.data.SaveUsageData(real.state, real.view, k, -k);
        } catch (...) {
            std::_Exit(3);
        }
    }
}

TEST(PosixFileStore, KillingASavingProcessLeavesEitherTheOldOrTheNewValues)
{
    TempFolder dir;
    const std::string path = dir / "data.ini";
    {
        RealDataFile first(path);
        first.data.LoadUsageData(first.state, first.view);
    }
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    int lastSeen = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveForever(path);
        }
        // Waiting for a real process to be somewhere in its save loop, not for a clock.
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself, status " << status;

        RealDataFile check(path);
        ASSERT_NE(slurp(path).find("[data]"), std::string::npos) << "round " << round << ", seed " << seed;
        check.data.LoadUsageData(check.state, check.view);
        const int k = check.state.windowLeft;
        EXPECT_EQ(check.state.windowTop, -k) << "round " << round << ", seed " << seed;
        EXPECT_EQ(check.state.baseUpBytes, k) << "round " << round << ", seed " << seed;
        EXPECT_EQ(check.state.baseDownBytes, 2.0 * k) << "round " << round << ", seed " << seed;
        EXPECT_EQ(check.state.totalHours, k) << "round " << round << ", seed " << seed;
        EXPECT_GE(k, lastSeen) << "an older file came back; seed " << seed;
        lastSeen = k;
    }
    EXPECT_GT(lastSeen, 0) << "no save finished in 40 rounds";
    PosixFileStore().removeStaleTemporaries(path);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.ini"}) << "killed saves left their temporary files";
}

TEST(PosixFileStore, AFifoSwappedInWhileRunningFailsTheSaveAtOnce)
{
    TempFolder dir;
    RealDataFile real(dir / "data.ini");
    real.data.LoadUsageData(real.state, real.view);
    fs::remove(dir / "data.ini");
    ::mkfifo((dir / "data.ini").c_str(), 0644);
    ::alarm(30);
    EXPECT_THROW(real.data.SaveUsageData(real.state, real.view, 0, 0), SaveError);
    RealDataFile next(dir / "data.ini");
    next.data.LoadUsageData(next.state, next.view);
    ::alarm(0);
    EXPECT_EQ(next.state.totalHours, 0);
}

} // namespace
} // namespace tavlor
