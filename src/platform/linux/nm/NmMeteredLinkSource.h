#pragma once

#include "platform/MeteredLinkSource.h"

#include <QObject>
#include <functional>

namespace tavlor::platform::nm {

class NmConnectionState;
class NmProxy;

// The primary connection and its metering as NetworkManager announces them (the manager's
// PrimaryConnection and Metered, the active connections and their devices), kept from its
// signals on a private system-bus connection of its own. A read never calls the bus: where
// the bus or NetworkManager is gone, there is no primary connection until they are back.
class NmMeteredLinkSource final : public QObject, public MeteredLinkSource
{
    Q_OBJECT

public:
    static constexpr int kReconnectMs = 2000;
    static constexpr int kReconnectMaxMs = 30000;

    explicit NmMeteredLinkSource(QObject* parent = nullptr);
    ~NmMeteredLinkSource() override;
    NmMeteredLinkSource(const NmMeteredLinkSource&) = delete;
    NmMeteredLinkSource& operator=(const NmMeteredLinkSource&) = delete;

    std::optional<PrimaryConnection> primaryConnection() const override;
    std::string connectionNameOf(const std::string& interfaceName) const override;
    void deactivate(const std::string& id, DialupService::Done done) override;

    // Runs after every change of the kept state (tests wait on it).
    std::function<void()> stateChanged;

private:
    void connectBus();
    void noticeLostBus() const;

    NmProxy* m_proxy;
    NmConnectionState* m_state;
    QString m_busName;
    int m_connections = 0;
    int m_reconnectMs = kReconnectMs;
    mutable bool m_reconnecting = false;
};

} // namespace tavlor::platform::nm
