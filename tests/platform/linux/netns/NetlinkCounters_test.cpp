// Exact counter figures from the kernel, on links this test creates in a fresh network
// namespace: nothing else sends there, IPv6 is off and the neighbour entries are static.
// Traffic runs at full veth speed (11-35 Gbit/s here), above the 10 Gbit/s the links state.
#include "NetnsRig.h"
#include "text/WidgetNames.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace tavlor {
namespace {

using test::KernelBytes;
using test::Meter;
using test::SendDatagrams;
using test::Sh;

constexpr double kSlack = 65536; // the acceptance bound; the figures are exact in practice
constexpr std::uint64_t k4GiB = 1ULL << 32;

// About 0.98 GB: what a veth pair carries in well under a second here.
void upload(int bursts = 1)
{
    for (int i = 0; i < bursts; ++i) {
        SendDatagrams("10.9.0.2", 15000, 65000);
    }
}

void download(int bursts = 1)
{
    for (int i = 0; i < bursts; ++i) {
        SendDatagrams("10.9.5.1", 15000, 65000);
    }
}

const LinkRow* find(Meter& m, const char* name)
{
    m.sampler.refresh();
    const LinkRow* row = m.sampler.findName(name);
    m.sampler.readCounters(row);
    return row;
}

class NetlinkCounters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Sh("command -v ip >/dev/null 2>&1")) {
            GTEST_SKIP() << "the ip command (iproute2) is not installed";
        }
        if (::unshare(CLONE_NEWNET) != 0) {
            GTEST_SKIP() << "cannot create a network namespace (needs root)";
        }
        std::ofstream("/proc/sys/net/ipv6/conf/default/disable_ipv6") << "1";
        std::ofstream("/proc/sys/net/ipv6/conf/all/disable_ipv6") << "1";
        ASSERT_TRUE(Sh("ip link set lo up"));
        ASSERT_TRUE(test::SetUpCountedPair()) << "could not set up the veth pair";
        txStart = KernelBytes("tva", "tx");
        rxStart = KernelBytes("tva", "rx");
    }

    void expectCountedTva(const Meter& m, std::uint64_t txBefore = 0, std::uint64_t rxBefore = 0)
    {
        EXPECT_NEAR(m.state.totalUpBytes, double(txBefore + KernelBytes("tva", "tx") - txStart), kSlack);
        EXPECT_NEAR(m.state.totalDownBytes, double(rxBefore + KernelBytes("tva", "rx") - rxStart), kSlack);
    }

    std::uint64_t txStart = 0;
    std::uint64_t rxStart = 0;
};

TEST_F(NetlinkCounters, LinksAreDescribedByNameKindStateAddressAndFullSpeed)
{
    Meter m;
    const LinkRow* veth = find(m, "tva");
    ASSERT_NE(veth, nullptr);
    EXPECT_EQ(veth->index, 50u);
    EXPECT_EQ(veth->kind, LinkKind::Ethernet);
    EXPECT_TRUE(veth->up);
    EXPECT_EQ(veth->hwAddrLen, 6u);
    EXPECT_EQ(veth->speedBps, 10000000000ULL);
    EXPECT_EQ(veth->counterBits, 64);
    EXPECT_EQ(find(m, "lo")->kind, LinkKind::Loopback);
    EXPECT_EQ(find(m, "lo")->hwAddrLen, 0u);
    EXPECT_EQ(m.routes.defaultRouteInterface(), 50u);
    SendDatagrams("10.9.0.2", 100, 1000);
    // 1000 bytes of payload + 8 UDP + 20 IPv4 + 14 Ethernet per datagram.
    EXPECT_EQ(find(m, "tva")->txBytes, KernelBytes("tva", "tx"));
    EXPECT_EQ(KernelBytes("tva", "tx") - txStart, 104200u);
}

