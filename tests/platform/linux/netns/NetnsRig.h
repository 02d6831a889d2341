#pragma once

// A network namespace of the test's own with a veth pair at full speed, and the whole counting
// chain on it: the kernel's links and routes, the sampler, the counted-link choice and the tick.
#include "accounting/AccountingTick.h"
#include "netmeter/Kvonline.h"
#include "platform/linux/NetlinkRouteSource.h"
#include "platform/linux/NetlinkRowSource.h"

#include "FakeClock.h"
#include "FakeRowSource.h"

#include <cstdint>
#include <string>

namespace tavlor::test {

// Runs a shell command inside the test's namespace; true when it succeeded.
bool Sh(const std::string& command);
// The kernel's own 64-bit counter of a link ("rx" or "tx"), as iproute2 reports it.
std::uint64_t KernelBytes(const char* link, const char* direction);
// `count` UDP datagrams of `bytes` each to `address` (port 9).
void SendDatagrams(const char* address, int count, std::size_t bytes);

// tva (index 50, 10.9.0.1) and tvb (index 51) with MTU 65535. Sending to 10.9.0.2 leaves by
// tva and arrives at tvb ("upload" of tva); sending to 10.9.5.1 leaves by tvb and arrives at
// tva ("download" of tva). Static neighbours, IPv6 off: the counters are exact.
bool MakeVethPair(const char* a, const char* b, int indexA, const std::string& subnet);
// The veth pair above with its addresses, neighbours and the default route over tva.
bool SetUpCountedPair(int indexA = 50);

class NoHooks final : public OnlineProbe,
                      public AddressDisplay,
                      public ConnectionDisplay,
                      public UptimeDisplay
{
public:
    bool online = true;
    OnlineDecision IsOnline(const Settings& settings) override
    {
        const bool on = settings.onLAN || online;
        return {
            on,
            {on ? (settings.onLAN ? CountedKind::Gateway : CountedKind::Dialup) : CountedKind::None, {}, {}},
            {}};
    }
    void ShowIpAddresses() override {}
    void RefreshConnectionStatus() override {}
    void ShowWindowsUptime() override {}
    TickParts parts() { return {*this, *this, *this, *this, nullptr}; }
};

struct Meter
{
    NetlinkRowSource source;
    NetlinkRouteSource routes;
    FakeDialup dialup;
    NumberFormat numbers{","};
    InterfaceSampler sampler{source, numbers, &routes, &dialup};
    FakeClock clock;
    ViewModel view;
    NoHooks hooks;
    UsageState state;
    AccountingTick tick{state, view, sampler, clock, numbers, hooks.parts()};

    explicit Meter(bool gateway = true) { state.onLAN = gateway; }
    void run(std::int64_t ms = 1000)
    {
        clock.advanceMs(ms);
        tick.tCheckTimer();
    }
};

} // namespace tavlor::test
