#include "netmeter/Kvonline.h"

#include <algorithm>
#include <new>

namespace tavlor {

namespace {
constexpr std::int32_t kNoAdapter = -11;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::uint32_t rowsFor(std::uint32_t bytes)
{
    if (bytes <= kIfTableHeaderBytes) {
        return 0;
    }
    return (bytes - kIfTableHeaderBytes + kIfRowBytes - 1) / kIfRowBytes;
}

// A size text: the largest threshold met wins; below the first (or negative) it stays empty.
std::string sizeText(const NumberFormat& nf, double counter, double kbThreshold)
{
    std::string text;
    const auto cut = [&](double divisor, const char* unit) {
        return nf.format(TruncateDecimals(nf, 2, counter / divisor)) + unit;
    };
    if (counter >= kbThreshold) {
        text = cut(1024.0, " KB");
    }
    if (counter >= 1000000.0) {
        text = cut(1024000.0, " MB");
    }
    if (counter >= 1000000000.0) {
        text = cut(1024000000.0, " GB");
    }
    return text;
}
} // namespace

std::uint64_t LinkSpeedBps(const IfRow& row)
{
    return row.speed64 != 0 ? row.speed64 : row.dwSpeed;
}

InterfaceSampler::InterfaceSampler(InterfaceRowSource& source, const NumberFormat& numbers)
    : m_source(source), m_numbers(numbers)
{
}

void InterfaceSampler::InitInterfaceTable()
{
    m_table.clear();
    m_table.shrink_to_fit();
    m_numEntries = 0;
    m_tableSize = 0;
    m_adapterBase = kNoAdapter;
    try {
        std::uint32_t entries = 0;
        std::uint32_t size = 0;
        m_source.getIfTable({}, entries, size, true);
        m_table.assign(rowsFor(size), IfRow{});
        m_tableSize = size;
        if (readTable() != kNoError) {
            return;
        }
    } catch (const std::bad_alloc&) {
        return;
    }
    for (std::uint32_t i = 0; i < m_numEntries; ++i) {
        if (static_cast<std::int32_t>(m_table[i].dwPhysAddrLen) > 0) {
            m_adapterBase = static_cast<std::int32_t>(i + 1);
            return;
        }
    }
}

std::uint32_t InterfaceSampler::readTable()
{
    std::fill(m_table.begin(), m_table.end(), IfRow{});
    // Never claim more bytes than the buffer holds.
    std::uint32_t size = std::min(m_tableSize, ifTableBytesFor(static_cast<std::uint32_t>(m_table.size())));
    std::uint32_t entries = 0;
    const std::uint32_t result = m_source.getIfTable(m_table, entries, size, true);
    if (result == kNoError) {
        m_numEntries = std::min(entries, static_cast<std::uint32_t>(m_table.size()));
    }
    return result;
}

bool InterfaceSampler::refresh()
{
    if (m_adapterBase <= 0) {
        InitInterfaceTable();
        if (m_adapterBase <= 0) {
            return false;
        }
    }
    const std::uint32_t result = readTable();
    if (result != kErrorInsufficientBuffer) {
        return result == kNoError;
    }
    // The table grew (a link came up): size the buffer again once, so counting goes on.
    InitInterfaceTable();
    return m_adapterBase > 0 && readTable() == kNoError;
}

const IfRow* InterfaceSampler::select(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod)
{
    m_lastReading = Reading{};
    std::int64_t position = m_adapterBase;
    if (kind == 'i') {
        position += downloadMethod;
    } else if (kind == 'o') {
        position += uploadMethod;
    }
    if (position < 1 || position > static_cast<std::int64_t>(m_numEntries)) {
        return nullptr;
    }
    const IfRow& row = m_table[static_cast<std::size_t>(position - 1)];
    m_lastReading.ok = true;
    m_lastReading.counter = kind == 'i' ? row.dwInOctets : kind == 'o' ? row.dwOutOctets : 0;
    m_lastReading.ifIndex = row.dwIndex;
    m_lastReading.position = static_cast<std::int32_t>(position);
    m_lastReading.linkSpeedBps = LinkSpeedBps(row);
    return &row;
}

double InterfaceSampler::GetAdapterValue(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod)
{
    m_lastReading = Reading{};
    kind = lower(kind);
    if ((kind != 'i' && kind != 'o' && kind != 's') || !refresh()) {
        return -1.0;
    }
    const IfRow* row = select(kind, downloadMethod, uploadMethod);
    if (row == nullptr) {
        return -1.0;
    }
    if (kind == 's') {
        return static_cast<double>(LinkSpeedBps(*row)) / 1000000.0;
    }
    // The counters stay a signed 32-bit reading here; lastReading() carries the unsigned value.
    return static_cast<double>(static_cast<std::int32_t>(m_lastReading.counter));
}

std::string InterfaceSampler::GetAdapterText(char kind, std::int32_t downloadMethod,
                                             std::int32_t uploadMethod)
{
    m_lastReading = Reading{};
    kind = lower(kind);
    if ((kind != 'i' && kind != 'o' && kind != 's') || !refresh()) {
        return "0 Bytes";
    }
    const IfRow* row = select(kind, downloadMethod, uploadMethod);
    if (row == nullptr) {
        return "0 Bytes";
    }
    if (kind == 's') {
        return m_numbers.format(static_cast<double>(LinkSpeedBps(*row)) / 1000000.0) + "Mbit";
    }
    const double signedCounter = static_cast<std::int32_t>(m_lastReading.counter);
    return sizeText(m_numbers, signedCounter, kind == 'i' ? 1024.0 : 1000.0);
}

} // namespace tavlor
