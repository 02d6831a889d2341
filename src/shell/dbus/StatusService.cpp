#include "shell/dbus/StatusService.h"

#include "status/StatusSnapshot.h"
#include "status/bus/StatusBus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace tavlor {

namespace {

constexpr qint64 kSignalSpacingMs = 950; // one a tick, never two a second

QDBusMessage busCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                          QStringLiteral("/org/freedesktop/DBus"),
                                          QStringLiteral("org.freedesktop.DBus"), method);
}

} // namespace

StatusService::StatusService(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_status(std::make_unique<StatusSnapshot>())
{
    m_watcher = new QDBusServiceWatcher(this);
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &StatusService::forget);
    m_bus.registerObject(kStatusObjectPath, this,
                         QDBusConnection::ExportAllProperties | QDBusConnection::ExportScriptableSlots);
    // registerService() would wait for the bus daemon's answer on the window thread.
    QDBusMessage request = busCall(QStringLiteral("RequestName"));
    request << kStatusBusName << 4u; // DBUS_NAME_FLAG_DO_NOT_QUEUE: a second program is refused anyway
    m_bus.asyncCall(request);
    m_sinceSignal.start();
}

StatusService::~StatusService()
{
    m_bus.unregisterObject(kStatusObjectPath);
}

QVariant StatusService::value(const char* name) const
{
    return StatusProperties(*m_status).value(QLatin1String(name));
}

void StatusService::publish(const StatusSnapshot& status)
{
    // Without subscribers a tick costs one copy: the properties are made when somebody reads.
    *m_status = status;
    if (!m_subscribers.isEmpty() && m_sinceSignal.elapsed() >= kSignalSpacingMs) {
        signalChanges();
    }
}

void StatusService::signalChanges()
{
    const QVariantMap now = StatusProperties(*m_status);
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_signalled.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    m_signalled = now;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kStatusObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kStatusInterface) << changed << QStringList();
    m_bus.send(signal);
    m_sinceSignal.restart();
}

void StatusService::Subscribe()
{
    if (!calledFromDBus()) {
        return;
    }
    const QString client = message().service();
    if (m_subscribers.contains(client)) {
        return;
    }
    if (m_subscribers.isEmpty()) {
        m_signalled = StatusProperties(*m_status); // a subscriber reads the whole state first
    }
    m_subscribers.insert(client);
    m_watcher->addWatchedService(client);
    // A client that left before the watch was in place would otherwise be kept for ever.
    QDBusMessage ask = busCall(QStringLiteral("NameHasOwner"));
    ask << client;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, client](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<bool> reply = *w;
        if (reply.isValid() && !reply.value()) {
            forget(client);
        }
        w->deleteLater();
    });
}

void StatusService::Unsubscribe()
{
    if (calledFromDBus()) {
        forget(message().service());
    }
}

void StatusService::forget(const QString& client)
{
    if (m_subscribers.remove(client)) {
        m_watcher->removeWatchedService(client);
    }
}

} // namespace tavlor
