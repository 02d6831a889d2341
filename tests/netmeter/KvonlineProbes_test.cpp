#include "netmeter/KvonlineProbes.h"
#include "text/WidgetNames.h"

#include "FakeDialupService.h"

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
