// A hundred days of the real tick, data file and history on one set of files: day, month and
// billing-day changes, sessions across midnight, counter wraps, restarts, a reset and crashes
// between saves. The history must add up to what the totals grew by, to the byte.
#include "accounting/AccountingTick.h"
#include "accounting/ResetGateway.h"
#include "datafile/ProfileFile.h"
#include "datafile/UsageData.h"
#include "datafile/UsageValues.h"
#include "history/UsageWatch.h"
#include "netmeter/Kvonline.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "FakeRowSource.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

namespace tavlor {
namespace {

const std::string kDataPath = "/tavlor/data/data.ini";

class SimHooks final : public OnlineProbe,
                       public AddressDisplay,
                       public ConnectionDisplay,
                       public UptimeDisplay,
                       public ReadingListener
{
public:
    bool online = true;
    std::function<void(const TickReading&)> counted;

    OnlineDecision IsOnline(const Settings&) override { return {online, {}, {}}; }
    void ShowIpAddresses() override {}
    void RefreshConnectionStatus() override {}
    void ShowWindowsUptime() override {}
    void readingTaken(const TickReading& r) override { counted(r); }
    TickParts parts() { return {*this, *this, *this, *this, this}; }
};

// One run of the program: loads both files at start, saves both at every save.
struct Program
{
    test::GermanLocale german;
    NumberFormat numbers = NumberFormat::fromLocale(german);
    UsageDataFile data;
    UsageWatch watch;
    InterfaceSampler sampler;
    UsageState state;
    ViewModel view;
    SimHooks hooks;
    AccountingTick tick;
    std::map<std::pair<int, int>, int> warnings; // (kind, percent) -> how often

    Program(test::FakeFileStore& files, test::FakeClock& clock, test::FakeRowSource& rows)
        : data(kDataPath, files, german, clock), watch(kDataPath, files, clock, german),
          sampler(rows, numbers), tick(state, view, sampler, clock, numbers, hooks.parts())
    {
        data.LoadUsageData(state);
        watch.load();
        hooks.counted = [this](const TickReading& reading) {
            for (const WarnerEvent& e : watch.counted(reading)) {
                ++warnings[{static_cast<int>(e.kind), e.percent}];
            }
        };
    }
    // As the program runs a tick: the periodic save first.
    void second()
    {
        if (tick.takeSaveDue()) {
            save();
        }
        tick.tCheckTimer();
    }
    void save()
    {
        tick.rollDay();
        watch.save(); // first: a crash between the two replaces loses nothing of the history
        data.SaveUsageData(state, 0, 0);
    }
};

struct Saved
{
    double down = 0, up = 0;
    std::int64_t seconds = 0;
};

class HistorySimulation : public ::testing::Test
{
protected:
    test::FakeFileStore files;
    test::FakeClock clock{CivilDateTime{2026, 11, 1, 0, 30, 0, 0}};
    test::FakeRowSource rows;
    std::mt19937_64 rng{1608};
    std::uint64_t inCounter = (1ULL << 32) - 3000000; // wraps within the first hour
    std::uint64_t outCounter = (1ULL << 32) - 500000;
    std::unique_ptr<Program> program;
    Saved start; // the totals when the current run (or the period since the reset) began
    Saved grown; // what the totals grew by over the finished parts of the run
    std::map<std::pair<int, int>, int> warnings;

    void SetUp() override
    {
        files.folders = {"/tavlor", "/tavlor/data"};
        rows.rows = {test::MakeRow(1, 0), test::MakeRow(2, 6)};
        files.files[kDataPath] =
            "[data]\r\nTup=0\r\nTDown=0\r\n[Volumenwarner]\r\nLimitMB=5000\r\nStichtag=15\r\n";
        boot();
    }