// Bursts at full speed cross 4 GiB boundaries between two ticks of a link that states less
// than it carries; the default methods in gateway mode count the default route's link.
TEST_F(NetlinkCounters, BurstsAboveTheStatedSpeedAreCountedExactlyAcrossFourGibibytes)
{
    Meter m;
    m.run();
    for (int second = 0; second < 6; ++second) {
        upload();
        if (second % 2 == 0) {
            download();
        }
        m.run();
    }
    ASSERT_GT(KernelBytes("tva", "tx") - txStart, k4GiB);
    expectCountedTva(m);
    EXPECT_EQ(m.view.text(names::lSpeed), "10000Mbit");
}

TEST_F(NetlinkCounters, TwelveGibibytesWhileTheProgramStoodStillAreCounted)
{
    Meter m;
    m.run();
    upload();
    m.run();
    while (KernelBytes("tva", "tx") - txStart < 12 * (1ULL << 30)) {
        upload(); // the program is stopped: no tick for 20 s
    }
    m.run(20000);
    expectCountedTva(m);
}

TEST_F(NetlinkCounters, ALinkOfUnknownSpeedAtFullSpeedIsCountedExactly)
{
    ASSERT_TRUE(Sh("ip link add tvx type vxlan id 7 remote 10.9.0.2 dstport 4789"
                   " && ip link set tvx mtu 65000 && ip addr add 10.9.8.1/24 dev tvx && ip link set tvx up"
                   " && ip neigh replace 10.9.8.2 lladdr 02:00:00:00:00:08 dev tvx nud permanent"
                   " && ip route replace default via 10.9.8.2 dev tvx"));
    Meter m;
    ASSERT_NE(find(m, "tvx"), nullptr);
    EXPECT_EQ(find(m, "tvx")->speedBps, 0u) << "the link should state no speed";
    const std::uint64_t start = KernelBytes("tvx", "tx");
    m.run();
    for (int second = 0; second < 5; ++second) {
        SendDatagrams("10.9.8.2", 15000, 64000);
        m.run();
    }
    const std::uint64_t sent = KernelBytes("tvx", "tx") - start;
    ASSERT_GT(sent, k4GiB);
    EXPECT_NEAR(m.state.totalUpBytes, double(sent), kSlack);
    EXPECT_EQ(m.view.text(names::lSpeed), "0Mbit");
}

class RecreatedLink : public NetlinkCounters, public ::testing::WithParamInterface<bool>
{
};

TEST_P(RecreatedLink, TrafficBeforeAndAfterIsCountedAndTheGapInventsNothing)
{
    const bool sameIndex = GetParam();
    Meter m;
    m.run();
    upload(2);
    download();
    m.run();
    const std::uint64_t txGone = KernelBytes("tva", "tx") - txStart;
    const std::uint64_t rxGone = KernelBytes("tva", "rx") - rxStart;
    ASSERT_TRUE(Sh("ip link del tva"));
    for (int second = 0; second < 4; ++second) {
        m.run(); // the link is away: failed samples
    }
    ASSERT_TRUE(test::SetUpCountedPair(sameIndex ? 50 : 0));
    EXPECT_EQ(find(m, "tva")->index == 50u, sameIndex);
    txStart = rxStart = 0; // a new link: its counters started at zero
    m.run();
    upload();
    download();
    m.run();
    expectCountedTva(m, txGone, rxGone);
    EXPECT_EQ(m.tick.countedLinkText(), "tva");
}

INSTANTIATE_TEST_SUITE_P(SameAndNewIndex, RecreatedLink, ::testing::Bool());

// The counted link deleted while traffic ran: the speeds fall to 0 instead of showing the last
// figure on a link that is gone, and the reading names no link.
TEST_F(NetlinkCounters, ADeletedLinkShowsNoSpeed)
{
    Meter m;
    m.run();
    for (int second = 0; second < 4; ++second) {
        upload();
        download();
        m.run();
    }
    ASSERT_GT(m.tick.reading().upSpeed, 0);
    ASSERT_GT(m.tick.reading().downSpeed, 0);
    ASSERT_EQ(m.tick.reading().upLink.name, "tva");
    ASSERT_TRUE(Sh("ip link del tva"));
    m.run();
    m.run();
    const TickReading r = m.tick.reading();
    EXPECT_EQ(r.upSpeed, 0);
    EXPECT_EQ(r.downSpeed, 0);
    EXPECT_EQ(r.upLink, LinkIdentity{});
    EXPECT_EQ(m.view.text(names::lUpS), "0 kb/s");
    EXPECT_EQ(m.view.text(names::lDownS), "0 kb/s");
}

