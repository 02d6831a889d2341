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
    std::uint8_t bits = 32;
    std::uint64_t value() const
    {
        const std::uint64_t v = total - restartMark;
        return bits < 64 ? v & 0xFFFFFFFFULL : v;
    }
};

// What the program should have counted for one direction.
struct Expectation
{
    bool haveReading = false;
    bool missed = false; // a failed sample since the last reading
    int row = -1;
    std::uint64_t lastTotal = 0;
    std::uint64_t lastValue = 0;
    double counted = 0;
};

class TrafficSimulation : public ::testing::TestWithParam<int>, protected test::TickHarness
{
protected:
    TrafficSimulation()
    {
        const auto bits = static_cast<std::uint8_t>(GetParam());
        for (auto& row : counters) {
            for (Counter& c : row) {
                c.bits = bits;
            }
        }
        for (LinkRow& r : source.rows) {
            r.counterBits = bits;
        }
    }

    std::mt19937_64 rng{20261208};
    // counters[row][0] = in (download), counters[row][1] = out (upload); rows 0 = A, 1 = B.
    std::array<std::array<Counter, 2>, 2> counters{};
    std::array<Expectation, 2> expected{}; // 0 = download, 1 = upload
    int wraps = 0, restarts = 0, failures = 0, gaps = 0, methodChanges = 0, growths = 0;

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }

    void pushToRows()
    {
        for (int row = 0; row < 2; ++row) {
            LinkRow& r = source.rows[static_cast<std::size_t>(row + 1)];
            r.rxBytes = counters[row][0].value();
            r.txBytes = counters[row][1].value();
        }
    }

    void addTraffic(std::int64_t ms)
    {
        const double most = kMaxBytesPerSecond * static_cast<double>(ms) / 1000.0;
        for (auto& row : counters) {
            for (Counter& c : row) {
                const std::uint64_t before = c.value();
                c.total += static_cast<std::uint64_t>(std::uniform_real_distribution<double>(0, most)(rng));
                wraps += c.value() < before ? 1 : 0;
            }
        }
    }

    // A restart only where it can be told at all: the last reading lies far below 2^32 (else
    // the drop looks like a wrap), far above what the new counter reaches before it is read
    // (else it looks like growth), and the counter has not wrapped since.
    void maybeRestart(int dir, int row, int watchedRow)
    {
        Counter& c = counters[row][dir];
        const Expectation& e = expected[dir];
        const bool watched = e.haveReading && watchedRow == row;
        if (!chance(0.002)) {
            return;
        }
        const bool wide = c.bits == 64;
        const bool distinct = e.lastValue > 400000000 && (wide || e.lastValue < kSpan - 400000000) &&
                              (wide || c.total - e.lastTotal < kSpan - e.lastValue);
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
            // After a failed sample a 32-bit drop is taken for a restart: only the new count.
            const bool guessRestart = c.bits < 64 && e.missed && c.value() < e.lastValue;
            e.counted += guessRestart ? static_cast<double>(c.value())
                                      : static_cast<double>(c.total - std::max(e.lastTotal, c.restartMark));
        }
        e = {true, false, row, c.total, c.value(), e.counted};
    }

    // The row a direction reads: the first working adapter for both under the default methods,
    // else the row arithmetic (0 = A, 1 = B).
    int rowOf(int dir) const
    {
        if (state.downloadMethod == 0 && state.uploadMethod == 1) {
            return 0;
        }
        return dir == 0 ? state.downloadMethod : state.uploadMethod;
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
                maybeRestart(dir, row, rowOf(dir));
            }
        }
        addTraffic(ms);
        pushToRows();
        const bool fail = chance(0.03);
        if (fail) {
            source.failures.push_back(true);
            ++failures;
        } else if (growths < 6 && chance(0.0005)) {
            source.rows.push_back(test::MakeRow(100 + static_cast<std::uint32_t>(growths), 0, 0, 0, 0));
            ++growths;
        }
        run(ms);
        for (int dir = 0; dir < 2; ++dir) {
            if (fail) {
                expected[dir].missed = true;
            } else {
                expectReading(dir, rowOf(dir));
            }
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

TEST_P(TrafficSimulation, TotalsEqualTheBytesTheCountersCountedToTheByte)
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
    EXPECT_GE(wraps, GetParam() == 32 ? 20 : 0);
    EXPECT_GE(restarts, 5);
    EXPECT_GE(failures, 100);
    EXPECT_GE(gaps, 20);
    EXPECT_GE(methodChanges, 20);
    EXPECT_GE(growths, 1);
}

INSTANTIATE_TEST_SUITE_P(CounterWidths, TrafficSimulation, ::testing::Values(32, 64));

} // namespace
} // namespace tavlor
