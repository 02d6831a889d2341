#include "platform/win32/NetworkCost.h"

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

TEST(NetworkCost, CostFlagsGiveTheMetering)
{
    struct Case
    {
        std::optional<std::uint32_t> flags;
        Metering metering;
    };
    const Case cases[] = {
        {std::nullopt, Metering::Unknown},
        {cost::kUnknown, Metering::Unknown},
        {cost::kUnrestricted, Metering::No},
        {cost::kFixed, Metering::Yes},
        {cost::kVariable, Metering::Yes},
        {cost::kFixed | cost::kApproachingDataLimit, Metering::Yes},
        {cost::kUnrestricted | cost::kRoaming, Metering::Yes},
        {cost::kUnrestricted | cost::kOverDataLimit, Metering::Yes},
        {cost::kUnrestricted | cost::kCongested, Metering::No},
        {cost::kUnrestricted | cost::kApproachingDataLimit, Metering::No},
        {cost::kCongested, Metering::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeteringOfCost(c.flags), c.metering) << std::hex << c.flags.value_or(0xdead);
    }
}

TEST(NetworkCost, GuidsCompareWithoutCaseAndBraces)
{
    EXPECT_TRUE(SameGuid("{0A1B2C3D-0000-0000-0000-4E6574446576}", "{0a1b2c3d-0000-0000-0000-4e6574446576}"));
    EXPECT_TRUE(SameGuid("0A1B2C3D-0000-0000-0000-4E6574446576", "{0A1B2C3D-0000-0000-0000-4E6574446576}"));
    EXPECT_FALSE(
        SameGuid("{0A1B2C3D-0000-0000-0000-4E6574446576}", "{0A1B2C3D-0000-0000-0000-4E6574446577}"));
    EXPECT_FALSE(SameGuid("", ""));
    EXPECT_FALSE(SameGuid("{}", "{}"));
}

// Wine's list: one connection per adapter, named by the adapter's GUID, networks without names.
NetworkListSnapshot twoAdapters()
{
    NetworkListSnapshot list;
    list.adapters = {{"{00000001-0000-0000-0000-4E6574446576}", "lo", 1, false},
                     {"{00000004-0000-0000-0000-4E6574446576}", "Ethernet", 4, false},
                     {"{00000007-0000-0000-0000-4E6574446576}", "T-Online", 7, true}};
    list.connections = {
        {"{C0000001-0000-0000-0000-000000000000}", "{00000001-0000-0000-0000-4e6574446576}",
         "{A0000001-0000-0000-0000-000000000000}", "", true, cost::kUnrestricted},
        {"{C0000004-0000-0000-0000-000000000000}", "00000004-0000-0000-0000-4E6574446576",
         "{A0000004-0000-0000-0000-000000000000}", "Netzwerk 2", true, cost::kUnrestricted},
        {"{C0000007-0000-0000-0000-000000000000}", "{00000007-0000-0000-0000-4E6574446576}",
         "{A0000007-0000-0000-0000-000000000000}", "", true, cost::kVariable},
    };
    list.defaultRouteIndex = 4;
    return list;
}

TEST(NetworkCost, ThePrimaryIsTheConnectedConnectionOnTheDefaultRoute)
{
    NetworkListSnapshot list = twoAdapters();
    std::optional<PrimaryConnection> primary = ChoosePrimary(list);
    ASSERT_TRUE(primary);
    EXPECT_EQ(*primary, (PrimaryConnection{"{C0000004-0000-0000-0000-000000000000}",
                                           "{A0000004-0000-0000-0000-000000000000}", "Netzwerk 2", "Ethernet",
                                           Metering::No}));

    list.defaultRouteIndex = 7; // the dial-up link took the default route; its network has no name
    primary = ChoosePrimary(list);
    ASSERT_TRUE(primary);
    EXPECT_EQ(primary->interfaceName, "T-Online");
    EXPECT_EQ(primary->name, "T-Online");
    EXPECT_EQ(primary->metering, Metering::Yes);

    list.connections[2].cost.reset();
    EXPECT_EQ(ChoosePrimary(list)->metering, Metering::Unknown);

    list.connections[2].connected = false;
    EXPECT_FALSE(ChoosePrimary(list)) << "a connection that is down carries nothing";
    list.defaultRouteIndex = 0;
    EXPECT_FALSE(ChoosePrimary(list)) << "no default route, no primary";
    list.defaultRouteIndex = 9;
    EXPECT_FALSE(ChoosePrimary(list)) << "the default route on an adapter without a connection";
    list = twoAdapters();
    list.adapters.erase(list.adapters.begin() + 1);
    EXPECT_FALSE(ChoosePrimary(list)) << "a connection whose adapter IP Helper does not list";
}

TEST(NetworkCost, ConnectionNamesByInterface)
{
    NetworkListSnapshot list = twoAdapters();
    EXPECT_EQ(ConnectionNameOf(list, "Ethernet"), "Netzwerk 2");
    EXPECT_EQ(ConnectionNameOf(list, "ethernet"), "Netzwerk 2") << "aliases are compared without case";
    EXPECT_EQ(ConnectionNameOf(list, "T-Online"), "T-Online") << "a network without a name: the alias";
    EXPECT_EQ(ConnectionNameOf(list, "WLAN"), "");
    EXPECT_EQ(ConnectionNameOf(list, ""), "");
    list.connections[1].connected = false;
    EXPECT_EQ(ConnectionNameOf(list, "Ethernet"), "");
}

TEST(NetworkCost, OnlyADialUpPrimaryHasAConnectionToHangUp)
{
    const NetworkListSnapshot list = twoAdapters();
    PrimaryConnection ethernet{"{C0000004}", "{A0000004}", "Netzwerk 2", "Ethernet", Metering::No};
    PrimaryConnection dialup{"{C0000007}", "{A0000007}", "T-Online", "T-Online", Metering::Yes};
    const std::vector<DialledConnection> one{{"77", "T-Online"}};
    const std::vector<DialledConnection> two{{"66", "Arbeit"}, {"77", "t-online"}};
    const std::vector<DialledConnection> others{{"66", "Arbeit"}, {"88", "Zuhause"}};

    EXPECT_EQ(DialledConnectionOf(list, dialup, one), "77");
    EXPECT_EQ(DialledConnectionOf(list, dialup, two), "77") << "by the entry's name, without case";
    EXPECT_EQ(DialledConnectionOf(list, dialup, {{"66", "Arbeit"}}), "66")
        << "the one dial-up connection, its adapter renamed";
    EXPECT_FALSE(DialledConnectionOf(list, dialup, others)) << "two others: none of them is known to be it";
    EXPECT_FALSE(DialledConnectionOf(list, dialup, {}));
    EXPECT_FALSE(DialledConnectionOf(list, ethernet, one)) << "a LAN is never taken for a dial-up connection";
    dialup.interfaceName = "PPP";
    EXPECT_FALSE(DialledConnectionOf(list, dialup, one)) << "an interface IP Helper does not list";
}

} // namespace
} // namespace tavlor::win32
