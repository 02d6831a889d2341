#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <netlistmgr.h>
// clang-format on

namespace tavlor::win32 {

// INetworkConnectionCostEvents, which MinGW-w64's netlistmgr.h does not declare: a connection's
// own cost changes, by connection id.
inline constexpr GUID kIidConnectionCostEvents = {
    0xdcb0000b, 0x570f, 0x4a9b, {0x8d, 0x69, 0x19, 0x9f, 0xdb, 0xa5, 0x72, 0x3b}};

struct ConnectionCostEvents : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE ConnectionCostChanged(GUID connectionId, DWORD newCost) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConnectionDataPlanStatusChanged(GUID connectionId) = 0;
};

} // namespace tavlor::win32
