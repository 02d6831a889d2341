// One whole online accounting tick in gateway mode: one read of the links, the default route,
// the counting and session arithmetic and every label text, against the kernel's links and
// against links held in memory.
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

// Three links whose counters grow by a few kilobytes a read.
class TableInMemory final : public InterfaceRowSource
{
public:
    TableInMemory() : m_rows(3)
    {
        for (std::uint32_t i = 0; i < m_rows.size(); ++i) {
            m_rows[i].index = i + 1;
            m_rows[i].name = i == 0 ? "lo" : "eth" + std::to_string(i - 1);
            m_rows[i].kind = i == 0 ? LinkKind::Loopback : LinkKind::Ethernet;
            m_rows[i].hwAddrLen = i == 0 ? 0 : 6;
            m_rows[i].up = true;
            m_rows[i].speedBps = 100000000;
        }
    }
    bool readLinks(std::vector<LinkRow>& links) override
    {
        for (LinkRow& row : m_rows) {
            row.rxBytes += 4096;
            row.txBytes += 1500;
        }
        links.resize(m_rows.size());
        std::copy(m_rows.begin(), m_rows.end(), links.begin());
        return true;
    }

private:
    std::vector<LinkRow> m_rows;
};

class NoRoute final : public DefaultRouteSource
{
public:
    std::uint32_t defaultRouteInterface() override { return 0; }
};

void runTicks(benchmark::State& bench, InterfaceRowSource& source, DefaultRouteSource& routes)
{
    const NumberFormat numbers(",");
    StillClock clock;
    GatewayHooks hooks;
    UsageState state;
    state.onLAN = true;
    state.dayStamp = 46364.0;
    ViewModel view;
    view.setChecked("cbLan", true);
    InterfaceSampler sampler(source, numbers, &routes);
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
    std::unique_ptr<DefaultRouteSource> routes = platform::makeDefaultRouteSource();
    runTicks(bench, *source, *routes);
}
BENCHMARK(BM_Tick_RealSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_Tick_FakeSource(benchmark::State& bench)
{
    TableInMemory source;
    NoRoute routes;
    runTicks(bench, source, routes);
}
BENCHMARK(BM_Tick_FakeSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
