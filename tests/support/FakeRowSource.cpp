#include "FakeRowSource.h"

#include <algorithm>
#include <stdexcept>

namespace tavlor::test {

bool FakeRowSource::readLinks(std::vector<LinkRow>& links)
{
    ++calls;
    if (!failures.empty()) {
        const bool fail = failures.front();
        failures.pop_front();
        if (fail) {
            return false;
        }
    }
    changed = false;
    links = rows;
    std::stable_sort(links.begin(), links.end(),
                     [](const LinkRow& a, const LinkRow& b) { return a.index < b.index; });
    for (LinkRow& row : links) {
        if (row.counterBits < 64) {
            row.rxBytes &= 0xFFFFFFFFULL;
            row.txBytes &= 0xFFFFFFFFULL;
        }
    }
    return true;
}

bool FakeRowSource::readCounters(LinkRow& row)
{
    ++counterCalls;
    if (!counterFailures.empty()) {
        const bool fail = counterFailures.front();
        counterFailures.pop_front();
        if (fail) {
            return false;
        }
    }
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const LinkRow& r) { return r.index == row.index; });
    if (it == rows.end()) {
        return false;
    }
    row.rxBytes = it->rxBytes;
    row.txBytes = it->txBytes;
    return true;
}

LinkRow& FakeRowSource::byIndex(std::uint32_t ifIndex)
{
    for (LinkRow& row : rows) {
        if (row.index == ifIndex) {
            return row;
        }
    }
    throw std::out_of_range("no such interface index");
}

LinkRow MakeRow(std::uint32_t ifIndex, std::uint32_t physAddrLen, std::uint64_t in, std::uint64_t out,
                std::uint64_t speedBps, std::uint8_t counterBits)
{
    LinkRow row;
    row.index = ifIndex;
    row.name = "link" + std::to_string(ifIndex);
    row.kind = physAddrLen > 0 ? LinkKind::Ethernet : LinkKind::Other;
    row.hwAddrLen = physAddrLen;
    row.up = true;
    row.rxBytes = in;
    row.txBytes = out;
    row.speedBps = speedBps;
    row.counterBits = counterBits;
    return row;
}

} // namespace tavlor::test
