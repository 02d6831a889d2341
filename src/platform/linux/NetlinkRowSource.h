#pragma once

#include "platform/InterfaceRowSource.h"

#include <vector>

struct nlmsghdr;

namespace tavlor {

// The links from the kernel over rtnetlink (every link, point-to-point ones included), with
// the kernel's 64-bit counters and the link speed from ethtool.
//
// A full link dump costs about four times a statistics dump, so the links' descriptions
// (type, address length, speed) are read again only when the set of links changes or after
// a few seconds; every call reads fresh counters.
class NetlinkRowSource final : public InterfaceRowSource
{
public:
    NetlinkRowSource();
    ~NetlinkRowSource() override;
    NetlinkRowSource(const NetlinkRowSource&) = delete;
    NetlinkRowSource& operator=(const NetlinkRowSource&) = delete;

    bool readLinks(std::vector<LinkRow>& links) override;

private:
    template <typename OnMessage> bool dump(int type, OnMessage onMessage);
    bool sendDumpRequest(int type);
    bool dumpLinks();
    // false when the statistics cannot be read or the links are not those of m_rows.
    bool readCounters();
    std::uint64_t linkSpeed(const char* name) const;

    int m_netlink = -1;
    int m_ioctlSocket = -1;
    std::uint32_t m_sequence = 0;
    bool m_statsDumpWorks = true;
    bool m_kernelRefused = false; // the last dump ended with an error message
    std::int64_t m_linksReadMs = 0;
    std::vector<char> m_buffer;
    std::vector<LinkRow> m_rows; // sorted by interface index
    std::vector<LinkRow> m_fresh;
};

} // namespace tavlor
