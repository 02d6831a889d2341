#pragma once

#include "platform/DefaultRouteSource.h"

#include <vector>

struct nlmsghdr;

namespace tavlor {

// The default route from the kernel's main routing table over rtnetlink. The table is dumped
// again only after the kernel announced a route change, so an unchanged second costs one
// non-blocking receive.
class NetlinkRouteSource final : public DefaultRouteSource
{
public:
    NetlinkRouteSource();
    ~NetlinkRouteSource() override;
    NetlinkRouteSource(const NetlinkRouteSource&) = delete;
    NetlinkRouteSource& operator=(const NetlinkRouteSource&) = delete;

    std::uint32_t defaultRouteInterface() override;

private:
    bool routesChanged();
    // Lowest-metric default route of one family: its output interface, 0 when none.
    bool dumpDefault(unsigned char family, std::uint32_t& index);
    void consider(const nlmsghdr* msg, std::uint32_t& index, std::uint32_t& metric) const;

    int m_query = -1;  // dumps
    int m_events = -1; // route change announcements
    std::uint32_t m_sequence = 0;
    bool m_stale = true;
    std::uint32_t m_index = 0;
    std::vector<char> m_buffer;
};

} // namespace tavlor
