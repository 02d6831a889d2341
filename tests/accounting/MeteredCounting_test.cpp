// The connection a second counts, and a metered primary counted by its own link.
#include "accounting/AccountingTick.h"

#include "TickHarness.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::MakeRow;

// Adapters link10 and link20 as the harness has them, and the hotspot's wlan0 (index 30) and a
// phone's usb0 (index 40), all with 64-bit counters already far from zero.
struct MeteredRig : test::TickHarness
{
    MeteredRig()
    {
        for (LinkRow& row : source.rows) {
            row.counterBits = 64;
            row.rxBytes = 7000000;
            row.txBytes = 9000000;
        }
        add(30, "wlan0");
        add(40, "usb0");
        state.countMetered = true;
        meteredOver("/ac/1", "Hotspot", "wlan0");
    }
    void add(std::uint32_t index, const char* name)
    {
        source.rows.push_back(MakeRow(index, 6, 5000000, 6000000, 100000000, 64));
        source.rows.back().name = name;
    }
    void meteredOver(const char* id, const char* name, const char* link)
    {
        hooks.decision = OnlineDecision{true, {CountedKind::Metered, id, name}, link};
    }
    // Traffic on every link; only the counted one may count.
    void traffic(std::uint64_t down, std::uint64_t up)
    {
        for (LinkRow& row : source.rows) {
            row.rxBytes += down;
            row.txBytes += up;
        }
    }
};

class MeteredCounting : public ::testing::Test, protected MeteredRig
{
};

TEST_F(MeteredCounting, TheMeteredPrimaryIsCountedByItsOwnLinkNotTheFirstAdapter)
{
    run();
    traffic(1500, 300);
    run();
    EXPECT_EQ(state.totalDownBytes, 1500);
    EXPECT_EQ(state.totalUpBytes, 300);
    EXPECT_EQ(last().downLink, (LinkIdentity{30, "wlan0"}));
    EXPECT_EQ(last().connection, (CountedConnection{CountedKind::Metered, "/ac/1", "Hotspot"}));
    EXPECT_EQ(tick.countedLinkText(), "wlan0");
}

TEST_F(MeteredCounting, APrimaryChangingBetweenTicksKeepsCountingByTheLinksIdentity)
{
    struct Case
    {
        const char* what;
        const char* link;        // the primary's link after the change
        std::uint32_t nowIndex;  // wlan0 created again under a new index (0: as it was)
        std::uint64_t jump;      // the new link's counter moves before its first reading
        double countedAfterSwap; // what the tick after the change counts of 2000 bytes
    } cases[] = {
        // Activated again (a new active connection) on the same link: no gap, no loss.
        {"same link, new id", "wlan0", 0, 0, 2000},
        // Another link: its counter says nothing about this connection's traffic so far.
        {"another link", "usb0", 0, 800000000, 0},
        // The link created again: everything its new counter counted belongs to it.
        {"link created again", "wlan0", 31, 0, 2000},
    };
    for (const Case& c : cases) {
        MeteredRig h;
        h.run();
        h.traffic(1000, 1000);
        h.run();
        h.meteredOver("/ac/2", "Zweite", c.link);
        if (c.nowIndex != 0) {
            LinkRow& wlan = h.source.byIndex(30); // the old index goes with it
            wlan.index = c.nowIndex;
            wlan.rxBytes = 0;
            wlan.txBytes = 0;
        }
        h.source.byIndex(40).rxBytes += c.jump;
        h.traffic(2000, 2000);
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 1000 + c.countedAfterSwap) << c.what;
        EXPECT_EQ(h.last().connection, (CountedConnection{CountedKind::Metered, "/ac/2", "Zweite"}))
            << c.what;
        h.traffic(3000, 500);
        h.run();
        EXPECT_EQ(h.state.totalDownBytes, 4000 + c.countedAfterSwap) << c.what;
        EXPECT_EQ(h.state.totalUpBytes, 1500 + c.countedAfterSwap) << c.what;
        EXPECT_EQ(h.last().downLink.name, c.link) << c.what;
    }
}

TEST_F(MeteredCounting, ALinkNotInSightYetIsWaitedForNotReplacedByAnotherAdapter)
{
    meteredOver("/ac/3", "Telefon", "rndis0");
    run();
    traffic(5000, 5000);
    run();
    EXPECT_TRUE(last().online);
    EXPECT_EQ(state.totalDownBytes, 0);
    EXPECT_EQ(last().downLink, LinkIdentity{});
    // The phone's link appears: counted from its first reading on.
    add(50, "rndis0");
    run();
    traffic(700, 70);
    run();
    EXPECT_EQ(state.totalDownBytes, 700);
    EXPECT_EQ(state.totalUpBytes, 70);

    // Moved to a link not there yet: the old link's traffic is not the new connection's.
    meteredOver("/ac/4", "Anderes", "wwan0");
    traffic(900, 90);
    run();
    EXPECT_EQ(state.totalDownBytes, 700);
    EXPECT_EQ(last().downLink, LinkIdentity{});
}

TEST_F(MeteredCounting, APrimaryThatVanishesEndsTheSessionAndKeepsEveryCountedByte)
{
    run();
    traffic(4000, 400);
    run();
    hooks.decision = OnlineDecision{}; // gone, or no longer metered, or the service went away
    traffic(9999, 9999);
    run();
    EXPECT_FALSE(last().online);
    EXPECT_EQ(last().connection, CountedConnection{});
    EXPECT_EQ(state.totalDownBytes, 4000);
    EXPECT_EQ(state.totalUpBytes, 400);
    // Back: the traffic while it was away is not counted, what follows is.
    meteredOver("/ac/5", "Hotspot", "wlan0");
    traffic(1234, 1234);
    run();
    traffic(100, 10);
    run();
    EXPECT_EQ(state.totalDownBytes, 4100);
    EXPECT_EQ(state.totalUpBytes, 410);
}

TEST_F(MeteredCounting, EverySecondNamesTheConnectionItCountedFor)
{
    struct Case
    {
        const char* what;
        bool gateway;
        std::optional<OnlineDecision> decision;
        const char* profileOverLink20; // the profile the connection service names for link20
        CountedConnection expected;
    } cases[] = {
        {"dial-up",
         false,
         OnlineDecision{true, {CountedKind::Dialup, "/ac/7", "Mobil"}, "usb0"},
         "",
         {CountedKind::Dialup, "/ac/7", "Mobil"}},
        {"metered",
         false,
         OnlineDecision{true, {CountedKind::Metered, "/ac/8", "Hotspot"}, "wlan0"},
         "",
         {CountedKind::Metered, "/ac/8", "Hotspot"}},
        {"gateway with a profile",
         true,
         std::nullopt,
         "B\xC3\xBCro",
         {CountedKind::Gateway, "", "B\xC3\xBCro"}},
        {"gateway without one", true, std::nullopt, "", {CountedKind::Gateway, "", "link20"}},
        {"offline", false, OnlineDecision{}, "", {}},
    };
    for (const Case& c : cases) {
        MeteredRig h;
        h.state.onLAN = c.gateway;
        h.routes.index = 20;
        h.hooks.decision = c.decision;
        if (*c.profileOverLink20 != '\0') {
            h.hooks.profileOver["link20"] = c.profileOverLink20;
        }
        h.run();
        EXPECT_EQ(h.last().connection, c.expected) << c.what;
        EXPECT_EQ(h.tick.reading().connection, c.expected) << c.what;
    }
}

} // namespace
} // namespace tavlor
