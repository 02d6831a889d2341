#pragma once

#include "platform/DefaultRouteSource.h"
#include "platform/DialupLinkSource.h"
#include "platform/InterfaceRowSource.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tavlor::test {

// Links held in memory; tests edit `rows` between reads and can make the next reads fail.
class FakeRowSource final : public InterfaceRowSource
{
public:
    std::vector<LinkRow> rows;
    // Popped by each read; true = that read fails.
    std::deque<bool> failures;
    int calls = 0;

    // Like a source that hears the kernel's announcements: the table counts as unchanged until
    // a test sets `changed`, and single links are read by readCounters.
    bool announces = false;
    bool changed = false;
    std::deque<bool> counterFailures; // popped by each readCounters; true = it fails
    int counterCalls = 0;

    bool readLinks(std::vector<LinkRow>& links) override;
    bool tableMayHaveChanged() override { return !announces || changed; }
    bool readCounters(LinkRow& row) override;

    LinkRow& byIndex(std::uint32_t ifIndex);
};

// The default route's link in `index`; with `table` set, the whole route table as well, and
// `index` then follows its lowest-metric default route (IPv4 first).
class FakeRoutes final : public DefaultRouteSource
{
public:
    std::uint32_t index = 0;
    std::vector<RouteEntry> table;
    std::uint32_t defaultRouteInterface() override { return index; }
    bool routeTable(std::vector<RouteEntry>& routes) override
    {
        return table.empty() ? DefaultRouteSource::routeTable(routes) : (routes = table, true);
    }
    void setTable(std::vector<RouteEntry> routes);
};

class FakeDialup final : public DialupLinkSource
{
public:
    std::string name;
    std::string activeDialupInterface() const override { return name; }
};

// A row the way the tests need it most often: named "link<index>", up, an adapter when it has
// a hardware address, with 32-bit counters unless told otherwise.
LinkRow MakeRow(std::uint32_t ifIndex, std::uint32_t physAddrLen, std::uint64_t in = 0, std::uint64_t out = 0,
                std::uint64_t speedBps = 100000000, std::uint8_t counterBits = 32);

} // namespace tavlor::test
