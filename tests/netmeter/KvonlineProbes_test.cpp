#include "netmeter/KvonlineProbes.h"
#include "text/WidgetNames.h"

#include "FakeDialupService.h"
#include "FakeMeteredLinkSource.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class ListedAddresses final : public HostAddressSource
{
public:
    explicit ListedAddresses(std::vector<std::string> list) : m_list(std::move(list)) {}
    std::vector<std::string> ipv4Addresses() override { return m_list; }

private:
    std::vector<std::string> m_list;
};

TEST(OnlineProbe, OnlineInGatewayModeOrWhileTheServiceKeepsAnActiveConnection)
{
    test::FakeDialupService dialup;
    struct Case
    {
        bool onLAN;
        int connections;
        bool running;
        std::uint8_t kind;
        bool online;
    } cases[] = {
        {false, 0, true, 0, false}, {false, 1, true, 2, true}, {false, 5, true, 2, true},
        {true, 0, true, 0, true},   {true, 0, false, 0, true}, {false, 0, false, 0, false},
    };
    for (const Case& c : cases) {
        dialup.running = c.running;
        dialup.active.assign(static_cast<std::size_t>(c.connections),
                             ActiveDialup{"/a", "Handy", "ttyUSB0", "ppp0"});
        EXPECT_EQ(RasConnectionCount(dialup), c.connections);
        EXPECT_EQ(DetectConnection(dialup), c.kind);
        EXPECT_EQ(IsOnline(c.onLAN, dialup), c.online) << c.onLAN << " " << c.connections;
    }
    // Reading the kept state asks the service for nothing.
    EXPECT_TRUE(dialup.requests.empty());
}

TEST(OnlineProbe, TheDecisionOfASecondAcrossMeteringSettingsAndDialUp)
{
    using M = Metering;
    const ActiveDialup handy{"/ac/9", "Handy", "ttyUSB0", "ppp0", "uuid-h"};
    const CountedConnection dialup{CountedKind::Dialup, "/ac/9", "Handy"};
    const CountedConnection metered{CountedKind::Metered, "/ac/1", "Hotspot"};
    const CountedConnection gateway{CountedKind::Gateway, "", ""};
    struct Case
    {
        bool onLAN;
        bool countMetered;
        bool dialupUp;
        std::optional<M> primary; // nullopt: no primary connection (or no service)
        const char* link;         // the primary's interface
        OnlineDecision expected;
    } cases[] = {
        // Counting metered connections: yes and guess-yes count, the rest does not.
        {false, true, false, M::Yes, "wlan0", {true, metered, "wlan0"}},
        {false, true, false, M::GuessYes, "wlan0", {true, metered, "wlan0"}},
        {false, true, false, M::No, "wlan0", {}},
        {false, true, false, M::GuessNo, "wlan0", {}},
        {false, true, false, M::Unknown, "wlan0", {}},
        {false, true, false, std::nullopt, "", {}},
        // A metered primary whose link is not known yet counts nothing.
        {false, true, false, M::Yes, "", {}},
        // Off: a metered primary is no reason to be online.
        {false, false, false, M::Yes, "wlan0", {}},
        {false, false, false, M::GuessYes, "wlan0", {}},
        // Dial-up wins over a metered primary, and counts as before without one.
        {false, true, true, M::Yes, "wlan0", {true, dialup, "ppp0"}},
        {false, false, true, M::Yes, "wlan0", {true, dialup, "ppp0"}},
        {false, false, true, std::nullopt, "", {true, dialup, "ppp0"}},
        // Gateway mode stays as it is: the default route's link, whatever else is up.
        {true, true, true, M::Yes, "wlan0", {true, gateway, ""}},
        {true, false, false, M::No, "wlan0", {true, gateway, ""}},
        {true, true, false, std::nullopt, "", {true, gateway, ""}},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.onLAN = c.onLAN;
        settings.countMetered = c.countMetered;
        std::optional<PrimaryConnection> primary;
        if (c.primary) {
            primary = PrimaryConnection{"/ac/1", "uuid-1", "Hotspot", c.link, *c.primary};
        }
        const std::vector<ActiveDialup> dialups =
            c.dialupUp ? std::vector<ActiveDialup>{handy} : std::vector<ActiveDialup>{};
        const std::string what = std::to_string(c.onLAN) + std::to_string(c.countMetered) +
                                 std::to_string(c.dialupUp) + " " + c.link +
                                 std::to_string(c.primary ? static_cast<int>(*c.primary) : -1);
        EXPECT_EQ(DecideOnline(settings, dialups, primary), c.expected) << what;

        // The probe over the services decides the same, and asks the metered source only when
        // its answer can matter.
        test::FakeDialupService service;
        service.active = dialups;
        test::FakeMeteredLinkSource source;
        source.primary = primary;
        DialupOnlineProbe probe(service, &source);
        EXPECT_EQ(probe.IsOnline(settings), c.expected) << what;
        EXPECT_EQ(source.asked, !c.onLAN && c.countMetered && !c.dialupUp ? 1 : 0) << what;
    }
    // Without a metered source nothing is metered.
    test::FakeDialupService service;
    Settings on;
    on.countMetered = true;
    EXPECT_EQ(DialupOnlineProbe(service).IsOnline(on), OnlineDecision{});
}

TEST(Addresses, FirstIsLocalSecondIsExternalAndTheRestIsNotShown)
{
    ViewModel view;
    ListedAddresses three({"192.168.0.5", "10.64.3.17", "172.16.0.9"});
    EXPECT_EQ(GetLocalIpList(three), "192.168.0.5;10.64.3.17;172.16.0.9");
    ShowIpAddresses(view, three);
    EXPECT_EQ(view.text(names::lLokal), "192.168.0.5");
    EXPECT_EQ(view.text(names::lremote), "10.64.3.17");

    ListedAddresses one({"192.168.0.5"});
    ShowIpAddresses(view, one);
    EXPECT_EQ(view.text(names::lLokal), "192.168.0.5");
    EXPECT_EQ(view.text(names::lremote), "---");

    ListedAddresses none({});
    ShowIpAddresses(view, none);
    EXPECT_EQ(view.text(names::lLokal), "");
    EXPECT_EQ(view.text(names::lremote), "---");
}

} // namespace
} // namespace tavlor
