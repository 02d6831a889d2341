#include "platform/linux/nm/NmDialupService.h"

#include "platform/Platform.h"
#include "platform/linux/nm/NmConnectionState.h"
#include "platform/linux/nm/NmErrors.h"
#include "platform/linux/nm/NmProxy.h"

#include <algorithm>

#include <QTimer>
#include <QUuid>

// The bus connection, the kept state, dialling and hang-up.
namespace tavlor::platform::nm {

namespace {
using Status = DialupResult::Status;
} // namespace

NmDialupService::NmDialupService(int dialTimeoutMs, QObject* parent)
    : QObject(parent), m_proxy(new NmProxy(this)), m_state(new NmConnectionState(*m_proxy, this)),
      m_dialTimeoutMs(dialTimeoutMs)
{
    m_state->changed = [this] {
        settleDials();
        if (stateChanged) {
            stateChanged();
        }
    };
    connectBus();
}

NmDialupService::~NmDialupService()
{
    m_state->changed = nullptr;
    if (!m_busName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busName);
    }
}

void NmDialupService::connectBus()
{
    m_reconnecting = false;
    if (!m_busName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busName);
    }
    // A private connection of our own: the shared system-bus object never reconnects.
    m_busName = QStringLiteral("tavlor-nm-%1").arg(++m_connections);
    m_proxy->setBus(QDBusConnection::connectToBus(QDBusConnection::SystemBus, m_busName));
    if (!m_proxy->bus().isConnected()) {
        m_state->clear();
        m_reconnecting = true;
        QTimer::singleShot(m_reconnectMs, this, &NmDialupService::connectBus);
        m_reconnectMs = std::min(2 * m_reconnectMs, kReconnectMaxMs);
        return;
    }
    m_reconnectMs = kReconnectMs;
    m_state->attach();
}

void NmDialupService::noticeLostBus() const
{
    // Qt tells nobody when the bus goes away; the tick's look at the state notices instead of a
    // timer of our own that would wake the program.
    if (m_reconnecting || m_proxy->bus().isConnected()) {
        return;
    }
    m_reconnecting = true;
    auto* self = const_cast<NmDialupService*>(this);
    QTimer::singleShot(0, self, [self] {
        self->m_state->clear();
        self->connectBus();
    });
}

bool NmDialupService::available() const
{
    noticeLostBus();
    return m_proxy->bus().isConnected() && m_state->running();
}

std::vector<ActiveDialup> NmDialupService::activeConnections() const
{
    noticeLostBus();
    std::vector<ActiveDialup> active = m_state->dialups();
    for (ActiveDialup& a : active) {
        if (auto copy = m_copyOf.find(a.entryId); copy != m_copyOf.end()) {
            a.entryId = copy->second; // the entry the user dialled, not its in-memory copy
        }
    }
    return active;
}

std::string NmDialupService::missingReason() const
{
    return kNmMissing;
}

bool NmDialupService::usable(const Done& done) const
{
    if (available()) {
        return true;
    }
    done(DialupResult::failure(Status::ServiceMissing, kNmMissing));
    return false;
}

void NmDialupService::dial(const std::string& id, DialValues values, Done done)
{
    if (!usable(done)) {
        return;
    }
    auto shared = std::make_shared<DialValues>(std::move(values));
    findProfile(id, [this, shared, done](const DialupResult& found, DialUpProfile profile) {
        if (!found.ok()) {
            done(found);
            return;
        }
        activate(std::move(profile), std::move(*shared), done);
    });
}

