#include "platform/linux/PosixFileStore.h"

#include "FakeClock.h"
#include "GermanLocale.h"
#include "accounting/ResetGateway.h"
#include "datafile/UsageData.h"
#include "text/DayCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
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
// written through, and nothing is left behind in either folder. A link to the user's own data
// file in another folder (a dotfile manager's) is used.
TEST(PosixFileStore, OnlyDataFilesAndLinksToThemAreUsed)
{
    TempFolder dir;
    TempFolder elsewhere;
    put(elsewhere / "script.sh", "#!/bin/sh\necho hi\n");
    put(elsewhere / "theirs.ini", "[data]\r\nTup=3\r\n");
    ASSERT_EQ(::chown((elsewhere / "theirs.ini").c_str(), ::geteuid() + 1, ::getegid()), 0);
    const auto linkTo = [&](const std::string& target, const std::string& bytes) {
        return [&elsewhere, target, bytes](const std::string& p) {
            put(elsewhere / target, bytes);
            fs::create_symlink(elsewhere / target, p);
        };
    };
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
        {"link to the user's data file elsewhere", linkTo("tavlor.ini", "x\r\n [Data] \r\nTup=1\r\n"),
         E::File},
        {"link to an empty file elsewhere", linkTo("empty.ini", ""), E::File},
        {"link to a UTF-16 data file elsewhere",
         linkTo("wide.ini", std::string("\xFF\xFE[\0d\0a\0t\0a\0]\0", 14)), E::File},
        {"link to an ini file without [data] elsewhere", linkTo("other.ini", "[data2]\r\nTup=1\r\n"),
         E::Refused},
        {"link to another user's data file",
         [&](const std::string& p) { fs::create_symlink(elsewhere / "theirs.ini", p); }, E::Refused},
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
        EXPECT_EQ(slurp(elsewhere / "theirs.ini"), "[data]\r\nTup=3\r\n") << c.what;
        for (const std::string& name : elsewhere.names()) {
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << c.what << ": " << name;
        }
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
};