class LinkAddedBefore : public NetlinkCounters, public ::testing::WithParamInterface<bool>
{
};

// A link added before the counted one, with traffic of its own, is not counted instead; with
// the default methods and with a deliberate choice of rows alike.
TEST_P(LinkAddedBefore, TheCountedLinkKeepsBeingCounted)
{
    Meter m;
    if (GetParam()) {
        m.sampler.refresh(); // rows: lo, tva, tvb; count tvb's receive and tva's send
        m.state.downloadMethod = 1;
        m.state.uploadMethod = 0;
        m.state.onLAN = false;
    }
    m.run();
    upload();
    m.run();
    ASSERT_TRUE(test::MakeVethPair("tvc", "tvd", 20, "10.9.3"));
    SendDatagrams("10.9.3.2", 15000, 65000);
    m.run();
    upload();
    m.run();
    if (GetParam()) {
        EXPECT_NEAR(m.state.totalUpBytes, double(KernelBytes("tva", "tx") - txStart), kSlack);
        EXPECT_EQ(m.tick.countedLinkText(), "tvb (Download), tva (Upload)");
    } else {
        expectCountedTva(m);
        EXPECT_EQ(m.tick.countedLinkText(), "tva");
    }
}

INSTANTIATE_TEST_SUITE_P(DefaultAndChosenRows, LinkAddedBefore, ::testing::Bool());

TEST_F(NetlinkCounters, GatewayModeCountsTheRouteLinkNotTheFirstAdapterAndFollowsTheRoute)
{
    // The first link with a hardware address is down, like an unused ifb0.
    ASSERT_TRUE(Sh("ip link add tvz index 5 type veth peer name tvy index 6"));
    ASSERT_TRUE(test::MakeVethPair("tvc", "tvd", 60, "10.9.3"));
    Meter m;
    m.run();
    upload();
    download();
    m.run();
    expectCountedTva(m);
    EXPECT_EQ(m.view.text(names::lSpeed), "10000Mbit");
    EXPECT_EQ(m.tick.countedLinkText(), "tva");

    // tvc carries traffic before it becomes the online link: none of it is counted.
    SendDatagrams("10.9.3.2", 15000, 65000);
    m.run();
    const double up = m.state.totalUpBytes;
    const std::uint64_t tvcStart = KernelBytes("tvc", "tx");
    ASSERT_TRUE(Sh("ip route replace default via 10.9.3.2 dev tvc"));
    m.run();
    SendDatagrams("10.9.3.2", 15000, 65000);
    upload(); // no longer the online link: not counted
    m.run();
    EXPECT_EQ(m.tick.countedLinkText(), "tvc");
    EXPECT_NEAR(m.state.totalUpBytes, up + double(KernelBytes("tvc", "tx") - tvcStart), kSlack);
}

// Between the kernel's announcements only the counted links are read; a new link is announced.
TEST_F(NetlinkCounters, WhileNoLinkChangesOnlyTheCountedLinkIsReadAndANewLinkIsAnnounced)
{
    NetlinkRowSource source;
    std::vector<LinkRow> rows;
    ASSERT_TRUE(source.readLinks(rows));
    EXPECT_FALSE(source.tableMayHaveChanged());
    const auto tva = std::find_if(rows.begin(), rows.end(), [](const LinkRow& r) { return r.name == "tva"; });
    ASSERT_NE(tva, rows.end());
    upload();
    ASSERT_TRUE(source.readCounters(*tva));
    EXPECT_EQ(tva->txBytes, KernelBytes("tva", "tx"));
    EXPECT_FALSE(source.tableMayHaveChanged());

    ASSERT_TRUE(test::MakeVethPair("tvc", "tvd", 60, "10.9.3"));
    EXPECT_TRUE(source.tableMayHaveChanged());
    ASSERT_TRUE(source.readLinks(rows));
    EXPECT_FALSE(source.tableMayHaveChanged());
    ASSERT_TRUE(Sh("ip link del tvc"));
    LinkRow gone;
    gone.index = 60;
    EXPECT_FALSE(source.readCounters(gone));
    EXPECT_TRUE(source.tableMayHaveChanged());
}

