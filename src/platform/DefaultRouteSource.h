#pragma once

#include <cstdint>

namespace tavlor {

// Which link carries the machine's default route: what a LAN, Wi-Fi or router user is online
// through. Answers from what the system keeps in memory; a call never waits on a bus.
class DefaultRouteSource
{
public:
    virtual ~DefaultRouteSource() = default;
    // Interface index of the IPv4 default route, else of the IPv6 one; 0 when there is none.
    virtual std::uint32_t defaultRouteInterface() = 0;
};

} // namespace tavlor
