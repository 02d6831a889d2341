#include "netmeter/CountedLinks.h"

#include "netmeter/Kvonline.h"

#include <tuple>

namespace tavlor {

namespace {
bool isDefaultMethods(std::int32_t downloadMethod, std::int32_t uploadMethod)
{
    return downloadMethod == 0 && uploadMethod == 1;
}
} // namespace

bool IsTunnel(const LinkRow& row)
{
    return row.kind == LinkKind::Tunnel;
}

const LinkRow* CarrierBeneath(const InterfaceSampler& sampler, const std::vector<RouteEntry>& routes)
{
    // Smaller is better: default routes first, then the most specific route; IPv4 before IPv6;
    // the lowest metric.
    using Rank = std::tuple<int, bool, int, std::uint32_t>;
    const LinkRow* best = nullptr;
    Rank bestRank;
    for (const RouteEntry& route : routes) {
        const LinkRow* link = sampler.findIndex(route.interfaceIndex);
        if (link == nullptr || !link->up || IsTunnel(*link) || link->kind == LinkKind::Loopback) {
            continue;
        }
        const bool isDefault = route.prefixLength == 0;
        // A route to a neighbour on a LAN says nothing about where the outer traffic goes.
        if (!isDefault && !route.viaGateway && link->kind != LinkKind::PointToPoint) {
            continue;
        }
        const Rank rank{isDefault ? 0 : 1, route.ipv6, -static_cast<int>(route.prefixLength), route.metric};
        if (best == nullptr || rank < bestRank) {
            best = link;
            bestRank = rank;
        }
    }
    return best;
}

void CountedLinks::release()
{
    m_down = Held{};
    m_up = Held{};
    m_rechoose = false;
    m_under.clear();
}

const LinkRow* CountedLinks::beneath(const InterfaceSampler& sampler, const LinkRow& tunnel)
{
    if (sampler.routeTable(m_routes)) {
        if (const LinkRow* carrier = CarrierBeneath(sampler, m_routes)) {
            m_under = tunnel.name;
            return carrier;
        }
    }
    // A VPN coming up or going down changes its routes one by one: for a moment its endpoint's
    // route may be missing. The link counted so far is then followed (or waited for), never
    // swapped for the tunnel and back, which would drop the bytes of both switches.
    if (m_down.held && !m_rechoose &&
        (sampler.findIndex(m_down.index) != nullptr || sampler.findName(m_down.name) != nullptr)) {
        return nullptr;
    }
    m_under.clear();
    return &tunnel;
}

const LinkRow* CountedLinks::online(const InterfaceSampler& sampler, bool gateway,
                                    const std::string& linkName, bool onlyThatLink)
{
    const bool named = !gateway && !linkName.empty();
    if (const LinkRow* row = named ? sampler.findName(linkName) : sampler.onlineLink(gateway)) {
        if (gateway && IsTunnel(*row)) {
            return beneath(sampler, *row);
        }
        m_under.clear();
        return row;
    }
    m_under.clear();
    // While the online link is away (deleted, its route gone) the counted one is waited for,
    // not replaced by whichever adapter happens to be up.
    if ((m_down.held && !m_rechoose) || (named && onlyThatLink)) {
        return nullptr;
    }
    return sampler.firstUpAdapter();
}

CountedLinks::Picks CountedLinks::choose(const InterfaceSampler& sampler, std::int32_t downloadMethod,
                                         std::int32_t uploadMethod, bool gateway, const std::string& linkName,
                                         bool onlyThatLink)
{
    Picks picks;
    if (!sampler.haveSnapshot()) {
        return picks;
    }
    if (isDefaultMethods(downloadMethod, uploadMethod)) {
        const LinkRow* wanted = online(sampler, gateway, linkName, onlyThatLink);
        // The connection moved to a link not in sight yet: the old link's bytes are not its own.
        if (wanted == nullptr && !gateway && !linkName.empty() && onlyThatLink) {
            for (Held* held : {&m_down, &m_up}) {
                if (held->held && held->name != linkName) {
                    *held = Held{};
                }
            }
        }
        picks.down = follow(sampler, m_down, wanted);
        picks.up = follow(sampler, m_up, wanted);
        picks.speed = picks.down.row != nullptr ? picks.down.row : picks.up.row;
    } else {
        m_under.clear();
        const bool choosing = m_rechoose;
        const auto rowFor = [&](const Held& held, char kind) {
            return held.held && !choosing ? nullptr : sampler.methodRow(kind, downloadMethod, uploadMethod);
        };
        picks.down = follow(sampler, m_down, rowFor(m_down, 'i'));
        picks.up = follow(sampler, m_up, rowFor(m_up, 'o'));
        picks.speed = sampler.methodRow('s', downloadMethod, uploadMethod);
    }
    m_rechoose = false;
    return picks;
}

LinkPick CountedLinks::follow(const InterfaceSampler& sampler, Held& held, const LinkRow* wanted) const
{
    if (wanted != nullptr && !(held.held && held.index == wanted->index && held.name == wanted->name)) {
        const bool recreated = held.held && !held.name.empty() && held.name == wanted->name;
        held = Held{true, wanted->index, wanted->name};
        return {wanted, recreated ? LinkEvent::Recreated : LinkEvent::Switched};
    }
    if (!held.held) {
        return {};
    }
    if (const LinkRow* row = sampler.findIndex(held.index); row != nullptr && row->name == held.name) {
        return {row, LinkEvent::Same};
    }
    // Deleted and created again: a new index under the old name.
    if (const LinkRow* row = sampler.findName(held.name)) {
        held.index = row->index;
        return {row, LinkEvent::Recreated};
    }
    return {};
}

std::string CountedLinks::countedText() const
{
    if (!m_down.held && !m_up.held) {
        return {};
    }
    if (m_down.held && m_up.held && m_down.index == m_up.index && m_down.name == m_up.name) {
        return m_under.empty() || m_under == m_down.name ? m_down.name
                                                         : m_down.name + " (unter " + m_under + ")";
    }
    const auto name = [](const Held& h) { return h.held ? h.name : std::string("-"); };
    return name(m_down) + " (Download), " + name(m_up) + " (Upload)";
}

} // namespace tavlor
