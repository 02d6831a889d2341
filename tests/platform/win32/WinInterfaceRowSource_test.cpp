#include "platform/win32/WinInterfaceRowSource.h"

#include "netmeter/Kvonline.h"
#include "platform/win32/WinDefaultRouteSource.h"
#include "text/KvString.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tavlor::win32 {
namespace {

// The system's old table, read directly, to compare with what the row source hands on.
std::vector<MIB_IFROW> oldSystemRows()
{
    ULONG size = 0;
    GetIfTable(nullptr, &size, TRUE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, TRUE) != NO_ERROR) {
        return {};
    }
    return {table->table, table->table + table->dwNumEntries};
}

std::vector<LinkRow> read(WinInterfaceRowSource& source)
{
    std::vector<LinkRow> links;
    EXPECT_TRUE(source.readLinks(links));
    return links;
}

TEST(WinInterfaceRowSource, ListsTheSystemLinksInIndexOrderWithFullWidthCounters)
{
    WinInterfaceRowSource source;
    const std::vector<LinkRow> links = read(source);
    ASSERT_GE(links.size(), 2u) << "expects the loopback and at least one adapter";
    for (std::size_t i = 1; i < links.size(); ++i) {
        EXPECT_LT(links[i - 1].index, links[i].index);
    }
    for (const LinkRow& link : links) {
        EXPECT_EQ(link.counterBits, 64) << link.name;
        EXPECT_FALSE(link.name.empty()) << link.index;
        MIB_IF_ROW2 row{};
        row.InterfaceIndex = link.index;
        ASSERT_EQ(GetIfEntry2(&row), static_cast<DWORD>(NO_ERROR)) << link.name;
        EXPECT_EQ(link.hwAddrLen, row.PhysicalAddressLength) << link.name;
        EXPECT_EQ(link.up, row.OperStatus == IfOperStatusUp) << link.name;
    }
    EXPECT_EQ(links[0].kind, LinkKind::Loopback);
    EXPECT_GT(links[1].hwAddrLen, 0u);
}

TEST(WinInterfaceRowSource, TheOldTableIsTheFallbackWithThirtyTwoBitCounters)
{
    WinInterfaceRowSource source(WinInterfaceRowSource::Table::OldTable);
    const std::vector<LinkRow> links = read(source);
    const std::vector<MIB_IFROW> expected = oldSystemRows();
    ASSERT_EQ(links.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(links[i].index, expected[i].dwIndex) << "row " << i;
        EXPECT_EQ(links[i].hwAddrLen, expected[i].dwPhysAddrLen) << "row " << i;
        EXPECT_EQ(links[i].speedBps, expected[i].dwSpeed) << "row " << i;
        EXPECT_EQ(links[i].counterBits, 32) << "row " << i;
    }
    EXPECT_EQ(expected[0].dwType, static_cast<DWORD>(MIB_IF_TYPE_LOOPBACK));
    EXPECT_EQ(links[0].kind, LinkKind::Loopback);
    // Read again into the kept buffer: the same links.
    const std::vector<LinkRow> again = read(source);
    ASSERT_EQ(again.size(), links.size());
    EXPECT_EQ(again.back().index, links.back().index);
}

TEST(WinInterfaceRowSource, DrivesTheSamplerToTheFirstAdapterAfterTheLoopback)
{
    WinInterfaceRowSource source;
    WinDefaultRouteSource routes;
    const NumberFormat numbers(",");
    InterfaceSampler sampler(source, numbers, &routes);
    const double download = sampler.GetAdapterValue('i', 0, 1);
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_NE(download, -1.0);
    EXPECT_NE(sampler.GetAdapterText('s', 0, 1), "0 Bytes");
    // The default route, where the system has one, runs over a link of the table.
    const std::uint32_t routed = routes.defaultRouteInterface();
    if (routed != 0) {
        EXPECT_NE(sampler.onlineLink(true), nullptr) << routed;
    }
}

// Which adapters count as tunnels, by the values Windows reports for them.
TEST(WinInterfaceRowSource, TunnelAdaptersAreToldByTheirTypes)
{
    struct Case
    {
        const char* adapter;
        unsigned long type;
        unsigned long tunnelType;
        LinkKind kind;
    };
    const Case cases[] = {
        {"Ethernet", IF_TYPE_ETHERNET_CSMACD, TUNNEL_TYPE_NONE, LinkKind::Ethernet},
        {"Wi-Fi", IF_TYPE_IEEE80211, TUNNEL_TYPE_NONE, LinkKind::Ethernet},
        {"TAP-Windows (looks like Ethernet)", IF_TYPE_ETHERNET_CSMACD, TUNNEL_TYPE_NONE, LinkKind::Ethernet},
        {"Wintun / WireGuard", IF_TYPE_PROP_VIRTUAL, TUNNEL_TYPE_NONE, LinkKind::Tunnel},
        {"Teredo", IF_TYPE_TUNNEL, TUNNEL_TYPE_TEREDO, LinkKind::Tunnel},
        {"6to4 on an odd type", IF_TYPE_OTHER, TUNNEL_TYPE_6TO4, LinkKind::Tunnel},
        {"dial-up", IF_TYPE_PPP, TUNNEL_TYPE_NONE, LinkKind::PointToPoint},
        {"mobile broadband", 243, TUNNEL_TYPE_NONE, LinkKind::PointToPoint},
        {"loopback", IF_TYPE_SOFTWARE_LOOPBACK, TUNNEL_TYPE_NONE, LinkKind::Loopback},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KindOfInterface(c.type, c.tunnelType), c.kind) << c.adapter;
    }
}

// The route table IP Helper hands on names links of the table, and its best default route is
// the one defaultRouteInterface reports.
TEST(WinInterfaceRowSource, TheRouteTableAgreesWithTheDefaultRoute)
{
    WinDefaultRouteSource routes;
    std::vector<RouteEntry> table;
    ASSERT_TRUE(routes.routeTable(table));
    ASSERT_FALSE(table.empty()) << "a system has at least its loopback routes";
    WinInterfaceRowSource source;
    const std::vector<LinkRow> links = read(source);
    const std::uint32_t routed = routes.defaultRouteInterface();
    const RouteEntry* best = nullptr;
    for (const RouteEntry& route : table) {
        EXPECT_TRUE(std::any_of(links.begin(), links.end(), [&](const LinkRow& l) {
            return l.index == route.interfaceIndex;
        })) << route.interfaceIndex;
        if (route.prefixLength == 0 && !route.ipv6 && (best == nullptr || route.metric < best->metric)) {
            best = &route;
        }
    }
    if (best != nullptr) {
        EXPECT_EQ(best->interfaceIndex, routed);
    }
}

} // namespace
} // namespace tavlor::win32
