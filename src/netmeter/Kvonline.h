#pragma once

#include "accounting/KvString.h"
#include "platform/InterfaceRowSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

// The interface-table sampler: one snapshot of the interface table (InterfaceTable) and the
// position of its first row with a hardware address (AdapterBase), queried by letter:
// 'i' download counter, 'o' upload counter, 's' link speed (case-insensitive).
class InterfaceSampler
{
public:
    // What the last query really read, so the tick can tell a failed sample from a counter of
    // 0xFFFFFFFF, notice a row change and judge a wrap by the link speed.
    struct Reading
    {
        bool ok = false;
        std::uint32_t counter = 0;      // unsigned counter value ('i'/'o'; 0 for 's')
        std::uint32_t ifIndex = 0;      // interface index of the row read
        std::int32_t position = 0;      // 1-based row position read
        std::uint64_t linkSpeedBps = 0; // that row's link speed, 0 = unknown
    };

    InterfaceSampler(InterfaceRowSource& source, const NumberFormat& numbers);

    void InitInterfaceTable();
    double GetAdapterValue(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod);
    std::string GetAdapterText(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod);

    std::int32_t adapterBase() const { return m_adapterBase; }
    const Reading& lastReading() const { return m_lastReading; }
    // Rows in the snapshot after the last successful table read.
    std::uint32_t numEntries() const { return m_numEntries; }

private:
    bool refresh();
    std::uint32_t readTable(); // the row source's result code
    // The row a letter selects, or nullptr when it lies outside the snapshot; fills m_lastReading.
    const IfRow* select(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod);

    InterfaceRowSource& m_source;
    const NumberFormat& m_numbers;
    std::vector<IfRow> m_table; // InterfaceTable; sized by the discovery only
    std::uint32_t m_numEntries = 0;
    std::uint32_t m_tableSize = 0; // bytes, as handed to GetIfTable
    std::int32_t m_adapterBase = 0;
    Reading m_lastReading;
};

// Link speed of a row in bit/s, 0 when unknown; the full figure where 32 bits cannot hold it.
std::uint64_t LinkSpeedBps(const IfRow& row);

} // namespace tavlor
