// Drives the tick through a long run of random traffic and checks that the totals are
// exactly the bytes the interface counters counted while the program was watching them.
#include "accounting/AccountingTick.h"

#include "TickHarness.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace tavlor {
namespace {

constexpr double kMaxBytesPerSecond = 100e6 / 8; // 100 Mbit/s
constexpr std::uint64_t kSpan = 1ULL << 32;

// One interface counter: everything it ever counted, and where its last restart was.
struct Counter
{
    std::uint64_t total = 0;
    std::uint64_t restartMark = 0;
    std::uint32_t value() const { return static_cast<std::uint32_t>(total - restartMark); }
};

// What the program should have counted for one direction.
struct Expectation
{
    bool haveReading = false;
    int row = -1;
    std::uint64_t lastTotal = 0;
    std::uint32_t lastValue = 0;
    double counted = 0;
};

class TrafficSimulation : public ::testing::Test, protected test::TickHarness
{
protected:
    std::mt19937_64 rng{20261208};
    // counters[row][0] = in (download), counters[row][1] = out (upload); rows 0 = A, 1 = B.
    std::array<std::array<Counter, 2>, 2> counters{};
    std::array<Expectation, 2> expected{}; // 0 = download, 1 = upload
    int wraps = 0, restarts = 0, failures = 0, gaps = 0, methodChanges = 0, growths = 0;

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }

    void pushToRows()
    {
        for (int row = 0; row < 2; ++row) {
            IfRow& r = source.rows[static_cast<std::size_t>(row + 1)];
            r.dwInOctets = counters[row][0].value();
            r.dwOutOctets = counters[row][1].value();
        }
    }

    void addTraffic(std::int64_t ms)
    {
        const double most = kMaxBytesPerSecond * static_cast<double>(ms) / 1000.0;
        for (auto& row : counters) {
            for (Counter& c : row) {
                const std::uint32_t before = c.value();
                c.total += static_cast<std::uint64_t>(std::uniform_real_distribution<double>(0, most)(rng));
                wraps += c.value() < before ? 1 : 0;
            }
        }
    }

    // A restart only where it can be told at all: the last reading lies far below 2^32 (else
    // the drop looks like a wrap), far above what the new counter reaches before it is read
    // (else it looks like growth), and the counter has not wrapped since.
    void maybeRestart(int dir, int row)
    {
        Counter& c = counters[row][dir];
        const Expectation& e = expected[dir];
        const bool watched = e.haveReading && e.row == row;
        if (!chance(0.002)) {
            return;
        }
        const bool distinct = e.lastValue > 400000000 && e.lastValue < kSpan - 400000000 &&
                              c.total - e.lastTotal < kSpan - e.lastValue;
        if (watched && !distinct) {
            return;
        }
        c.restartMark = c.total;
        ++restarts;
    }

    void expectReading(int dir, int row)
    {
        Expectation& e = expected[dir];
        const Counter& c = counters[row][dir];
        if (e.haveReading && e.row == row) {
            e.counted += static_cast<double>(c.total - std::max(e.lastTotal, c.restartMark));
        }
        e = {true, row, c.total, c.value(), e.counted};
    }

    void changeMethods()
    {
        if (chance(0.5)) {
            state.downloadMethod = 1 - state.downloadMethod;
        } else {
            state.uploadMethod = 1 - state.uploadMethod;
        }
        tick.methodsChanged();
        ++methodChanges;
    }

    void onlineTick(std::int64_t ms)
    {
        for (int dir = 0; dir < 2; ++dir) {
            for (int row = 0; row < 2; ++row) {
                maybeRestart(dir, row);
            }
        }
        addTraffic(ms);
        pushToRows();
        const bool fail[3] = {chance(0.02), chance(0.02), chance(0.02)}; // speed, upload, download
        if (fail[0] || fail[1] || fail[2]) {
            for (bool f : fail) {
                source.scriptedResults.push_back(f ? 31u : kNoError);
            }
            failures += fail[1] + fail[2];
        } else if (growths < 6 && chance(0.0005)) {
            source.rows.push_back(test::MakeRow(100 + static_cast<std::uint32_t>(growths), 0, 0, 0, 0));
            ++growths;
        }
        run(ms);
        if (!fail[2]) {
            expectReading(0, state.downloadMethod);
        }
        if (!fail[1]) {
            expectReading(1, state.uploadMethod);
        }
    }

    void offlineGap()
    {
        hooks.online = false;
        const int ticks = std::uniform_int_distribution<int>(1, 40)(rng);
        for (int i = 0; i < ticks; ++i) {
            addTraffic(1000);
            run(1000);
        }
        hooks.online = true;
        expected[0].haveReading = expected[1].haveReading = false;
        ++gaps;
    }
};

TEST_F(TrafficSimulation, TotalsEqualTheBytesTheCountersCountedToTheByte)
{
    state.baseDownBytes = state.totalDownBytes = 123456;
    state.baseUpBytes = state.totalUpBytes = 654321;
    expected[0].counted = 123456;
    expected[1].counted = 654321;
    sampler.InitInterfaceTable();
    int onlineTicks = 0;
    while (onlineTicks < 100000) {
        if (chance(0.001)) {
            offlineGap();
        }
        if (chance(0.001)) {
            changeMethods();
        }
        const std::int64_t ms =
            chance(0.01) ? 3000 : std::uniform_int_distribution<std::int64_t>(900, 1100)(rng);
        onlineTick(ms);
        ++onlineTicks;
        ASSERT_EQ(state.totalDownBytes, expected[0].counted) << "online tick " << onlineTicks;
        ASSERT_EQ(state.totalUpBytes, expected[1].counted) << "online tick " << onlineTicks;
        ASSERT_GE(state.sessionDownBytes, 0);
        ASSERT_GE(state.sessionUpBytes, 0);
    }
    EXPECT_EQ(state.totalBytes, expected[0].counted + expected[1].counted);
    EXPECT_GE(wraps, 20);
    EXPECT_GE(restarts, 5);
    EXPECT_GE(failures, 100);
    EXPECT_GE(gaps, 20);
    EXPECT_GE(methodChanges, 20);
    EXPECT_GE(growths, 1);
}

} // namespace
} // namespace tavlor
