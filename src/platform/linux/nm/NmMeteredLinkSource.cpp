#include "platform/linux/nm/NmMeteredLinkSource.h"

#include "platform/Platform.h"
#include "platform/linux/nm/NmConnectionState.h"
#include "platform/linux/nm/NmErrors.h"
#include "platform/linux/nm/NmProxy.h"

#include <QTimer>

#include <algorithm>

namespace tavlor::platform::nm {

namespace {
using Status = DialupResult::Status;
} // namespace

NmMeteredLinkSource::NmMeteredLinkSource(QObject* parent)
    : QObject(parent), m_proxy(new NmProxy(this)), m_state(new NmConnectionState(*m_proxy, this, true))
{
    m_state->changed = [this] {
        if (stateChanged) {
            stateChanged();
        }
    };
    connectBus();
}

NmMeteredLinkSource::~NmMeteredLinkSource()
{
    m_state->changed = nullptr;
    if (!m_busName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busName);
    }
}

void NmMeteredLinkSource::connectBus()
{
    m_reconnecting = false;
    if (!m_busName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busName);
    }
    m_busName = QStringLiteral("tavlor-nm-metered-%1").arg(++m_connections);
    m_proxy->setBus(QDBusConnection::connectToBus(QDBusConnection::SystemBus, m_busName));
    if (!m_proxy->bus().isConnected()) {
        m_state->clear();
        m_reconnecting = true;
        QTimer::singleShot(m_reconnectMs, this, &NmMeteredLinkSource::connectBus);
        m_reconnectMs = std::min(2 * m_reconnectMs, kReconnectMaxMs);
        return;
    }
    m_reconnectMs = kReconnectMs;
    m_state->attach();
}

void NmMeteredLinkSource::noticeLostBus() const
{
    // As the dial-up service does: the tick's look notices a lost bus, no timer watches it.
    if (m_reconnecting || m_proxy->bus().isConnected()) {
        return;
    }
    m_reconnecting = true;
    auto* self = const_cast<NmMeteredLinkSource*>(this);
    QTimer::singleShot(0, self, [self] {
        self->m_state->clear();
        self->connectBus();
    });
}

std::optional<PrimaryConnection> NmMeteredLinkSource::primaryConnection() const
{
    noticeLostBus();
    return m_proxy->bus().isConnected() ? m_state->primary() : std::nullopt;
}

std::string NmMeteredLinkSource::connectionNameOf(const std::string& interfaceName) const
{
    return m_proxy->bus().isConnected() ? m_state->profileOver(interfaceName) : std::string();
}

void NmMeteredLinkSource::deactivate(const std::string& id, DialupService::Done done)
{
    if (!m_proxy->bus().isConnected() || !m_state->running()) {
        done(DialupResult::failure(Status::ServiceMissing, kNmMissing));
        return;
    }
    if (id.empty() || m_state->active(QString::fromStdString(id)) == nullptr) {
        done(DialupResult::failure(Status::NotFound, "Diese Verbindung besteht nicht."));
        return;
    }
    m_proxy->DeactivateConnection(QString::fromStdString(id),
                                  [done](const QDBusError& error) { done(resultOf(error)); });
}

} // namespace tavlor::platform::nm

namespace tavlor::platform {

std::unique_ptr<MeteredLinkSource> makeMeteredLinkSource()
{
    return std::make_unique<nm::NmMeteredLinkSource>();
}

} // namespace tavlor::platform