void NmDialupService::activate(DialUpProfile profile, DialValues values, Done done)
{
    auto started = [this, done](const QDBusError& error, QString active) {
        if (error.isValid()) {
            done(resultOf(error));
            return;
        }
        watchActivation(active, done);
    };
    const bool changed = dialValuesChange(profile, values);
    const bool typedPassword = values.typedPassword();
    if (!changed && !typedPassword) {
        // The stored entry as it is: NetworkManager uses the password it keeps.
        m_proxy->ActivateConnection(profile.path, started);
        return;
    }
    applyDialValues(profile, values);
    if (values.password) {
        values.password->wipe();
    }
    QVariantMap& connection = profile.settings[QStringLiteral("connection")];
    const QString copy = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (m_copyOf.size() > kMaxCopies) {
        // Only the copies of connections still up matter.
        std::map<std::string, std::string> up;
        for (const ActiveDialup& a : m_state->dialups()) {
            if (auto it = m_copyOf.find(a.entryId); it != m_copyOf.end()) {
                up.insert(*it);
            }
        }
        m_copyOf = std::move(up);
    }
    m_copyOf[copy.toStdString()] = profile.uuid().toStdString();
    connection.insert(QStringLiteral("uuid"), copy);
    connection.insert(QStringLiteral("autoconnect"), false);
    auto shared = std::make_shared<DialUpProfile>(std::move(profile));
    auto send = [this, shared, started] {
        const QVariantMap options{{QStringLiteral("persist"), QStringLiteral("volatile")}};
        m_proxy->AddAndActivateConnection2(shared->settings, options, started);
        wipePassword(*shared);
    };
    if (typedPassword || passwordNeverStored(*shared)) {
        send();
        return;
    }
    // The copy has a new UUID, so neither NetworkManager nor an agent knows its secret: the
    // stored profile's own password goes with it, read through NetworkManager.
    m_proxy->GetSecrets(shared->path, shared->dataSetting,
                        [shared, send, done](const QDBusError& error, NmSettings secrets) {
                            if (error.isValid()) {
                                done(DialupResult::failure(Status::Refused, kStoredPasswordUnusable));
                                return;
                            }
                            QString secret = storedPassword(secrets, shared->dataSetting);
                            if (!secret.isEmpty()) {
                                applyStoredPassword(*shared, secret);
                                secret.fill(QChar(0));
                            }
                            send();
                        });
}

void NmDialupService::watchActivation(const QString& active, Done done)
{
    auto* deadline = new QTimer(this);
    deadline->setSingleShot(true);
    m_dials.push_back(PendingDial{active, std::move(done), deadline});
    connect(deadline, &QTimer::timeout, this, [this, active] {
        for (std::size_t i = 0; i < m_dials.size(); ++i) {
            if (m_dials[i].active == active) {
                m_proxy->DeactivateConnection(active, [](const QDBusError&) {});
                finishDial(
                    i, DialupResult::failure(Status::Failed, "Zeitüberschreitung beim Verbindungsaufbau."));
                return;
            }
        }
    });
    deadline->start(m_dialTimeoutMs);
    settleDials();
}

void NmDialupService::settleDials()
{
    for (std::size_t i = m_dials.size(); i-- > 0;) {
        PendingDial& dial = m_dials[i];
        const NmConnectionState::Active* active = m_state->active(dial.active);
        if (active == nullptr) {
            if (dial.seen || !m_state->running()) {
                finishDial(i, DialupResult::failure(Status::Failed,
                                                    activationFailure(dial.reason, dial.deviceReason)));
            }
            continue;
        }
        dial.seen = true;
        dial.reason = active->reason;
        if (const uint device = m_state->deviceFailure(dial.active); device != 0) {
            dial.deviceReason = device;
        }
        if (active->state == NmConnectionState::kActivated) {
            finishDial(i, {});
        } else if (active->state > NmConnectionState::kActivated) {
            if (active->reason == 0 && !dial.waitedForReason) {
                // The new state may come before the StateChanged signal that carries its reason.
                dial.waitedForReason = true;
                QTimer::singleShot(kReasonGraceMs, this, &NmDialupService::settleDials);
                continue;
            }
            finishDial(i, DialupResult::failure(Status::Failed,
                                                activationFailure(active->reason, dial.deviceReason)));
        }
    }
}

void NmDialupService::finishDial(std::size_t index, const DialupResult& result)
{
    PendingDial dial = std::move(m_dials[index]);
    m_dials.erase(m_dials.begin() + static_cast<std::ptrdiff_t>(index));
    dial.deadline->deleteLater();
    dial.done(result);
}

void NmDialupService::hangUp(const std::string& connectionId, Done done)
{
    if (!usable(done)) {
        return;
    }
    if (connectionId.empty() || m_state->active(QString::fromStdString(connectionId)) == nullptr) {
        done(DialupResult::failure(Status::NotFound, "Diese Verbindung besteht nicht."));
        return;
    }
    m_proxy->DeactivateConnection(QString::fromStdString(connectionId),
                                  [done](const QDBusError& error) { done(resultOf(error)); });
}

} // namespace tavlor::platform::nm

namespace tavlor::platform {

std::unique_ptr<DialupService> makeDialupService()
{
    return std::make_unique<nm::NmDialupService>();
}

} // namespace tavlor::platform
