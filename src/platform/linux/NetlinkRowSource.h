#pragma once

#include "platform/InterfaceRowSource.h"

#include <vector>

namespace tavlor {

// The interface table from the kernel over rtnetlink (every link, point-to-point ones
// included), with the link speed from ethtool. Counters are the low 32 bits of the kernel's
// 64-bit counters, so the accounting meets the same wraps as on Windows.
class NetlinkRowSource final : public InterfaceRowSource
{
public:
    NetlinkRowSource();
    ~NetlinkRowSource() override;
    NetlinkRowSource(const NetlinkRowSource&) = delete;
    NetlinkRowSource& operator=(const NetlinkRowSource&) = delete;

    std::uint32_t getIfTable(std::span<IfRow> rows, std::uint32_t& numEntries, std::uint32_t& size,
                             bool sorted) override;

private:
    bool dumpLinks(std::vector<IfRow>& out);
    std::uint64_t linkSpeed(const char* name) const;

    int m_netlink = -1;
    int m_ioctlSocket = -1;
    std::uint32_t m_sequence = 0;
    std::vector<char> m_buffer;
    std::vector<IfRow> m_rows;
};

} // namespace tavlor
