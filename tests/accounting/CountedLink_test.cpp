// Which link the tick counts, on links held in memory with the kernel's 64-bit counters.
#include "accounting/AccountingTick.h"
#include "text/WidgetNames.h"

#include "TickHarness.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavlor {
namespace {

using test::MakeRow;

constexpr std::uint64_t k4GiB = 1ULL << 32;

class CountedLink : public ::testing::Test, protected test::TickHarness
{
protected:
    CountedLink()
    {
        for (LinkRow& row : source.rows) {
            row.counterBits = 64;
        }
        state.onLAN = true;
    }
    LinkRow& named(std::uint32_t index, const char* name, std::uint32_t hwLen = 6)
    {
        source.rows.push_back(MakeRow(index, hwLen, 0, 0, 100000000, 64));
        source.rows.back().name = name;
        return source.rows.back();
    }
};

TEST_F(CountedLink, GatewayModeCountsTheDefaultRoutesLinkBothWaysAndFollowsTheRoute)
{
    source.byIndex(10).up = false; // the first adapter is down, like an unused ifb0
    routes.index = 20;
    rowB().speedBps = 54000000;
    run();
    rowB().rxBytes += 5000;
    rowB().txBytes += 7000;
    downRow().rxBytes += 999; // not the online link
    run();
    EXPECT_EQ(state.totalDownBytes, 5000);
    EXPECT_EQ(state.totalUpBytes, 7000);
    EXPECT_EQ(view.text(names::lSpeed), "54Mbit");
    EXPECT_EQ(tick.countedLinkText(), "link20");

    // The route moves to A, whose counter stands far higher: only its growth from now counts.
    downRow().rxBytes = 9 * k4GiB;
    routes.index = 10;
    run();
    downRow().rxBytes += 300;
    run();
    EXPECT_EQ(state.totalDownBytes, 5300);
    EXPECT_EQ(tick.countedLinkText(), "link10");
}

// While the table stands only the counted link is read each second; a link chosen while its
// counter went unread starts from a fresh reading, and a reading that fails loses nothing.
TEST_F(CountedLink, OnlyTheCountedLinkIsReadWhileTheTableStandsAndNothingIsInventedOrLost)
{
    source.announces = true;
    routes.index = 20;
    run();
    rowB().rxBytes += 5000;
    downRow().rxBytes += 999; // not online, and not read
    run();
    EXPECT_EQ(source.calls, 1);
    EXPECT_EQ(source.counterCalls, 1);
    EXPECT_EQ(state.totalDownBytes, 5000);

    source.counterFailures = {true};
    rowB().rxBytes += 100;
    run();
    rowB().rxBytes += 100;
    run();
    EXPECT_EQ(state.totalDownBytes, 5200);

    // The route moves to A, whose counter grew unread, and its first reading fails.
    downRow().rxBytes += 7777;
    routes.index = 10;
    source.counterFailures = {true};
    run();
    downRow().rxBytes += 1234; // before A's first reading: not the connection's yet
    run();
    downRow().rxBytes += 300;
    run();
    EXPECT_EQ(state.totalDownBytes, 5500);
    EXPECT_EQ(tick.countedLinkText(), "link10");

    named(30, "wwan0");
    source.changed = true;
    run();
    EXPECT_EQ(source.calls, 2);
}

TEST_F(CountedLink, ADialUpDeviceWithoutAHardwareAddressIsCountedOutsideGatewayMode)
{
    state.onLAN = false;
    named(30, "ppp0", 0).kind = LinkKind::PointToPoint;
    dialup.name = "ppp0";
    run();
    source.byIndex(30).rxBytes = 4000;
    source.byIndex(30).txBytes = 1000;
    downRow().rxBytes = 123456;
    run();
    EXPECT_EQ(state.totalDownBytes, 4000);
    EXPECT_EQ(state.totalUpBytes, 1000);
    EXPECT_EQ(tick.countedLinkText(), "ppp0");
}

TEST_F(CountedLink, ALinkAddedBeforeTheCountedOneIsNotCountedInstead)
{
    for (const bool deliberateRows : {false, true}) {
        TickHarness h;
        h.state.downloadMethod = deliberateRows ? 1 : 0; // 1/1: both from the row after A, B
        h.state.uploadMethod = 1;
        const std::uint32_t counted = deliberateRows ? 20 : 10;
        h.run();
        h.source.rows.push_back(MakeRow(5, 6, 777777, 888888)); // sorts before every adapter
        h.source.byIndex(counted).rxBytes += 100;
        h.source.byIndex(counted).txBytes += 200;
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 100) << deliberateRows;
        EXPECT_EQ(h.state.totalUpBytes, 200) << deliberateRows;
    }
}

