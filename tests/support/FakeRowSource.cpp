#include "FakeRowSource.h"

#include <algorithm>
#include <stdexcept>

namespace tavlor::test {

namespace {
// Each read takes the next planned outcome; true means it fails.
bool failsNow(std::deque<bool>& plan)
{
    if (plan.empty()) {
        return false;
    }
    const bool fail = plan.front();
    plan.pop_front();
    return fail;
}

// What the system shows of a counter: a 32-bit one has wrapped.
std::uint64_t shown(std::uint64_t counter, std::uint8_t bits)
{
    return bits < 64 ? counter & 0xFFFFFFFFULL : counter;
}
} // namespace

bool FakeRowSource::readLinks(std::vector<LinkRow>& links)
{
    ++calls;
    if (failsNow(failures)) {
        return false;
    }
    changed = false;
    links = rows;
    std::stable_sort(links.begin(), links.end(),
                     [](const LinkRow& a, const LinkRow& b) { return a.index < b.index; });
    for (LinkRow& row : links) {
        row.rxBytes = shown(row.rxBytes, row.counterBits);
        row.txBytes = shown(row.txBytes, row.counterBits);
    }
    return true;
}

bool FakeRowSource::readCounters(LinkRow& row)
{
    ++counterCalls;
    if (failsNow(counterFailures)) {
        return false;
    }
    const auto it =
        std::find_if(rows.begin(), rows.end(), [&](const LinkRow& r) { return r.index == row.index; });
    if (it == rows.end()) {
        return false;
    }
    row.rxBytes = shown(it->rxBytes, it->counterBits);
    row.txBytes = shown(it->txBytes, it->counterBits);
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

void FakeRoutes::setTable(std::vector<RouteEntry> routes)
{
    table = std::move(routes);
    index = 0;
    for (const bool ipv6 : {false, true}) {
        const RouteEntry* best = nullptr;
        for (const RouteEntry& route : table) {
            if (route.prefixLength == 0 && route.ipv6 == ipv6 &&
                (best == nullptr || route.metric < best->metric)) {
                best = &route;
            }
        }
        if (best != nullptr) {
            index = best->interfaceIndex;
            return;
        }
    }
}

} // namespace tavlor::test
