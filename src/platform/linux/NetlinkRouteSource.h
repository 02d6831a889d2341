#pragma once

#include "platform/DefaultRouteSource.h"

#include <vector>

struct nlmsghdr;

namespace tavlor {

// The default route and the other routes of the kernel's main routing table over rtnetlink.
// The table is dumped again only after the kernel announced a route change, so an unchanged
// second costs one non-blocking receive.
class NetlinkRouteSource final : public DefaultRouteSource
{
public:
    NetlinkRouteSource();
    ~NetlinkRouteSource() override;
    NetlinkRouteSource(const NetlinkRouteSource&) = delete;
    NetlinkRouteSource& operator=(const NetlinkRouteSource&) = delete;

    std::uint32_t defaultRouteInterface() override;
    bool routeTable(std::vector<RouteEntry>& routes) override;

private:
    bool routesChanged();
    // Reads both families' tables into m_table when the kernel announced a change.
    bool current();
    bool dump(unsigned char family);
    void consider(const nlmsghdr* msg, bool ipv6);

    int m_query = -1;  // dumps
    int m_events = -1; // route change announcements
    std::uint32_t m_sequence = 0;
    bool m_stale = true;
    std::uint32_t m_index = 0;
    std::vector<RouteEntry> m_table;
    std::vector<char> m_buffer;
};

} // namespace tavlor
