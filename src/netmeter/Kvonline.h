#pragma once

#include "platform/DefaultRouteSource.h"
#include "platform/DialupLinkSource.h"
#include "platform/InterfaceRowSource.h"
#include "text/KvString.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

// The interface-table sampler: one snapshot of the links (InterfaceTable) and the position of
// its first row with a hardware address (AdapterBase), queried by letter: 'i' download
// counter, 'o' upload counter, 's' link speed (case-insensitive).
class InterfaceSampler
{
public:
    // routes and dialup tell which link is online; without them only the row arithmetic and the
    // first working adapter are known.
    InterfaceSampler(InterfaceRowSource& source, const NumberFormat& numbers,
                     DefaultRouteSource* routes = nullptr, const DialupLinkSource* dialup = nullptr);

    // Reads the table once; the snapshot queries below answer from it. Runs the discovery
    // while AdapterBase is unknown. false when the table cannot be read (no snapshot then).
    // While the source knows the table unchanged, only the links' descriptions are current:
    // a row's counters are then fresh after readCounters.
    bool refresh();
    // Fresh counters for a row of the snapshot (once per refresh). false when that link cannot
    // be read; its counters are then those of an earlier reading of the same link.
    bool readCounters(const LinkRow* row);
    void InitInterfaceTable();

    // The letter queries of the first design: each reads the table afresh.
    double GetAdapterValue(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod);
    std::string GetAdapterText(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod);

    // Snapshot queries; nullptr when the row is not in the snapshot.
    const std::vector<LinkRow>& links() const { return m_links; }
    bool haveSnapshot() const { return m_valid; }
    std::int32_t adapterBase() const { return m_adapterBase; }
    // The row the classic row arithmetic selects: AdapterBase + method ('i', 'o') or AdapterBase ('s');
    // none for a method below 0.
    const LinkRow* methodRow(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod) const;
    const LinkRow* findIndex(std::uint32_t index) const;
    const LinkRow* findName(const std::string& name) const;
    // The link that carries the online connection: the dial-up device outside gateway mode,
    // the default route's link in gateway mode.
    const LinkRow* onlineLink(bool gateway) const;
    const LinkRow* firstUpAdapter() const;
    // The system's routes (see DefaultRouteSource::routeTable); false without a route source.
    bool routeTable(std::vector<RouteEntry>& routes) const
    {
        return m_routes != nullptr && m_routes->routeTable(routes);
    }
    // "100Mbit"; "0 Bytes" without a row.
    std::string speedText(const LinkRow* row) const;

private:
    InterfaceRowSource& m_source;
    const NumberFormat& m_numbers;
    DefaultRouteSource* m_routes;
    const DialupLinkSource* m_dialup;
    std::vector<LinkRow> m_links; // InterfaceTable, sorted by index
    bool m_valid = false;
    bool m_countersFresh = false;              // every row's counters read by this refresh
    std::vector<std::uint32_t> m_freshIndexes; // rows read one by one since this refresh
    std::int32_t m_adapterBase = 0;
};

// The counter a letter reads from a row ('i' received, 'o' sent).
std::uint64_t CounterOf(const LinkRow& row, char kind);

} // namespace tavlor
