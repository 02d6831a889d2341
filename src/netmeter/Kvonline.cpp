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

bool isAdapter(const LinkRow& row)
{
    return row.hwAddrLen > 0 && row.kind != LinkKind::Loopback;
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

// A 32-bit counter keeps the system's signed reading; a full-width one is shown whole.
double counterValue(const LinkRow& row, char kind)
{
    const std::uint64_t counter = CounterOf(row, kind);
    if (row.counterBits <= 32) {
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(counter)));
    }
    return static_cast<double>(counter);
}
} // namespace

std::uint64_t CounterOf(const LinkRow& row, char kind)
{
    return kind == 'i' ? row.rxBytes : kind == 'o' ? row.txBytes : 0;
}

InterfaceSampler::InterfaceSampler(InterfaceRowSource& source, const NumberFormat& numbers,
                                   DefaultRouteSource* routes, const DialupLinkSource* dialup)
    : m_source(source), m_numbers(numbers), m_routes(routes), m_dialup(dialup)
{
}

void InterfaceSampler::InitInterfaceTable()
{
    m_adapterBase = kNoAdapter;
    try {
        m_valid = m_source.readLinks(m_links);
    } catch (const std::bad_alloc&) {
        m_valid = false;
    }
    if (!m_valid) {
        return;
    }
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        if (isAdapter(m_links[i])) {
            m_adapterBase = static_cast<std::int32_t>(i + 1);
            return;
        }
    }
}

bool InterfaceSampler::refresh()
{
    m_freshIndexes.clear();
    if (m_valid && m_adapterBase > 0 && !m_source.tableMayHaveChanged()) {
        m_countersFresh = false;
        return true;
    }
    m_countersFresh = true;
    if (m_adapterBase <= 0) {
        InitInterfaceTable();
        return m_valid;
    }
    try {
        m_valid = m_source.readLinks(m_links);
    } catch (const std::bad_alloc&) {
        m_valid = false;
    }
    return m_valid;
}

bool InterfaceSampler::readCounters(const LinkRow* row)
{
    if (row == nullptr || !m_valid || row < m_links.data() || row >= m_links.data() + m_links.size()) {
        return false;
    }
    if (m_countersFresh ||
        std::find(m_freshIndexes.begin(), m_freshIndexes.end(), row->index) != m_freshIndexes.end()) {
        return true;
    }
    if (!m_source.readCounters(m_links[static_cast<std::size_t>(row - m_links.data())])) {
        return false;
    }
    m_freshIndexes.push_back(row->index);
    return true;
}

const LinkRow* InterfaceSampler::methodRow(char kind, std::int32_t downloadMethod,
                                           std::int32_t uploadMethod) const
{
    if (!m_valid || m_adapterBase <= 0) {
        return nullptr;
    }
    // A method below 0 would reach the row before the first adapter: loopback on Linux.
    if ((kind == 'i' && downloadMethod < 0) || (kind == 'o' && uploadMethod < 0)) {
        return nullptr;
    }
    std::int64_t position = m_adapterBase;
    if (kind == 'i') {
        position += downloadMethod;
    } else if (kind == 'o') {
        position += uploadMethod;
    }
    if (position < 1 || position > static_cast<std::int64_t>(m_links.size())) {
        return nullptr;
    }
    return &m_links[static_cast<std::size_t>(position - 1)];
}

const LinkRow* InterfaceSampler::findIndex(std::uint32_t index) const
{
    // The table is sorted by index: a tick looks up its links without walking a thousand rows.
    const auto it = std::lower_bound(m_links.begin(), m_links.end(), index,
                                     [](const LinkRow& r, std::uint32_t i) { return r.index < i; });
    return m_valid && index != 0 && it != m_links.end() && it->index == index ? &*it : nullptr;
}

const LinkRow* InterfaceSampler::findName(const std::string& name) const
{
    const auto it =
        std::find_if(m_links.begin(), m_links.end(), [&](const LinkRow& r) { return r.name == name; });
    return m_valid && !name.empty() && it != m_links.end() ? &*it : nullptr;
}

const LinkRow* InterfaceSampler::onlineLink(bool gateway) const
{
    if (gateway) {
        return m_routes != nullptr ? findIndex(m_routes->defaultRouteInterface()) : nullptr;
    }
    return m_dialup != nullptr ? findName(m_dialup->activeDialupInterface()) : nullptr;
}

const LinkRow* InterfaceSampler::firstUpAdapter() const
{
    const auto it =
        std::find_if(m_links.begin(), m_links.end(), [](const LinkRow& r) { return r.up && isAdapter(r); });
    return m_valid && it != m_links.end() ? &*it : nullptr;
}

std::string InterfaceSampler::speedText(const LinkRow* row) const
{
    if (row == nullptr) {
        return "0 Bytes";
    }
    return m_numbers.format(static_cast<double>(row->speedBps) / 1000000.0) + "Mbit";
}

double InterfaceSampler::GetAdapterValue(char kind, std::int32_t downloadMethod, std::int32_t uploadMethod)
{
    kind = lower(kind);
    if ((kind != 'i' && kind != 'o' && kind != 's') || !refresh()) {
        return -1.0;
    }
    const LinkRow* row = methodRow(kind, downloadMethod, uploadMethod);
    if (row == nullptr || (kind != 's' && !readCounters(row))) {
        return -1.0;
    }
    if (kind == 's') {
        return static_cast<double>(row->speedBps) / 1000000.0;
    }
    return counterValue(*row, kind);
}

std::string InterfaceSampler::GetAdapterText(char kind, std::int32_t downloadMethod,
                                             std::int32_t uploadMethod)
{
    kind = lower(kind);
    if ((kind != 'i' && kind != 'o' && kind != 's') || !refresh()) {
        return "0 Bytes";
    }
    const LinkRow* row = methodRow(kind, downloadMethod, uploadMethod);
    if (row == nullptr || (kind != 's' && !readCounters(row))) {
        return "0 Bytes";
    }
    if (kind == 's') {
        return speedText(row);
    }
    return sizeText(m_numbers, counterValue(*row, kind), kind == 'i' ? 1024.0 : 1000.0);
}

} // namespace tavlor
