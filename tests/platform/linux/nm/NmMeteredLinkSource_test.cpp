// The metered-link source against a real NetworkManager in its namespace (with-real-nm.sh): an
// Ethernet profile on tveth0 with its gateway beyond the link becomes the primary connection.
#include "platform/linux/nm/NmMeteredLinkSource.h"

#include "NmTestHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace tavlor {
namespace {

using Status = DialupResult::Status;

std::string output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
            out += buffer.data();
        }
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

int nmcli(const std::string& arguments)
{
    return std::system(("timeout 30 nmcli " + arguments + " >/dev/null 2>&1").c_str());
}

class RealMeteredLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        nmcli("connection delete Hotspot");
        ASSERT_EQ(nmcli("connection add type ethernet ifname tveth0 con-name Hotspot autoconnect no "
                        "ipv4.method manual ipv4.addresses 10.66.0.1/24 ipv4.gateway 10.66.0.2 "
                        "ipv6.method disabled connection.metered yes"),
                  0);
        uuid = output("nmcli -g connection.uuid connection show Hotspot");
    }
    void TearDown() override { nmcli("connection delete Hotspot"); }

    // Waits, with the event loop running, until the source's primary connection fits.
    bool primaryBecomes(const std::function<bool(const std::optional<PrimaryConnection>&)>& fits)
    {
        return QTest::qWaitFor([&] { return fits(source.primaryConnection()); }, 15000);
    }
    bool meteredAs(Metering metering)
    {
        return primaryBecomes([&](const std::optional<PrimaryConnection>& p) {
            return p && p->metering == metering && p->interfaceName == "tveth0";
        });
    }

    platform::nm::NmMeteredLinkSource source;
    std::string uuid;
};

TEST_F(RealMeteredLink, ThePrimaryConnectionItsMeteringAndItsLinkFollowNetworkManager)
{
    int changes = 0;
    source.stateChanged = [&changes] { ++changes; };
    ASSERT_EQ(nmcli("connection up Hotspot"), 0);
    ASSERT_TRUE(meteredAs(Metering::Yes)) << "never saw Hotspot metered as the primary";
    const PrimaryConnection first = *source.primaryConnection();
    EXPECT_EQ(first.name, "Hotspot");
    EXPECT_EQ(first.profileId, uuid);
    EXPECT_EQ(first.id, output("nmcli -g GENERAL.DBUS-PATH connection show Hotspot"));
    EXPECT_EQ(source.connectionNameOf("tveth0"), "Hotspot");
    EXPECT_EQ(source.connectionNameOf("lo"), "lo"); // NetworkManager keeps a profile of its own for it
    EXPECT_EQ(source.connectionNameOf("tveth9"), "");
    EXPECT_GT(changes, 0); // told by NetworkManager's signals

    // Marked as the user does it: a new activation, not metered any more.
    ASSERT_EQ(nmcli("connection modify Hotspot connection.metered no"), 0);
    ASSERT_EQ(nmcli("connection up Hotspot"), 0);
    ASSERT_TRUE(meteredAs(Metering::No));
    EXPECT_NE(source.primaryConnection()->id, first.id);

    // Taken down through the source: no primary connection, the profile stays.
    test::Answer<int> down;
    source.deactivate(source.primaryConnection()->id, test::into(down));
    ASSERT_TRUE(down.wait(15000));
    EXPECT_TRUE(down.result->ok()) << down.result->reason;
    EXPECT_TRUE(primaryBecomes([](const auto& p) { return !p.has_value(); }));
    EXPECT_EQ(source.connectionNameOf("tveth0"), "");
    EXPECT_EQ(output("nmcli -g connection.uuid connection show Hotspot"), uuid);

    test::Answer<int> again;
    source.deactivate(first.id, test::into(again));
    ASSERT_TRUE(again.wait());
    EXPECT_EQ(again.result->status, Status::NotFound);
}

TEST_F(RealMeteredLink, ARestartOfNetworkManagerIsFollowedFromItsSignals)
{
    ASSERT_EQ(nmcli("connection up Hotspot"), 0);
    ASSERT_TRUE(meteredAs(Metering::Yes));
    bool lost = false;
    source.stateChanged = [&] { lost = lost || !source.primaryConnection(); };
    ASSERT_EQ(test::runHelper("TAVLOR_NM_RESTART_NM"), 0);
    // The manager that went away took its primary connection with it, whatever the new one
    // makes of the link.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([] { return nmcli("general status") == 0; }, 15000));
    ASSERT_EQ(nmcli("connection up Hotspot"), 0);
    EXPECT_TRUE(meteredAs(Metering::Yes));
    EXPECT_EQ(source.primaryConnection()->profileId, uuid);
}

} // namespace
} // namespace tavlor
