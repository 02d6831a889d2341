#include "platform/win32/WinInterfaceRowSource.h"

#include "platform/win32/WinText.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <algorithm>
#include <cstddef>

namespace tavlor::win32 {

// The layout GetIfTable fills: a 32-bit row count followed by 860-byte rows.
static_assert(sizeof(MIB_IFROW) == 860, "the row layout of GetIfTable");
static_assert(offsetof(MIB_IFTABLE, table) == 4, "the table layout of GetIfTable");

namespace {
constexpr int kSizeAttempts = 3; // the table may grow between asking for its size and reading it
// Mobile broadband links; older SDK headers lack their names.
constexpr unsigned long kIfTypeWwanPp = 243;
constexpr unsigned long kIfTypeWwanPp2 = 244;

template <typename Fn> Fn lookup(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

LinkKind KindOfInterface(unsigned long type, unsigned long tunnelType)
{
    // Teredo, 6to4, ISATAP, IP-HTTPS and the like say what they wrap.
    if (tunnelType != TUNNEL_TYPE_NONE) {
        return LinkKind::Tunnel;
    }
    switch (type) {
    case IF_TYPE_SOFTWARE_LOOPBACK:
        return LinkKind::Loopback;
    case IF_TYPE_ETHERNET_CSMACD:
    case IF_TYPE_IEEE80211:
        return LinkKind::Ethernet;
    case IF_TYPE_PPP:
    case kIfTypeWwanPp:
    case kIfTypeWwanPp2:
        return LinkKind::PointToPoint;
    case IF_TYPE_TUNNEL:
    case IF_TYPE_PROP_VIRTUAL: // Wintun, WireGuard and OpenVPN's data-channel adapter
        return LinkKind::Tunnel;
    default:
        return LinkKind::Other;
    }
}

namespace {

void sortByIndex(std::vector<LinkRow>& links)
{
    std::sort(links.begin(), links.end(),
              [](const LinkRow& a, const LinkRow& b) { return a.index < b.index; });
}

void fromNewRow(const MIB_IF_ROW2& row, LinkRow& out)
{
    out.index = row.InterfaceIndex;
    out.name = WideToUtf8(row.Alias);
    out.kind = KindOfInterface(row.Type, row.TunnelType);
    out.hwAddrLen = row.PhysicalAddressLength;
    out.up = row.OperStatus == IfOperStatusUp;
    const ULONG64 speed = std::max(row.ReceiveLinkSpeed, row.TransmitLinkSpeed);
    out.speedBps = speed == ~0ULL ? 0 : speed;
    out.rxBytes = row.InOctets;
    out.txBytes = row.OutOctets;
    out.counterBits = 64;
}

void fromOldRow(const MIB_IFROW& row, LinkRow& out)
{
    out.index = row.dwIndex;
    const DWORD length = std::min<DWORD>(row.dwDescrLen, MAXLEN_IFDESCR);
    std::string_view descr(reinterpret_cast<const char*>(row.bDescr), length);
    while (!descr.empty() && descr.back() == '\0') {
        descr.remove_suffix(1);
    }
    out.name = AnsiToUtf8(descr);
    out.kind = KindOfInterface(row.dwType, TUNNEL_TYPE_NONE);
    out.hwAddrLen = row.dwPhysAddrLen;
    out.up = row.dwOperStatus == IF_OPER_STATUS_OPERATIONAL;
    out.speedBps = row.dwSpeed;
    out.rxBytes = row.dwInOctets;
    out.txBytes = row.dwOutOctets;
    out.counterBits = 32;
}
} // namespace

WinInterfaceRowSource::WinInterfaceRowSource(Table table)
{
    if (table == Table::OldTable) {
        return;
    }
    if (HMODULE iphlpapi = GetModuleHandleW(L"iphlpapi.dll")) {
        m_getIfTable2 = lookup<GetIfTable2Fn>(iphlpapi, "GetIfTable2");
        m_freeMibTable = lookup<FreeMibTableFn>(iphlpapi, "FreeMibTable");
    }
}

bool WinInterfaceRowSource::readLinks(std::vector<LinkRow>& links)
{
    if (m_getIfTable2 != nullptr && m_freeMibTable != nullptr) {
        return readNewTable(links);
    }
    return readOldTable(links);
}

bool WinInterfaceRowSource::readNewTable(std::vector<LinkRow>& links)
{
    void* raw = nullptr;
    if (m_getIfTable2(&raw) != NO_ERROR || raw == nullptr) {
        return false;
    }
    const auto* table = static_cast<const MIB_IF_TABLE2*>(raw);
    std::size_t count = 0;
    links.resize(table->NumEntries);
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        // Filter drivers appear as links of their own beside the adapter they sit on.
        if (table->Table[i].InterfaceAndOperStatusFlags.FilterInterface) {
            continue;
        }
        fromNewRow(table->Table[i], links[count++]);
    }
    m_freeMibTable(raw);
    links.resize(count);
    sortByIndex(links);
    return true;
}

bool WinInterfaceRowSource::readOldTable(std::vector<LinkRow>& links)
{
    for (int attempt = 0; attempt < kSizeAttempts; ++attempt) {
        ULONG bytes = static_cast<ULONG>(m_buffer.size());
        auto* table = reinterpret_cast<MIB_IFTABLE*>(m_buffer.data());
        const DWORD result = GetIfTable(m_buffer.empty() ? nullptr : table, &bytes, TRUE);
        if (result == ERROR_INSUFFICIENT_BUFFER) {
            m_buffer.assign(std::max<ULONG>(bytes, sizeof(MIB_IFTABLE)), 0);
            continue;
        }
        if (result != NO_ERROR) {
            return false;
        }
        links.resize(table->dwNumEntries);
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            fromOldRow(table->table[i], links[i]);
        }
        sortByIndex(links);
        return true;
    }
    return false;
}

} // namespace tavlor::win32
