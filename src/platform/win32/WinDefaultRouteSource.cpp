#include "platform/win32/WinDefaultRouteSource.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <algorithm>
#include <iterator>

namespace tavlor::win32 {

namespace {
std::uint32_t defaultRouteOf(ADDRESS_FAMILY family)
{
    PMIB_IPFORWARD_TABLE2 table = nullptr;
    if (GetIpForwardTable2(family, &table) != NO_ERROR || table == nullptr) {
        return 0;
    }
    std::uint32_t index = 0;
    ULONG best = 0;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.DestinationPrefix.PrefixLength != 0 || row.InterfaceIndex == 0) {
            continue;
        }
        if (index == 0 || row.Metric < best) {
            index = row.InterfaceIndex;
            best = row.Metric;
        }
    }
    FreeMibTable(table);
    return index;
}
bool nextHopIsSet(const SOCKADDR_INET& hop)
{
    if (hop.si_family == AF_INET) {
        return hop.Ipv4.sin_addr.s_addr != 0;
    }
    if (hop.si_family == AF_INET6) {
        const auto& bytes = hop.Ipv6.sin6_addr.s6_addr;
        return std::any_of(std::begin(bytes), std::end(bytes), [](unsigned char b) { return b != 0; });
    }
    return false;
}

bool appendRoutes(ADDRESS_FAMILY family, std::vector<RouteEntry>& routes)
{
    PMIB_IPFORWARD_TABLE2 table = nullptr;
    if (GetIpForwardTable2(family, &table) != NO_ERROR || table == nullptr) {
        return false;
    }
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.InterfaceIndex == 0) {
            continue;
        }
        routes.push_back(RouteEntry{row.InterfaceIndex, row.DestinationPrefix.PrefixLength,
                                    nextHopIsSet(row.NextHop), family == AF_INET6,
                                    static_cast<std::uint32_t>(row.Metric)});
    }
    FreeMibTable(table);
    return true;
}
} // namespace

bool WinDefaultRouteSource::routeTable(std::vector<RouteEntry>& routes)
{
    routes.clear();
    if (!appendRoutes(AF_INET, routes)) {
        return false;
    }
    appendRoutes(AF_INET6, routes); // a system without IPv6 has the IPv4 table only
    return true;
}

std::uint32_t WinDefaultRouteSource::defaultRouteInterface()
{
    const std::uint32_t v4 = defaultRouteOf(AF_INET);
    return v4 != 0 ? v4 : defaultRouteOf(AF_INET6);
}

} // namespace tavlor::win32
