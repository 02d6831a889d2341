// One whole online accounting tick: three interface-table reads, wrap and session arithmetic
// and every label text, against the kernel's table and against an in-memory one.
#include "accounting/AccountingTick.h"
#include "netmeter/Kvonline.h"
#include "platform/Platform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace tavlor;

class StillClock final : public Clock
{
public:
    CivilDateTime nowLocal() const override { return {2026, 12, 8, 10, 0, 0, 0}; }
    std::int64_t monotonicMs() const override { return m_ms += 1000; }

private:
    mutable std::int64_t m_ms = 0;
};

class GatewayHooks final : public TickHooks
{
public:
    bool IsOnline(bool) override { return true; }
    void ShowIpAddresses() override {}
    void RefreshConnectionStatus() override {}
    void ShowWindowsUptime() override {}
    void SaveUsageData() override {}
};

// Three rows whose counters grow by a few kilobytes a read.
class TableInMemory final : public InterfaceRowSource
{
public:
    TableInMemory() : m_rows(3)
    {
        for (std::uint32_t i = 0; i < m_rows.size(); ++i) {
            m_rows[i].dwIndex = i + 1;
            m_rows[i].dwPhysAddrLen = i == 0 ? 0 : 6;
            m_rows[i].dwSpeed = 100000000;
        }
    }
    std::uint32_t getIfTable(std::span<IfRow> rows, std::uint32_t& numEntries, std::uint32_t& size,
                             bool) override
    {
        const std::uint32_t needed = ifTableBytesFor(static_cast<std::uint32_t>(m_rows.size()));
        if (rows.size() < m_rows.size() || size < needed) {
            size = needed;
            return kErrorInsufficientBuffer;
        }
        for (IfRow& row : m_rows) {
            row.dwInOctets += 4096;
            row.dwOutOctets += 1500;
        }
        std::copy(m_rows.begin(), m_rows.end(), rows.begin());
        numEntries = static_cast<std::uint32_t>(m_rows.size());
        return kNoError;
    }

private:
    std::vector<IfRow> m_rows;
};

void runTicks(benchmark::State& bench, InterfaceRowSource& source)
{
    const NumberFormat numbers(",");
    StillClock clock;
    GatewayHooks hooks;
    UsageState state;
    state.onLAN = true;
    state.dayStamp = 46364.0;
    ViewModel view;
    view.setChecked("cbLan", true);
    InterfaceSampler sampler(source, numbers);
    AccountingTick tick(state, view, sampler, clock, numbers, hooks);
    tick.tCheckTimer(); // discovery happens once, outside the measurement
    for (auto _ : bench) {
        tick.tCheckTimer();
        benchmark::DoNotOptimize(view.text("lAll"));
    }
}

void BM_Tick_RealSource(benchmark::State& bench)
{
    std::unique_ptr<InterfaceRowSource> source = platform::makeInterfaceRowSource();
    runTicks(bench, *source);
}
BENCHMARK(BM_Tick_RealSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_Tick_FakeSource(benchmark::State& bench)
{
    TableInMemory source;
    runTicks(bench, source);
}
BENCHMARK(BM_Tick_FakeSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
