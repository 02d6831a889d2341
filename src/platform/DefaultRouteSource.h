#pragma once

#include <cstdint>
#include <vector>

namespace tavlor {

// One route of the system's main table, as far as the choice of the counted link needs it.
struct RouteEntry
{
    std::uint32_t interfaceIndex = 0; // the output link
    std::uint8_t prefixLength = 0;    // 0 for a default route, 32 (128) for a single host
    bool viaGateway = false;          // sent to a router rather than to a neighbour on the link
    bool ipv6 = false;
    std::uint32_t metric = 0;
};

// Which link carries the machine's default route: what a LAN, Wi-Fi or router user is online
// through. Answers from what the system keeps in memory; a call never waits on a bus.
class DefaultRouteSource
{
public:
    virtual ~DefaultRouteSource() = default;
    // Interface index of the IPv4 default route, else of the IPv6 one; 0 when there is none.
    virtual std::uint32_t defaultRouteInterface() = 0;
    // Replaces `routes` with the main table's unicast routes that name an output link; reuses
    // the vector's storage. false when the table cannot be read. A source that only knows the
    // default route answers with that one.
    virtual bool routeTable(std::vector<RouteEntry>& routes)
    {
        routes.clear();
        if (const std::uint32_t index = defaultRouteInterface(); index != 0) {
            routes.push_back(RouteEntry{index, 0, false, false, 0});
        }
        return true;
    }
};

} // namespace tavlor
