#pragma once

#include "accounting/AccountingTick.h"
#include "netmeter/Kvonline.h"
#include "text/DayCount.h"
#include "text/WidgetNames.h"

#include "FakeClock.h"
#include "FakeRowSource.h"
#include "GermanLocale.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavlor::test {

// Records what the tick asked of the rest of the program, in order.
class RecordingHooks final : public OnlineProbe,
                             public AddressDisplay,
                             public ConnectionDisplay,
                             public UptimeDisplay,
                             public ReadingListener
{
public:
    bool online = true;
    bool throwOnProbe = false;
    int saves = 0;
    std::vector<std::string> calls;
    ViewModel* view = nullptr;
    std::string connectionName = "Offline"; // what RefreshConnectionStatus finds while online

    std::vector<TickReading> readings; // what the listener was told, tick by tick
    TickParts parts() { return {*this, *this, *this, *this, this}; }

    // Set: what the probe answers outside gateway mode (online is then ignored).
    std::optional<OnlineDecision> decision;
    std::map<std::string, std::string> profileOver; // link -> the profile running over it

    OnlineDecision IsOnline(const Settings& settings) override
    {
        calls.push_back("IsOnline");
        if (throwOnProbe && !settings.onLAN) {
            throw std::runtime_error("RasEnumConnectionsA not found in rasapi32.dll");
        }
        if (settings.onLAN) {
            return {true, {CountedKind::Gateway, {}, {}}, {}};
        }
        if (decision) {
            return *decision;
        }
        return online ? OnlineDecision{true, {CountedKind::Dialup, "/active/1", "Handy"}, {}}
                      : OnlineDecision{};
    }
    std::string ConnectionNameOf(const std::string& link) override
    {
        const auto it = profileOver.find(link);
        return it == profileOver.end() ? std::string() : it->second;
    }
    void ShowIpAddresses() override { calls.push_back("ShowIpAddresses"); }
    void RefreshConnectionStatus() override
    {
        calls.push_back("RefreshConnectionStatus");
        if (view != nullptr) {
            view->setText(names::lcon, online ? connectionName : "Offline");
        }
    }
    void ShowWindowsUptime() override { calls.push_back("ShowWindowsUptime"); }
    void readingTaken(const TickReading& reading) override { readings.push_back(reading); }
    void SaveUsageData()
    {
        calls.push_back("SaveUsageData");
        ++saves;
    }
    int count(const std::string& name) const
    {
        int n = 0;
        for (const std::string& c : calls) {
            n += c == name ? 1 : 0;
        }
        return n;
    }
};

// The tick over a loopback row, adapter A (index 10) and adapter B (index 20) at 100 Mbit/s with
// 32-bit counters, with the state as start-up leaves it. No default route and no dial-up link:
// the default methods count the first working adapter, A, in both directions.
struct TickHarness
{
    GermanLocale german;
    NumberFormat numbers = NumberFormat::fromLocale(german);
    FakeClock clock{CivilDateTime{2026, 12, 8, 10, 0, 0, 0}};
    FakeRowSource source;
    FakeRoutes routes;
    FakeDialup dialup;
    InterfaceSampler sampler{source, numbers, &routes, &dialup};
    UsageState state;
    ViewModel view;
    RecordingHooks hooks;
    AccountingTick tick{state, view, sampler, clock, numbers, hooks.parts()};

    TickHarness()
    {
        source.rows = {MakeRow(1, 0, 0, 0, 0), MakeRow(10, 6, 0, 0), MakeRow(20, 6, 0, 0)};
        state.dayStamp = ToDayCount(clock.nowLocal());
        hooks.view = &view;
        view.setText(names::lcon, "Offline");
    }

    LinkRow& downRow() { return source.byIndex(10); }
    LinkRow& upRow() { return source.byIndex(10); }
    LinkRow& rowB() { return source.byIndex(20); }

    // One timer period later, one tick, with the periodic save before it as the program does.
    void run(std::int64_t ms = 1000)
    {
        clock.advanceMs(ms);
        if (tick.takeSaveDue()) {
            hooks.SaveUsageData();
        }
        tick.tCheckTimer();
    }
    const TickReading& last() const { return hooks.readings.back(); }
};

} // namespace tavlor::test