    static std::int64_t secondsOf(const UsageState& s)
    {
        return (static_cast<std::int64_t>(s.totalHours) * 60 + s.totalMinutes) * 60 + s.totalSeconds;
    }
    Saved inMemory() const
    {
        return {program->state.totalDownBytes, program->state.totalUpBytes, secondsOf(program->state)};
    }
    Saved inFile()
    {
        test::GermanLocale german;
        const ProfileFile file(files.files.at(kDataPath));
        const auto number = [&](const char* key) {
            return ParseFileNumber(file.readString("DATA", key, "0"), german).value_or(-1);
        };
        const HoursMinutesSeconds t = ReadDurationFields(file.readString("DATA", "oTA", ""));
        return {number("TDown"), number("TUp"),
                (static_cast<std::int64_t>(t.hours) * 60 + t.minutes) * 60 + t.seconds};
    }
    void addGrowth(const Saved& end)
    {
        grown.down += end.down - start.down;
        grown.up += end.up - start.up;
        grown.seconds += end.seconds - start.seconds;
    }
    void boot()
    {
        program = std::make_unique<Program>(files, clock, rows);
        start = inMemory();
    }
    void endRun(bool crash)
    {
        if (!crash) {
            program->save();
        }
        addGrowth(inFile());
        for (const auto& [key, count] : program->warnings) {
            warnings[key] += count;
        }
        program.reset();
    }
    void reset()
    {
        addGrowth(inMemory()); // the reset's save keeps everything up to now in the history
        Program& p = *program;
        ResetCounters(p.state, p.view, clock, p.german, [&p] { p.save(); });
        p.tick.resetSessionBase();
        start = inMemory();
    }
    void tickOnline(int count)
    {
        program->hooks.online = true;
        for (int i = 0; i < count; ++i) {
            clock.advanceMs(1000);
            inCounter += std::uniform_int_distribution<std::uint64_t>(0, 3000000)(rng);
            outCounter += std::uniform_int_distribution<std::uint64_t>(0, 400000)(rng);
            rows.rows[1].rxBytes = inCounter & 0xFFFFFFFFu; // a 32-bit source, so the wraps are counted too
            rows.rows[1].txBytes = outCounter & 0xFFFFFFFFu;
            program->second();
        }
    }
    void offlineUntil(int hour, int minute)
    {
        program->hooks.online = false;
        program->second();
        CivilDateTime target = clock.nowLocal();
        target.hour = hour, target.minute = minute, target.second = 0, target.millisecond = 0;
        double gap = ToDayCount(target) - ToDayCount(clock.nowLocal());
        clock.advanceMs(static_cast<std::int64_t>((gap < 0 ? gap + 1 : gap) * 86400000.0));
    }
};

TEST_F(HistorySimulation, HistorySumsEqualTheGrowthOfTheTotalsOverAHundredDays)
{
    int crashes = 0;
    for (int day = 0; day < 100; ++day) {
        offlineUntil(8, 0);
        tickOnline(250);
        offlineUntil(23, 57);
        tickOnline(400); // across midnight
        if (day % 9 == 4) {
            endRun(false);
            boot();
        }
        if (day == 37 || day == 71) {
            tickOnline(123); // counted, never saved
            ASSERT_GT(inMemory().seconds, inFile().seconds);
            endRun(true);
            ++crashes;
            boot();
        }
        if (day == 55) {
            reset();
        }
    }
    endRun(false);
    EXPECT_EQ(crashes, 2);

    test::FakeClock laterClock{CivilDateTime{2027, 3, 1, 12, 0, 0, 0}};
    test::GermanLocale german;
    UsageWatch reread(kDataPath, files, laterClock, german);
    EXPECT_EQ(reread.load().damagedRows, 0u);
    const Usage sum = reread.history().total();
    EXPECT_EQ(static_cast<double>(sum.downBytes), grown.down);
    EXPECT_EQ(static_cast<double>(sum.upBytes), grown.up);
    EXPECT_EQ(static_cast<std::int64_t>(sum.onlineSeconds), grown.seconds);
    EXPECT_GT(grown.down, 10.0 * 4294967296.0);      // many 32-bit wraps on the way
    EXPECT_EQ(reread.history().days().size(), 101u); // every day, and the morning after the last

    // Limit 5000 MB from the 15th: four periods touched (Oct 15 - Feb 14), each over its limit,
    // each threshold once per period in spite of restarts and crashes.
    EXPECT_EQ((warnings[{0, 80}]), 4);
    EXPECT_EQ((warnings[{0, 100}]), 4);

    const double bytesPerDay = static_cast<double>(files.files.at("/tavlor/data/verlauf.csv").size()) / 101.0;
    std::printf("history file: %.1f bytes per day\n", bytesPerDay);
    EXPECT_LT(bytesPerDay, 40.0);
}

} // namespace
} // namespace tavlor
