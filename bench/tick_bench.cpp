// One whole online second of the program's own work, as the window thread does it: the
// accounting tick with the interface table, the address labels, the online decision, the
// uptime text, the tray hint and the hand-over of the changed texts to the windows.
//
// BM_Tick_RealSource runs on the machine's own links; BM_Tick_Links/N on N links of a private
// network namespace (root only), so the cost per link shows; BM_Tick_FakeSource on a table in
// memory, the arithmetic alone.
#include "LinkNamespace.h"

#include "accounting/AccountingTick.h"
#include "netmeter/Kvonline.h"
#include "netmeter/KvonlineProbes.h"
#include "platform/Platform.h"
#include "shell/TrayHint.h"
#include "views/Uptime.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace tavlor;

// No dial-up service: the probe answers offline, so the program counts in gateway mode.
class NoDialup final : public DialupService
{
public:
    bool available() const override { return false; }
    std::vector<ActiveDialup> activeConnections() const override { return {}; }
    std::string missingReason() const override { return {}; }
    void listEntries(EntriesDone done) override { done(missing(), {}); }
    void readEntry(const std::string&, DetailsDone done) override { done(missing(), {}); }
    void createEntry(DialupEntryFields, Done done) override { done(missing()); }
    void editEntry(const std::string&, DialupEntryFields, Done done) override { done(missing()); }
    void renameEntry(const std::string&, const std::string&, Done done) override { done(missing()); }
    void deleteEntry(const std::string&, Done done) override { done(missing()); }
    void dial(const std::string&, DialValues, Done done) override { done(missing()); }
    void hangUp(const std::string&, Done done) override { done(missing()); }

private:
    static DialupResult missing() { return DialupResult::failure(DialupResult::Status::ServiceMissing, {}); }
};

// Gateway mode: the connection label is the manager's, which asks nothing in gateway mode.
class NoConnection final : public ConnectionDisplay
{
public:
    void RefreshConnectionStatus() override {}
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

// Everything one second needs, built where it will run (netlink sockets belong to the network
// namespace they were opened in).
struct Second
{
    explicit Second(InterfaceRowSource& rows)
        : clock(platform::makeClock()), hosts(platform::makeHostAddressSource()),
          times(platform::makeSystemTimesSource()), routes(platform::makeDefaultRouteSource()),
          sampler(rows, numbers, routes.get()), online(dialup), addresses(view, *hosts),
          uptime(view, *times, platform::systemName()),
          tick(state, view, sampler, *clock, numbers,
               TickParts{online, addresses, connection, uptime, nullptr})
    {
        state.onLAN = true;
        state.dayStamp = 46364.0;
        state.trayTime = TrayTime::Total;
        run(); // discovery and the first address reading happen once, outside the measurement
    }
    void run()
    {
        tick.tCheckTimer();
        ComposeTrayHint(tick.reading(), state.trayTime, numbers, view);
        benchmark::DoNotOptimize(view.takeChanges());
    }

    const NumberFormat numbers{","};
    std::unique_ptr<Clock> clock;
    std::unique_ptr<HostAddressSource> hosts;
    std::unique_ptr<SystemTimesSource> times;
    std::unique_ptr<DefaultRouteSource> routes;
    UsageState state;
    ViewModel view;
    InterfaceSampler sampler;
    NoDialup dialup;
    DialupOnlineProbe online;
    AddressLabels addresses;
    NoConnection connection;
    UptimeLabel uptime;
    AccountingTick tick;
};

void runSeconds(benchmark::State& bench, InterfaceRowSource& rows)
{
    Second second(rows);
    for (auto _ : bench) {
        second.run();
    }
    bench.counters["links"] = static_cast<double>(second.sampler.links().size());
}

void BM_Tick_RealSource(benchmark::State& bench)
{
    std::unique_ptr<InterfaceRowSource> rows = platform::makeInterfaceRowSource();
    runSeconds(bench, *rows);
}
BENCHMARK(BM_Tick_RealSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_Tick_Links(benchmark::State& bench)
{
    const auto links = static_cast<int>(bench.range(0));
    bench::LinkNamespace* place = bench::LinkNamespace::withLinks(links);
    if (place == nullptr) {
        bench.SkipWithError("needs root and iproute2 for a private network namespace");
        return;
    }
    bench::LinkNamespace::Inside inside(*place);
    std::unique_ptr<InterfaceRowSource> rows = platform::makeInterfaceRowSource();
    runSeconds(bench, *rows);
}
BENCHMARK(BM_Tick_Links)
    ->Arg(1)
    ->Arg(100)
    ->Arg(1000)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_Tick_FakeSource(benchmark::State& bench)
{
    TableInMemory rows;
    runSeconds(bench, rows);
}
BENCHMARK(BM_Tick_FakeSource)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
