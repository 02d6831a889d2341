#pragma once

#include "platform/DefaultRouteSource.h"

namespace tavlor::win32 {

// The default route from IP Helper's forwarding table: the lowest metric wins, IPv4 first.
class WinDefaultRouteSource final : public DefaultRouteSource
{
public:
    std::uint32_t defaultRouteInterface() override;
    bool routeTable(std::vector<RouteEntry>& routes) override;
};

} // namespace tavlor::win32
