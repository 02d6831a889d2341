#include "netmeter/CountedLinks.h"

#include "netmeter/Kvonline.h"

namespace tavlor {

namespace {
bool isDefaultMethods(std::int32_t downloadMethod, std::int32_t uploadMethod)
{
    return downloadMethod == 0 && uploadMethod == 1;
}
} // namespace

void CountedLinks::release()
{
    m_down = Held{};
    m_up = Held{};
    m_rechoose = false;
}

const LinkRow* CountedLinks::online(const InterfaceSampler& sampler, bool gateway) const
{
    if (const LinkRow* row = sampler.onlineLink(gateway)) {
        return row;
    }
    // While the online link is away (deleted, its route gone) the counted one is waited for,
    // not replaced by whichever adapter happens to be up.
    if (m_down.held && !m_rechoose) {
        return nullptr;
    }
    return sampler.firstUpAdapter();
}

CountedLinks::Picks CountedLinks::choose(const InterfaceSampler& sampler, std::int32_t downloadMethod,
                                         std::int32_t uploadMethod, bool gateway)
{
    Picks picks;
    if (!sampler.haveSnapshot()) {
        return picks;
    }
    if (isDefaultMethods(downloadMethod, uploadMethod)) {
        const LinkRow* wanted = online(sampler, gateway);
        picks.down = follow(sampler, m_down, wanted);
        picks.up = follow(sampler, m_up, wanted);
        picks.speed = picks.down.row != nullptr ? picks.down.row : picks.up.row;
    } else {
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
        return m_down.name;
    }
    const auto name = [](const Held& h) { return h.held ? h.name : std::string("-"); };
    return name(m_down) + " (Download), " + name(m_up) + " (Upload)";
}

} // namespace tavlor