TEST_F(CountedLink, ALinkCreatedAgainIsCountedFromItsFirstReadingAndTheGapInventsNothing)
{
    for (const std::uint32_t newIndex : {10u, 42u}) {
        TickHarness h;
        for (LinkRow& row : h.source.rows) {
            row.counterBits = 64;
        }
        h.downRow().rxBytes = 5 * k4GiB;
        h.run();
        h.downRow().rxBytes += 3 * k4GiB;
        h.run();
        const LinkRow gone = h.downRow();
        h.source.rows.erase(h.source.rows.begin() + 1);
        for (int second = 0; second < 4; ++second) {
            h.run(); // failed samples while the link is away
        }
        LinkRow again = gone;
        again.index = newIndex;
        again.rxBytes = 1000; // counted since it was created, before its first reading
        h.source.rows.push_back(again);
        h.run();
        h.source.byIndex(newIndex).rxBytes += 500;
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 3.0 * k4GiB + 1500) << newIndex;
    }
}

TEST_F(CountedLink, MoreThanFourGibibytesBetweenTwoSamplesAreCountedOnAFullWidthCounter)
{
    run();
    downRow().rxBytes += 12 * k4GiB + 17;
    run(20000);
    EXPECT_EQ(state.totalDownBytes, 12.0 * k4GiB + 17);
}

TEST(TimeCounters, SaturateAtTheLargestTimeInsteadOfOverflowing)
{
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    struct Case
    {
        std::int32_t h, m, s;
        std::int32_t wantH, wantM, wantS;
    };
    const Case cases[] = {
        {kMost, 59, 59, kMost, 59, 59}, {kMost, 59, 58, kMost, 59, 59}, {kMost - 1, 59, 59, kMost, 0, 0},
        {0, kMost, 59, 0, kMost, 59},   {0, 0, kMost, 0, 0, kMost},
    };
    for (const Case& c : cases) {
        test::TickHarness h;
        h.state.totalHours = c.h;
        h.state.totalMinutes = c.m;
        h.state.totalSeconds = c.s;
        h.run();
        EXPECT_EQ(h.state.totalHours, c.wantH) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(h.state.totalMinutes, c.wantM) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(h.state.totalSeconds, c.wantS) << c.h << ":" << c.m << ":" << c.s;
    }
}