// A point-to-point link without a hardware address (tun, standing in for ppp0 or wwan0) is
// counted as the dial-up connection's device, not the first Ethernet adapter.
TEST_F(NetlinkCounters, ADialUpDeviceWithoutAHardwareAddressIsCounted)
{
    const int tun = ::open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (tun < 0) {
        GTEST_SKIP() << "no /dev/net/tun";
    }
    ifreq request{};
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::strncpy(request.ifr_name, "tvppp", IFNAMSIZ - 1);
    ASSERT_EQ(::ioctl(tun, TUNSETIFF, &request), 0);
    ASSERT_TRUE(Sh("ip addr add 10.9.7.1/24 dev tvppp && ip link set tvppp up"));
    Meter m(false);
    m.dialup.name = "tvppp";
    const LinkRow* link = find(m, "tvppp");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->hwAddrLen, 0u);
    EXPECT_EQ(link->kind, LinkKind::Tunnel); // named as the dial-up device, it is counted all the same
    const std::uint64_t start = KernelBytes("tvppp", "tx");
    m.run();
    std::vector<char> drain(70000);
    for (int second = 0; second < 3; ++second) {
        for (int i = 0; i < 50; ++i) {
            SendDatagrams("10.9.7.2", 10, 20000);
            while (::read(tun, drain.data(), drain.size()) > 0) {
            }
        }
        upload(); // the Ethernet adapter's traffic is not the connection's
        m.run();
    }
    const std::uint64_t sent = KernelBytes("tvppp", "tx") - start;
    ASSERT_GT(sent, 0u);
    EXPECT_NEAR(m.state.totalUpBytes, double(sent), kSlack);
    EXPECT_EQ(m.tick.countedLinkText(), "tvppp");
    ::close(tun);
}

// The kernel's own description of a VPN: its tun device says it is a tunnel, the route to its
// server keeps the router, and the veth beneath is counted with the tunnel named above it.
TEST_F(NetlinkCounters, ATunnelOnTheDefaultRouteIsCountedOnTheLinkBeneath)
{
    const int tun = ::open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (tun < 0) {
        GTEST_SKIP() << "no /dev/net/tun";
    }
    ifreq request{};
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::strncpy(request.ifr_name, "tvvpn", IFNAMSIZ - 1);
    ASSERT_EQ(::ioctl(tun, TUNSETIFF, &request), 0);
    ASSERT_TRUE(
        Sh("ip addr add 10.9.8.1/24 dev tvvpn && ip link set tvvpn up"
           " && ip route add 10.9.9.1/32 via 10.9.0.2 dev tva && ip route replace default dev tvvpn"));
    Meter m;
    EXPECT_EQ(find(m, "tvvpn")->kind, LinkKind::Tunnel);
    EXPECT_EQ(find(m, "tva")->kind, LinkKind::Ethernet);
    std::vector<RouteEntry> routes;
    ASSERT_TRUE(m.routes.routeTable(routes));
    const auto has = [&](std::uint32_t index, int prefix, bool viaGateway) {
        return std::any_of(routes.begin(), routes.end(), [&](const RouteEntry& r) {
            return r.interfaceIndex == index && r.prefixLength == prefix && r.viaGateway == viaGateway &&
                   !r.ipv6;
        });
    };
    const std::uint32_t tunIndex = find(m, "tvvpn")->index;
    EXPECT_TRUE(has(tunIndex, 0, false));
    EXPECT_TRUE(has(50, 32, true));
    EXPECT_TRUE(has(50, 24, false));
    EXPECT_EQ(m.routes.defaultRouteInterface(), tunIndex);
    m.run();
    upload();
    download();
    m.run();
    expectCountedTva(m);
    EXPECT_EQ(m.tick.countedLinkText(), "tva (unter tvvpn)");
    ::close(tun);
}

} // namespace
} // namespace tavlor
