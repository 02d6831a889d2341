#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

enum class LinkKind : std::uint8_t
{
    Other,
    Loopback,
    Ethernet,     // wired and wireless adapters alike: anything with an Ethernet-style frame
    PointToPoint, // ppp, wwan in raw-IP mode, tun
    Tunnel
};

// One network link as the program sees it, whatever the system's own table looks like.
struct LinkRow
{
    std::uint32_t index = 0; // the system's interface index
    std::string name;        // "eth0", "ppp0"; the adapter's name where the system has no short one
    LinkKind kind = LinkKind::Other;
    std::uint32_t hwAddrLen = 0;   // 0 for loopback and links without a hardware address
    bool up = false;               // operational: carries traffic now
    std::uint64_t speedBps = 0;    // 0 = unknown
    std::uint64_t rxBytes = 0;     // received bytes, as wide as counterBits says
    std::uint64_t txBytes = 0;     // sent bytes
    std::uint8_t counterBits = 64; // 32 where the system only keeps 32-bit counters
};

// The system's links with their byte counters.
class InterfaceRowSource
{
public:
    virtual ~InterfaceRowSource() = default;
    // Replaces `links` with every link, sorted by index; reuses the vector's storage. false when
    // the table cannot be read; `links` is then left as it was.
    virtual bool readLinks(std::vector<LinkRow>& links) = 0;

    // Whether anything but the counters may differ from what the last readLinks returned (a link
    // came, went, was renamed, went up or down). A source that cannot tell says true, and its
    // caller reads the whole table every time.
    virtual bool tableMayHaveChanged() { return true; }
    // Fresh counters of one link, written into `row` in place; false when that link cannot be
    // read (it is gone), `row` then left as it was. Lets a caller with an unchanged table read
    // only the links it counts instead of every link on the system.
    virtual bool readCounters(LinkRow& row)
    {
        (void)row;
        return false;
    }
};

} // namespace tavlor
