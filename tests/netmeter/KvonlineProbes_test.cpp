#include "netmeter/KvonlineProbes.h"

#include "FakeRasLibrary.h"
#include "dialup/Ras.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::FakeRas;
using test::FakeRasLoader;

class ListedAddresses final : public HostAddressSource
{
public:
    explicit ListedAddresses(std::vector<std::string> list) : m_list(std::move(list)) {}
    std::vector<std::string> ipv4Addresses() override { return m_list; }

private:
    std::vector<std::string> m_list;
};

TEST(OnlineProbe, CountsConnectionsAndReleasesTheLibraryEveryTime)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    EXPECT_EQ(RasConnectionCount(loader), 0);
    EXPECT_EQ(DetectConnection(loader), 0);
    EXPECT_FALSE(IsOnline(false, loader));

    fake.connections = {{1, "Handy", "modem"}};
    EXPECT_EQ(DetectConnection(loader), 2);
    EXPECT_TRUE(IsOnline(false, loader));
    EXPECT_EQ(fake.loads, 5);
    EXPECT_EQ(fake.releases, 5);
}

TEST(OnlineProbe, MoreConnectionsThanFourRecordsStillCountAsOnline)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    for (RasHandle h = 1; h <= 5; ++h) {
        fake.connections.push_back({h, "E" + std::to_string(h), "modem"});
    }
    EXPECT_EQ(RasConnectionCount(loader), 5); // 603 with the count of all five
    EXPECT_TRUE(IsOnline(false, loader));
}

TEST(OnlineProbe, OtherErrorCodesAndAMissingLibraryMeanOffline)
{
    FakeRas fake;
    fake.connections = {{1, "Handy", "modem"}};
    fake.results["RasEnumConnectionsA"] = 610;
    FakeRasLoader loader(fake);
    EXPECT_EQ(RasConnectionCount(loader), 0);

    fake.rasLoadable = false;
    EXPECT_FALSE(IsOnline(false, loader));
    EXPECT_TRUE(IsOnline(true, loader));
}

TEST(OnlineProbe, GatewayModeProbesNothing)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    EXPECT_TRUE(IsOnline(true, loader));
    EXPECT_EQ(fake.loads, 0);
    EXPECT_TRUE(fake.calls.empty());
}

TEST(OnlineProbe, MissingEnumerationFunctionRaisesAfterReleasingTheLibrary)
{
    FakeRas fake;
    fake.missing = {"RasEnumConnectionsA"};
    FakeRasLoader loader(fake);
    try {
        IsOnline(false, loader);
        FAIL() << "no error";
    } catch (const ERasError& e) {
        EXPECT_STREQ(e.what(), "RasEnumConnectionsA not found in rasapi32.dll");
    }
    EXPECT_EQ(fake.loads, 1);
    EXPECT_EQ(fake.releases, 1);
}

TEST(Addresses, FirstIsLocalSecondIsExternalAndTheRestIsNotShown)
{
    ViewModel view;
    ListedAddresses three({"192.168.0.5", "10.64.3.17", "172.16.0.9"});
    EXPECT_EQ(GetLocalIpList(three), "192.168.0.5;10.64.3.17;172.16.0.9");
    ShowIpAddresses(view, three);
    EXPECT_EQ(view.text("lLokal"), "192.168.0.5");
    EXPECT_EQ(view.text("lremote"), "10.64.3.17");

    ListedAddresses one({"192.168.0.5"});
    ShowIpAddresses(view, one);
    EXPECT_EQ(view.text("lLokal"), "192.168.0.5");
    EXPECT_EQ(view.text("lremote"), "---");

    ListedAddresses none({});
    ShowIpAddresses(view, none);
    EXPECT_EQ(view.text("lLokal"), "");
    EXPECT_EQ(view.text("lremote"), "---");
}

} // namespace
} // namespace tavlor
