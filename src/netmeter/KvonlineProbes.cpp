#include "netmeter/KvonlineProbes.h"

#include "accounting/KvString.h"
#include "dialup/Ras.h"

#include <array>

namespace tavlor {

namespace {
constexpr int kProbeRecords = 4;
constexpr std::uint8_t kDialUpActive = 2;

// The probe's library is held for one count only.
class LoadedLibrary
{
public:
    LoadedLibrary(LibraryLoader& loader, const char* name) : m_loader(loader), m_handle(loader.load(name)) {}
    ~LoadedLibrary()
    {
        if (m_handle != nullptr) {
            m_loader.release(m_handle);
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    LibraryLoader::Handle handle() const { return m_handle; }

private:
    LibraryLoader& m_loader;
    LibraryLoader::Handle m_handle;
};
} // namespace

std::int32_t RasConnectionCount(LibraryLoader& loader)
{
    LoadedLibrary ras(loader, "rasapi32.dll");
    if (ras.handle() == nullptr) {
        return 0;
    }
    auto fn = reinterpret_cast<RasEnumConnectionsFn>(loader.lookup(ras.handle(), "RasEnumConnectionsA"));
    if (fn == nullptr) {
        throw ERasError("RasEnumConnectionsA not found in rasapi32.dll");
    }
    std::array<RASCONNA, kProbeRecords> records{};
    records[0].dwSize = sizeof(RASCONNA);
    RasDword bytes = sizeof(RASCONNA) * kProbeRecords;
    RasDword count = 0;
    const RasDword rc = fn(records.data(), &bytes, &count);
    if (rc == kRasSuccess || rc == kRasBufferTooSmall) {
        return static_cast<std::int32_t>(count);
    }
    return 0;
}

std::uint8_t DetectConnection(LibraryLoader& loader)
{
    return RasConnectionCount(loader) > 0 ? kDialUpActive : 0;
}

bool IsOnline(bool onLAN, LibraryLoader& loader)
{
    if (onLAN) {
        return true;
    }
    return DetectConnection(loader) == kDialUpActive;
}

std::string GetLocalIpList(HostAddressSource& addresses)
{
    std::string list;
    for (const std::string& address : addresses.ipv4Addresses()) {
        if (!list.empty()) {
            list += ';';
        }
        list += address;
    }
    return list;
}

void ShowIpAddresses(ViewModel& view, HostAddressSource& addresses)
{
    // Only the first two fields of the list are shown; asking for two keeps the cost of a tick
    // independent of the number of addresses.
    std::string list;
    for (const std::string& address : addresses.firstIpv4Addresses(2)) {
        list += (list.empty() ? "" : ";") + address;
    }
    view.setText("lLokal", ExtractToken(list, 1, ';'));
    const std::string second = ExtractToken(list, 2, ';');
    view.setText("lremote", second.empty() ? "---" : second);
}

} // namespace tavlor