TEST(PosixFileStore, AWriteProtectedDataFileGivesTheMessageAndStaysAsItWas)
{
    TempFolder dir;
    RealDataFile real(dir / "data.ini");
    real.data.LoadUsageData(real.state);
    const std::string before = slurp(dir / "data.ini");
    ::chmod((dir / "data.ini").c_str(), 0444);
    real.state.totalUpBytes = 5;
    try {
        real.data.SaveUsageData(real.state, 0, 0);
        ADD_FAILURE() << "no SaveError";
    } catch (const SaveError& e) {
        EXPECT_EQ(std::string(e.what()), "nach " + (dir / "data.ini") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(slurp(dir / "data.ini"), before);
}

// The layout of dotfile managers: data.ini a link into the user's own repository folder.
TEST(PosixFileStore, ADataFileLinkedFromAnotherFolderIsSavedWhereItPointsAndStaysALink)
{
    TempFolder dir;
    TempFolder dotfiles;
    const std::string target = dotfiles / "tavlor-data.ini";
    {
        RealDataFile first(target);
        first.data.LoadUsageData(first.state);
    }
    fs::create_symlink(target, dir / "data.ini");
    for (int round = 1; round <= 2; ++round) {
        RealDataFile real(dir / "data.ini");
        real.data.LoadUsageData(real.state);
        EXPECT_EQ(real.state.totalHours, round - 1);
        real.state.totalHours = round;
        real.state.totalUpBytes = 1000.0 * round;
        real.data.SaveUsageData(real.state, 0, 0);
    }
    EXPECT_TRUE(fs::is_symlink(dir / "data.ini"));
    EXPECT_EQ(fs::read_symlink(dir / "data.ini"), target);
    EXPECT_NE(slurp(target).find("oTA=2:0:0\r\n"), std::string::npos) << slurp(target);
    EXPECT_NE(slurp(target).find("Tup=2000\r\n"), std::string::npos);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.ini"});
    EXPECT_EQ(dotfiles.names(), std::vector<std::string>{"tavlor-data.ini"});

    // A save killed half-way leaves its temporary beside the target; the next start removes it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::_Exit(0);
    }
    ::waitpid(child, nullptr, 0);
    put(dotfiles / ("tavlor-data.ini.tmp-" + std::to_string(child)), "half");
    PosixFileStore().removeStaleTemporaries(dir / "data.ini");
    EXPECT_EQ(dotfiles.names(), std::vector<std::string>{"tavlor-data.ini"});
}

// Sets a file's change time as a save at `moment` (local time) leaves it.
void stampAt(const std::string& path, const CivilDateTime& moment)
{
    std::tm local{};
    local.tm_year = moment.year - 1900;
    local.tm_mon = moment.month - 1;
    local.tm_mday = moment.day;
    local.tm_hour = moment.hour;
    local.tm_min = moment.minute;
    local.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// A session under one language writes the file, the next one under another reads it (the user
// changed the language, or a desktop starts with another LANG). The day of the today counters
// is read in the form it was written; the reset date is shown as it was stored.
TEST(PosixFileStore, DatesWrittenUnderOneLocaleAreReadAsTheSameDayUnderAnother)
{
    const test::GermanLocale german;
    const test::EnglishLocale english;
    struct Case
    {
        const char* what;
        const LocaleFormat& writer;
        const LocaleFormat& reader;
        CivilDateTime saved;
        const char* sd;
    };
    const Case cases[] = {
        {"12/9/2026 read under German", english, german, {2026, 12, 9, 21, 0, 0, 0}, "12/9/2026"},
        {"9/12/2026 read under German", english, german, {2026, 9, 12, 21, 0, 0, 0}, "9/12/2026"},
        {"09.12.2026 read under English", german, english, {2026, 12, 9, 21, 0, 0, 0}, "09.12.2026"},
        {"12/9/2026 read under English", english, english, {2026, 12, 9, 21, 0, 0, 0}, "12/9/2026"},
        {"1/2/2026 read under German", english, german, {2026, 1, 2, 21, 0, 0, 0}, "1/2/2026"},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const std::string path = dir / "data.ini";
        PosixFileStore store;
        test::FakeClock clock(c.saved);
        {
            UsageDataFile written(path, store, c.writer, clock);
            UsageState state;
            ViewModel view;
            written.LoadUsageData(state);
            ResetCounters(state, view, clock, c.writer, [] {});
            state.todayHours = 4;
            written.SaveUsageData(state, 0, 0);
        }
        ASSERT_NE(slurp(path).find("SD=" + std::string(c.sd) + "\r\n"), std::string::npos) << c.what;
        stampAt(path, c.saved);

        clock.setLocal({c.saved.year, c.saved.month, c.saved.day, 23, 0, 0, 0});
        UsageDataFile read(path, store, c.reader, clock);
        UsageState later;
        read.LoadUsageData(later);
        EXPECT_EQ(later.todayHours, 4) << c.what << ": the day of the today counters was read as another";
        EXPECT_DOUBLE_EQ(later.dayStamp, ToDayCount(DateOnly(c.saved))) << c.what;
        EXPECT_EQ(later.lastResetDate, c.sd) << c.what;
        read.SaveUsageData(later, 0, 0);
        EXPECT_NE(slurp(path).find("RD=" + std::string(c.sd) + "\r\n"), std::string::npos) << c.what;
    }
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
        real.data.LoadUsageData(real.state);
        const std::string before = slurp(mount + "/data.ini");
        ASSERT_FALSE(before.empty());
        {
            std::ofstream filler(mount + "/filler", std::ios::binary);
            const std::string block(4096, 'f');
            for (int i = 0; i < 64 && filler.write(block.data(), block.size()).flush(); ++i) {
            }
        }
        real.state.totalUpBytes = 123456789;
        EXPECT_THROW(real.data.SaveUsageData(real.state, 0, 0), SaveError);
        EXPECT_EQ(slurp(mount + "/data.ini"), before);
        EXPECT_FALSE(fs::exists(mount + "/data.ini.tmp-" + std::to_string(::getpid())));
    }
}

// The child saves in a loop, each save one consistent set of values derived from a counter:
// totals k and 2k, X = k, Y = -k, total hours k.
[[noreturn]] void saveForever(const std::string& path)
{
    RealDataFile real(path);
    real.data.LoadUsageData(real.state);
    for (int k = real.state.windowLeft + 1;; ++k) {
        real.state.totalUpBytes = k;
        real.state.totalDownBytes = 2.0 * k;
        real.state.totalHours = k;
        try {
            real.data.SaveUsageData(real.state, k, -k);
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
        first.data.LoadUsageData(first.state);
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
        check.data.LoadUsageData(check.state);
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
    real.data.LoadUsageData(real.state);
    fs::remove(dir / "data.ini");
    ::mkfifo((dir / "data.ini").c_str(), 0644);
    ::alarm(30);
    EXPECT_THROW(real.data.SaveUsageData(real.state, 0, 0), SaveError);
    RealDataFile next(dir / "data.ini");
    next.data.LoadUsageData(next.state);
    ::alarm(0);
    EXPECT_EQ(next.state.totalHours, 0);
}

} // namespace
} // namespace tavlor
