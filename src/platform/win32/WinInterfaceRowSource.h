#pragma once

#include "platform/InterfaceRowSource.h"

#include <vector>

namespace tavlor::win32 {

// A link's kind from its IP Helper interface type (IF_TYPE_*) and tunnel type (TUNNEL_TYPE_*).
// The adapters of Wintun, WireGuard and OpenVPN's data channel announce themselves as
// IF_TYPE_PROP_VIRTUAL and count as tunnels; a TAP-Windows adapter is indistinguishable from
// Ethernet here and counts as such.
LinkKind KindOfInterface(unsigned long type, unsigned long tunnelType);

// The links from IP Helper: GetIfTable2 with its 64-bit counters, and GetIfTable (32-bit
// counters) only where GetIfTable2 is missing.
class WinInterfaceRowSource final : public InterfaceRowSource
{
public:
    enum class Table
    {
        Best,    // GetIfTable2 where the system has it
        OldTable // GetIfTable, as on systems without GetIfTable2
    };
    explicit WinInterfaceRowSource(Table table = Table::Best);

    bool readLinks(std::vector<LinkRow>& links) override;

private:
    bool readNewTable(std::vector<LinkRow>& links);
    bool readOldTable(std::vector<LinkRow>& links);

    using GetIfTable2Fn = unsigned long(__stdcall*)(void**);
    using FreeMibTableFn = void(__stdcall*)(void*);
    GetIfTable2Fn m_getIfTable2 = nullptr;
    FreeMibTableFn m_freeMibTable = nullptr;
    // The old table lands here first; it grows only when a larger table is asked for, so the
    // once-a-second reads do not allocate.
    std::vector<unsigned char> m_buffer;
};

} // namespace tavlor::win32
