#include "platform/win32/WinMeteredLinkSource.h"

#include "platform/win32/ras/Ras.h"

#include <objbase.h>

#include <utility>

namespace tavlor::win32 {

namespace {
using Status = DialupResult::Status;

// COM for this thread alone, released when the thread ends.
class ComApartment
{
public:
    ComApartment() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComApartment()
    {
        if (m_ok) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

std::vector<DialledConnection> dialledConnections(const DialupService* dialup)
{
    std::vector<DialledConnection> dialled;
    if (dialup == nullptr || !dialup->available()) {
        return dialled;
    }
    try {
        for (const ActiveDialup& active : dialup->activeConnections()) {
            dialled.push_back({active.id, active.entry});
        }
    } catch (const ERasError&) {
        dialled.clear(); // a RAS library without RasEnumConnectionsA has nothing to hang up
    }
    return dialled;
}
} // namespace

WinMeteredLinkSource::WinMeteredLinkSource(std::unique_ptr<DialupService> dialup, ListFactory makeList)
    : m_dialup(std::move(dialup))
{
    m_thread = std::thread([this, makeList = std::move(makeList)] { run(makeList); });
}

WinMeteredLinkSource::~WinMeteredLinkSource()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void WinMeteredLinkSource::run(const ListFactory& makeList)
{
    const ComApartment apartment;
    std::unique_ptr<NetworkList> list = apartment.ok() ? makeList() : nullptr;
    // Subscribed before the first reading, so that a change between the two is not lost.
    const int signals = list ? list->subscribe([this] {
        {
            std::lock_guard lock(m_mutex);
            m_changed = true;
        }
        m_wake.notify_all();
    })
                             : 0;
    {
        std::lock_guard lock(m_mutex);
        m_signals = signals;
    }
    do {
        NetworkListSnapshot reading;
        if (!list || !list->read(reading)) {
            continue; // the last good reading stays
        }
        std::optional<PrimaryConnection> primary = ChoosePrimary(reading);
        std::lock_guard lock(m_mutex);
        m_list = std::move(reading);
        m_primary = std::move(primary);
        ++m_readings;
    } while (waitForChange());
    list.reset(); // unsubscribes while COM is still up on this thread
}

bool WinMeteredLinkSource::waitForChange()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_changed || m_stop; });
    m_changed = false;
    return !m_stop;
}

std::optional<PrimaryConnection> WinMeteredLinkSource::primaryConnection() const
{
    std::lock_guard lock(m_mutex);
    return m_primary;
}

std::string WinMeteredLinkSource::connectionNameOf(const std::string& interfaceName) const
{
    std::lock_guard lock(m_mutex);
    return ConnectionNameOf(m_list, interfaceName);
}

void WinMeteredLinkSource::deactivate(const std::string& id, DialupService::Done done)
{
    NetworkListSnapshot list;
    std::optional<PrimaryConnection> primary;
    {
        std::lock_guard lock(m_mutex);
        list = m_list;
        primary = m_primary;
    }
    if (!primary || !SameGuid(primary->id, id)) {
        done(DialupResult::failure(Status::NotFound, "Diese Verbindung ist nicht die aktive."));
        return;
    }
    const std::optional<std::string> dialled =
        DialledConnectionOf(list, *primary, dialledConnections(m_dialup.get()));
    if (!dialled) {
        done(DialupResult::failure(
            Status::Refused, "Windows trennt eine Netzwerkverbindung nicht auf Wunsch eines Programms."));
        return;
    }
    m_dialup->hangUp(*dialled, std::move(done));
}

std::uint64_t WinMeteredLinkSource::readings() const
{
    std::lock_guard lock(m_mutex);
    return m_readings;
}

int WinMeteredLinkSource::signalsSubscribed() const
{
    std::lock_guard lock(m_mutex);
    return m_signals;
}

} // namespace tavlor::win32
