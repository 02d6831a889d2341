#include "platform/win32/WinDefaultRouteSource.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

namespace tavlor::win32 {

namespace {
std::uint32_t defaultRouteOf(ADDRESS_FAMILY family)
{
    PMIB_IPFORWARD_TABLE2 table = nullptr;
    if (GetIpForwardTable2(family, &table) != NO_ERROR || table == nullptr) {
        return 0;
    }
    std::uint32_t index = 0;
    ULONG best = 0;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.DestinationPrefix.PrefixLength != 0 || row.InterfaceIndex == 0) {
            continue;
        }
        if (index == 0 || row.Metric < best) {
            index = row.InterfaceIndex;
            best = row.Metric;
        }
    }
    FreeMibTable(table);
    return index;
}
} // namespace

std::uint32_t WinDefaultRouteSource::defaultRouteInterface()
{
    const std::uint32_t v4 = defaultRouteOf(AF_INET);
    return v4 != 0 ? v4 : defaultRouteOf(AF_INET6);
}

} // namespace tavlor::win32
