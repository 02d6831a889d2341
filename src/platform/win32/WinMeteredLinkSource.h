#pragma once

#include "platform/MeteredLinkSource.h"
#include "platform/win32/NetworkCost.h"
#include "platform/win32/WinNetworkList.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tavlor::win32 {

// The primary connection and its cost from the network list manager. A thread of its own owns
// the list's COM objects (in the multithreaded apartment, so their signals need no message loop)
// and reads the list once at the start and again after each burst of the system's change
// signals, never on a timer; the window thread only copies the last reading. Windows takes down
// only a dial-up connection on a program's request: deactivate hangs up the RAS connection the
// primary runs over and refuses a LAN.
class WinMeteredLinkSource final : public MeteredLinkSource
{
public:
    using ListFactory = std::function<std::unique_ptr<NetworkList>()>;

    // `dialup` hangs up a dial-up primary (may be null: every deactivate is then refused).
    // `makeList` runs on the source's thread after COM is up there.
    explicit WinMeteredLinkSource(std::unique_ptr<DialupService> dialup,
                                  ListFactory makeList = MakeSystemNetworkList);
    ~WinMeteredLinkSource() override;
    WinMeteredLinkSource(const WinMeteredLinkSource&) = delete;
    WinMeteredLinkSource& operator=(const WinMeteredLinkSource&) = delete;

    std::optional<PrimaryConnection> primaryConnection() const override;
    std::string connectionNameOf(const std::string& interfaceName) const override;
    void deactivate(const std::string& id, DialupService::Done done) override;

    // How many readings of the list have landed: one at the start, one per burst of signals.
    std::uint64_t readings() const;
    // How many kinds of change signal the system took the subscription for; -1 until the thread
    // has subscribed, 0 without a network list manager.
    int signalsSubscribed() const;

private:
    void run(const ListFactory& makeList);
    bool waitForChange();

    std::unique_ptr<DialupService> m_dialup;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_changed = false;
    bool m_stop = false;
    NetworkListSnapshot m_list;
    std::optional<PrimaryConnection> m_primary;
    std::uint64_t m_readings = 0;
    int m_signals = -1;
    std::thread m_thread;
};

} // namespace tavlor::win32
