#pragma once

#include "platform/InterfaceRowSource.h"

#include <vector>

struct nlmsghdr;

namespace tavlor {

// The links from the kernel over rtnetlink (every link, point-to-point ones included), with
// the kernel's 64-bit counters and the link speed from ethtool.
//
// The kernel announces every change of a link (added, removed, renamed, up, down, new carrier)
// to a second socket. While it announces nothing the table is known, and a caller reads the
// counters of the links it counts one by one: the cost of a second then does not grow with the
// number of links. readLinks itself always returns fresh counters for every link.
class NetlinkRowSource final : public InterfaceRowSource
{
public:
    NetlinkRowSource();
    ~NetlinkRowSource() override;
    NetlinkRowSource(const NetlinkRowSource&) = delete;
    NetlinkRowSource& operator=(const NetlinkRowSource&) = delete;

    bool readLinks(std::vector<LinkRow>& links) override;
    bool tableMayHaveChanged() override;
    bool readCounters(LinkRow& row) override;

private:
    // One request, its answers handed to onMessage; a dump for every link when index is 0.
    template <typename OnMessage> bool exchange(int type, std::uint32_t index, OnMessage onMessage);
    bool sendRequest(int type, std::uint32_t index);
    void drainAnnouncements();
    bool dumpLinks();
    // false when the statistics cannot be read or the links are not those of m_rows.
    bool readCounters();
    std::uint64_t linkSpeed(const char* name) const;

    int m_netlink = -1;
    int m_ioctlSocket = -1;
    int m_announcements = -1; // the kernel's link announcements; -1 when they cannot be heard
    bool m_tableStale = true;
    std::uint32_t m_sequence = 0;
    bool m_statsDumpWorks = true;
    int m_kernelError = 0; // the errno of the last request's error answer, 0 without one
    std::int64_t m_linksReadMs = 0;
    std::vector<char> m_buffer;
    std::vector<LinkRow> m_rows; // sorted by interface index
    std::vector<LinkRow> m_fresh;
};

} // namespace tavlor
