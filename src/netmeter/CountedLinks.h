#pragma once

#include "platform/InterfaceRowSource.h"

#include <cstdint>
#include <string>

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

// Which link each direction counts. Once a direction counts a link it keeps counting that link
// (index and name) while others come, go or reorder. With the default methods both directions
// follow the online link (the dial-up device, or the default route in gateway mode; else the
// first working adapter); any other pair of methods keeps the row arithmetic for its choice.
class CountedLinks
{
public:
    struct Picks
    {
        LinkPick down;
        LinkPick up;
        const LinkRow* speed = nullptr; // the row of the link-speed text
    };

    // Against the sampler's current snapshot.
    Picks choose(const InterfaceSampler& sampler, std::int32_t downloadMethod, std::int32_t uploadMethod,
                 bool gateway);
    // Choose by the rules again at the next tick (the methods changed); a link chosen again
    // counts on without a gap.
    void rechoose() { m_rechoose = true; }
    // Forget the links (the session ended).
    void release();
    // Forget one direction's link: it was just chosen but could not be read, and is chosen
    // again at the next tick.
    void forget(bool download) { (download ? m_down : m_up) = Held{}; }
    // "wlan0", or "eth0 (Download), eth1 (Upload)"; empty while no link is counted.
    std::string countedText() const;

private:
    struct Held
    {
        bool held = false;
        std::uint32_t index = 0;
        std::string name;
    };

    LinkPick follow(const InterfaceSampler& sampler, Held& held, const LinkRow* wanted) const;
    const LinkRow* online(const InterfaceSampler& sampler, bool gateway) const;

    Held m_down;
    Held m_up;
    bool m_rechoose = false;
};

} // namespace tavlor
