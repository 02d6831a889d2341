#include "platform/win32/WinInterfaceRowSource.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tavlor::win32 {

static_assert(sizeof(MIB_IFROW) == kIfRowBytes, "the row layout of the interface contract");
static_assert(offsetof(MIB_IFTABLE, table) == kIfTableHeaderBytes,
              "the table layout of the interface contract");

namespace {
constexpr DWORD kSaturatedSpeed = 0xFFFFFFFFu;

// dwSpeed stops at 4.29 Gbit/s; the newer row carries the full figure.
std::uint64_t fullSpeed(const MIB_IFROW& row)
{
    if (row.dwSpeed != kSaturatedSpeed) {
        return row.dwSpeed;
    }
    MIB_IF_ROW2 row2;
    std::memset(&row2, 0, sizeof row2);
    row2.InterfaceIndex = row.dwIndex;
    if (GetIfEntry2(&row2) != NO_ERROR) {
        return row.dwSpeed;
    }
    return std::max<std::uint64_t>(row2.ReceiveLinkSpeed, row2.TransmitLinkSpeed);
}

IfRow toRow(const MIB_IFROW& row)
{
    IfRow out;
    out.dwIndex = row.dwIndex;
    out.dwPhysAddrLen = row.dwPhysAddrLen;
    out.dwSpeed = row.dwSpeed;
    out.speed64 = fullSpeed(row);
    out.dwInOctets = row.dwInOctets;
    out.dwOutOctets = row.dwOutOctets;
    return out;
}
} // namespace

std::uint32_t WinInterfaceRowSource::getIfTable(std::span<IfRow> rows, std::uint32_t& numEntries,
                                                std::uint32_t& size, bool sorted)
{
    ULONG bytes = size;
    if (rows.empty()) {
        bytes = 0;
        const DWORD result = GetIfTable(nullptr, &bytes, sorted ? TRUE : FALSE);
        size = bytes;
        return result == NO_ERROR ? kErrorInsufficientBuffer : result;
    }
    // Never let the system write more rows than the caller can take.
    const ULONG room = static_cast<ULONG>(ifTableBytesFor(static_cast<std::uint32_t>(rows.size())));
    bytes = std::min(bytes, room);
    if (m_buffer.size() < std::max<ULONG>(bytes, sizeof(MIB_IFTABLE))) {
        m_buffer.assign(std::max<ULONG>(bytes, sizeof(MIB_IFTABLE)), 0);
    }
    auto* table = reinterpret_cast<MIB_IFTABLE*>(m_buffer.data());
    const DWORD result = GetIfTable(table, &bytes, sorted ? TRUE : FALSE);
    if (result != NO_ERROR) {
        if (result == ERROR_INSUFFICIENT_BUFFER) {
            size = bytes;
        }
        return result;
    }
    const std::uint32_t count =
        std::min<std::uint32_t>(table->dwNumEntries, static_cast<std::uint32_t>(rows.size()));
    for (std::uint32_t i = 0; i < count; ++i) {
        rows[i] = toRow(table->table[i]);
    }
    numEntries = count;
    return kNoError;
}

} // namespace tavlor::win32
