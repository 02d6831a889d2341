#pragma once

#include "platform/DefaultRouteSource.h"
#include "platform/InterfaceRowSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

class InterfaceSampler;

// How this tick's link relates to the one a direction read before.
enum class LinkEvent
{
    None,      // nothing to read this tick (link gone, table unreadable)
    Same,      // the link read before
    Recreated, // a new link under the old name: its counters started at zero
    Switched   // another link, or the first one: its counter says nothing about the last reading
};

struct LinkPick
{
    const LinkRow* row = nullptr;
    LinkEvent event = LinkEvent::None;
};

// A link whose packets another link carries, wrapped (tun, tap, WireGuard, GRE, ...). A dial-up
// link (ppp, wwan) is none: it is the one the provider bills.
bool IsTunnel(const LinkRow& row);

// The link that carries a tunnel's outer traffic, told from the routes: the non-tunnel link of
// the best other default route (IPv4 first, lowest metric), else the non-tunnel link of the
// most specific route that leaves the machine (through a router, or over a point-to-point
// link), as the one a VPN keeps towards its own endpoint. nullptr when no route leaves by a
// working non-tunnel link.
const LinkRow* CarrierBeneath(const InterfaceSampler& sampler, const std::vector<RouteEntry>& routes);

// Which link each direction counts. Once a direction counts a link it keeps counting that link
// (index and name) while others come, go or reorder. With the default methods both directions
// follow the online link (the dial-up device, or the default route in gateway mode; else the
// first working adapter); any other pair of methods keeps the row arithmetic for its choice.
// In gateway mode a default route over a tunnel counts the link beneath it (CarrierBeneath):
// the bytes the provider bills, headers and all. Where that link cannot be told, the link
// counted so far stays counted, and a first choice counts the tunnel itself.
class CountedLinks
{
public:
    struct Picks
    {
        LinkPick down;
        LinkPick up;
        const LinkRow* speed = nullptr; // the row of the link-speed text
    };

    // Against the sampler's current snapshot. Outside gateway mode `linkName` names the online
    // link (a dial-up or metered connection's); "" leaves it to the sampler's dial-up link.
    // With onlyThatLink (a metered connection, counted by its link alone) a named link that is
    // not there is waited for, never replaced by the first working adapter.
    Picks choose(const InterfaceSampler& sampler, std::int32_t downloadMethod, std::int32_t uploadMethod,
                 bool gateway, const std::string& linkName = {}, bool onlyThatLink = false);
    // Choose by the rules again at the next tick (the methods changed); a link chosen again
    // counts on without a gap.
    void rechoose() { m_rechoose = true; }
    // Forget the links (the session ended).
    void release();
    // Forget one direction's link: it was just chosen but could not be read, and is chosen
    // again at the next tick.
    void forget(bool download) { (download ? m_down : m_up) = Held{}; }
    // "wlan0", "eth0 (unter tun0)", or "eth0 (Download), eth1 (Upload)"; empty while no link
    // is counted.
    std::string countedText() const;

private:
    struct Held
    {
        bool held = false;
        std::uint32_t index = 0;
        std::string name;
    };

    LinkPick follow(const InterfaceSampler& sampler, Held& held, const LinkRow* wanted) const;
    const LinkRow* online(const InterfaceSampler& sampler, bool gateway, const std::string& linkName,
                          bool onlyThatLink);
    const LinkRow* beneath(const InterfaceSampler& sampler, const LinkRow& tunnel);

    Held m_down;
    Held m_up;
    bool m_rechoose = false;
    std::string m_under;              // the tunnel above the counted link; empty when none
    std::vector<RouteEntry> m_routes; // storage for the route table, kept between ticks
};

} // namespace tavlor