// Gateway mode behind tunnels, on links held in memory: which link is billed, step by step while
// the routes change. Every link grows by its own amount each second, so counting the wrong one
// shows in the totals; only a switch between links may drop its one second.
TEST(BilledLink, TheLinkBeneathATunnelIsCountedWhileTheRoutesChange)
{
    struct Link
    {
        std::uint32_t index;
        const char* name;
        LinkKind kind;
        std::uint32_t hwLen;
    };
    const std::vector<Link> links = {
        {31, "eth0", LinkKind::Ethernet, 6},     {32, "wlan0", LinkKind::Ethernet, 6},
        {33, "ppp0", LinkKind::PointToPoint, 0}, {34, "wwan0", LinkKind::PointToPoint, 0},
        {35, "tun0", LinkKind::Tunnel, 0},       {36, "tap0", LinkKind::Tunnel, 6},
        {37, "wg0", LinkKind::Tunnel, 0},        {38, "gre1", LinkKind::Tunnel, 0},
        {39, "tun1", LinkKind::Tunnel, 0},       {40, "eth9", LinkKind::Ethernet, 6}, // down
    };
    const auto def = [](std::uint32_t index, std::uint32_t metric = 0, bool ipv6 = false) {
        return RouteEntry{index, 0, true, ipv6, metric};
    };
    const auto net = [](std::uint32_t index, std::uint8_t prefix, bool viaGateway, std::uint32_t metric = 0) {
        return RouteEntry{index, prefix, viaGateway, false, metric};
    };
    const RouteEntry lan = net(31, 24, false);     // eth0's own subnet
    const RouteEntry endpoint = net(31, 32, true); // the VPN server, through eth0's router
    const RouteEntry endpointWifi = net(32, 32, true);
    struct Step
    {
        std::vector<RouteEntry> routes;
        const char* counted; // the expert dialog's line
    };
    struct Case
    {
        const char* what;
        std::vector<Step> steps;
        const char* dialup = ""; // outside gateway mode: the dial-up device's name
    };
    const std::vector<Case> cases = {
        {"a plain default route", {{{def(31, 100), lan}, "eth0"}}},
        {"tun over the old default", {{{def(35, 50), def(31, 100), lan}, "eth0 (unter tun0)"}}},
        {"tap over the old default", {{{def(36, 50), def(31, 100)}, "eth0 (unter tap0)"}}},
        {"WireGuard replacing the default", {{{def(37), lan, endpoint}, "eth0 (unter wg0)"}}},
        {"GRE, the next default route IPv6 only", {{{def(38), def(32, 600, true)}, "wlan0 (unter gre1)"}}},
        {"the lowest metric of the other default routes",
         {{{def(35), def(32, 600), def(31, 100), def(40, 1)}, "eth0 (unter tun0)"}}},
        {"the most specific route leaving through a router",
         {{{def(35), net(32, 8, true), endpoint, lan}, "eth0 (unter tun0)"}}},
        {"split routes over tun, the default left alone", {{{net(35, 1, false), def(31, 100)}, "eth0"}}},
        {"tunnel in a tunnel", {{{def(39, 10), def(35, 50), endpoint}, "eth0 (unter tun1)"}}},
        {"ppp as the next default", {{{def(35, 50), def(33, 700)}, "ppp0 (unter tun0)"}}},
        {"ppp under a tunnel, only its peer route left",
         {{{def(35), net(33, 32, false)}, "ppp0 (unter tun0)"}}},
        {"ppp and wwan are billed themselves", {{{def(33)}, "ppp0"}, {{def(34)}, "wwan0"}}},
        {"no non-tunnel route: the tunnel itself", {{{def(35), lan, net(40, 32, true)}, "tun0"}}},
        {"a dial-up link with a VPN over it", {{{def(35), net(33, 32, false)}, "ppp0"}}, "ppp0"},
        {"a dial-up device is never skipped", {{{def(35)}, "tun0"}}, "tun0"},
        {"a VPN comes up and goes down",
         {{{def(31, 100), lan}, "eth0"},
          {{def(35, 50), def(31, 100), lan}, "eth0 (unter tun0)"},
          {{def(31, 100), lan}, "eth0"}}},
        {"a VPN replaces the default route one route at a time",
         {{{def(31, 100), lan}, "eth0"},
          {{lan}, "eth0"},
          {{def(35), lan}, "eth0"},
          {{def(35), lan, endpoint}, "eth0 (unter tun0)"},
          {{lan}, "eth0"},
          {{def(31, 100), lan}, "eth0"}}},
        {"the VPN's endpoint moves to Wi-Fi",
         {{{def(35), endpoint}, "eth0 (unter tun0)"},
          {{def(35), endpointWifi}, "wlan0 (unter tun0)"},
          {{def(35), endpointWifi}, "wlan0 (unter tun0)"}}},
        {"the default moves to another tunnel on the same link",
         {{{def(35, 50), def(31, 100)}, "eth0 (unter tun0)"},
          {{def(37, 50), def(31, 100)}, "eth0 (unter wg0)"}}},
        {"the carrier shows up after the tunnel was counted",
         {{{def(35), lan}, "tun0"}, {{def(35), lan, endpoint}, "eth0 (unter tun0)"}}},
    };
    const auto growthDown = [](std::uint32_t index) { return std::int64_t{1000} * index; };
    const auto growthUp = [](std::uint32_t index) { return std::int64_t{30} * index; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TickHarness h;
        for (const Link& link : links) {
            h.source.rows.push_back(MakeRow(link.index, link.hwLen, 0, 0, 100000000, 64));
            h.source.rows.back().name = link.name;
            h.source.rows.back().kind = link.kind;
            h.source.rows.back().up = link.index != 40;
        }
        h.state.onLAN = *c.dialup == '\0';
        h.dialup.name = c.dialup;
        std::int64_t down = 0;
        std::int64_t up = 0;
        std::string before;
        for (const Step& step : c.steps) {
            h.routes.setTable(step.routes);
            for (LinkRow& row : h.source.rows) {
                row.rxBytes += static_cast<std::uint64_t>(growthDown(row.index));
                row.txBytes += static_cast<std::uint64_t>(growthUp(row.index));
            }
            h.run();
            const std::string counted = h.tick.countedLinkText();
            EXPECT_EQ(counted, step.counted) << "step " << (&step - c.steps.data());
            const std::string link = counted.substr(0, counted.find(' '));
            if (link == before) {
                for (const Link& l : links) {
                    if (link == l.name) {
                        down += growthDown(l.index);
                        up += growthUp(l.index);
                    }
                }
            }
            before = link;
        }
        EXPECT_EQ(h.state.totalDownBytes, down);
        EXPECT_EQ(h.state.totalUpBytes, up);
    }
}

} // namespace
} // namespace tavlor
