#include "platform/linux/nm/NmConnectionState.h"

#include <QDBusArgument>
#include <QDebug>

namespace tavlor::platform::nm {

namespace {
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerIface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kActiveIface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kDeviceIface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kPropertiesIface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");

bool isDialUpType(const QString& type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe") ||
           type == QLatin1String("bluetooth");
}
} // namespace

NmConnectionState::NmConnectionState(NmProxy& proxy, QObject* parent) : QObject(parent), m_proxy(proxy) {}

void NmConnectionState::attach()
{
    QDBusConnection& bus = m_proxy.bus();
    // QtDBus offers only the string-based connect for bus signals.
    bus.connect(kBusService, QStringLiteral("/org/freedesktop/DBus"), kBusService,
                QStringLiteral("NameOwnerChanged"), {kService}, QString(), this,
                SLOT(onNameOwnerChanged(QString, QString, QString)));
    bus.connect(kService, QString(), kPropertiesIface, QStringLiteral("PropertiesChanged"), this,
                SLOT(onPropertiesChanged(QDBusMessage)));
    bus.connect(kService, QString(), kActiveIface, QStringLiteral("StateChanged"), this,
                SLOT(onActiveStateChanged(QDBusMessage)));
    const int generation = ++m_generation;
    m_proxy.NameHasOwner([this, generation](const QDBusError& error, bool owned) {
        if (generation == m_generation && !error.isValid()) {
            setRunning(owned);
        }
    });
}

void NmConnectionState::clear()
{
    ++m_generation;
    m_running = false;
    m_order.clear();
    m_actives.clear();
    m_devices.clear();
    notify();
}

void NmConnectionState::setRunning(bool running)
{
    ++m_generation;
    m_running = running;
    m_order.clear();
    m_actives.clear();
    m_devices.clear();
    if (running) {
        loadManager();
    }
    notify();
}

void NmConnectionState::notify()
{
    if (changed) {
        changed();
    }
}

std::vector<ActiveDialup> NmConnectionState::dialups() const
{
    std::vector<ActiveDialup> found;
    for (const QString& path : m_order) {
        const Active& a = m_actives[path];
        if (!a.loaded || a.state != kActivated || !isDialUpType(a.type)) {
            continue;
        }
        ActiveDialup dialup{path.toStdString(), a.id.toStdString(), {}, {}};
        if (!a.devices.isEmpty()) {
            const Device device = m_devices.value(a.devices.constFirst().path());
            dialup.device = device.interface.toStdString();
            dialup.interfaceName =
                (device.ipInterface.isEmpty() ? device.interface : device.ipInterface).toStdString();
        }
        found.push_back(std::move(dialup));
    }
    return found;
}

const NmConnectionState::Active* NmConnectionState::active(const QString& path) const
{
    auto it = m_actives.constFind(path);
    return it == m_actives.constEnd() ? nullptr : &*it;
}

void NmConnectionState::onNameOwnerChanged(const QString& name, const QString&, const QString& newOwner)
{
    if (name == kService) {
        setRunning(!newOwner.isEmpty());
    }
}

void NmConnectionState::loadManager()
{
    const int generation = m_generation;
    m_proxy.GetAll(
        kManagerPath, kManagerIface, [this, generation](const QDBusError& error, QVariantMap values) {
            if (generation != m_generation || error.isValid()) {
                return;
            }
            PathList paths;
            if (!NmProxy::readPaths(values.value(QStringLiteral("ActiveConnections")), paths)) {
                qWarning("tavlor: NetworkManager's ActiveConnections is not a list of paths; ignored");
                return;
            }
            setActivePaths(paths);
        });
}

void NmConnectionState::setActivePaths(const PathList& paths)
{
    QStringList order;
    for (const QDBusObjectPath& path : paths) {
        order << path.path();
    }
    for (auto it = m_actives.begin(); it != m_actives.end();) {
        it = order.contains(it.key()) ? std::next(it) : m_actives.erase(it);
    }
    m_order = order;
    for (const QString& path : order) {
        if (!m_actives.contains(path)) {
            m_actives.insert(path, Active{});
            loadActive(path);
        }
    }
    notify();
}

void NmConnectionState::loadActive(const QString& path)
{
    const int generation = m_generation;
    m_proxy.GetAll(path, kActiveIface, [this, generation, path](const QDBusError& error, QVariantMap values) {
        auto it = m_actives.find(path);
        if (generation != m_generation || it == m_actives.end()) {
            return;
        }
        if (error.isValid()) {
            // Gone before we asked: it counts as deactivated.
            it->state = kDeactivated;
            it->loaded = true;
        } else {
            applyActive(*it, values);
            it->loaded = true;
        }
        notify();
    });
}

void NmConnectionState::applyActive(Active& active, const QVariantMap& values)
{
    NmProxy::readString(values.value(QStringLiteral("Id")), active.id);
    NmProxy::readString(values.value(QStringLiteral("Type")), active.type);
    NmProxy::readUInt(values.value(QStringLiteral("State")), active.state);
    if (values.contains(QStringLiteral("Devices")) &&
        NmProxy::readPaths(values.value(QStringLiteral("Devices")), active.devices) &&
        isDialUpType(active.type)) {
        for (const QDBusObjectPath& device : active.devices) {
            if (!m_devices.contains(device.path())) {
                m_devices.insert(device.path(), Device{});
                loadDevice(device.path());
            }
        }
    }
}

void NmConnectionState::loadDevice(const QString& path)
{
    const int generation = m_generation;
    m_proxy.GetAll(path, kDeviceIface, [this, generation, path](const QDBusError& error, QVariantMap values) {
        auto it = m_devices.find(path);
        if (generation == m_generation && it != m_devices.end() && !error.isValid()) {
            applyDevice(*it, values);
            notify();
        }
    });
}

void NmConnectionState::applyDevice(Device& device, const QVariantMap& values)
{
    NmProxy::readString(values.value(QStringLiteral("Interface")), device.interface);
    NmProxy::readString(values.value(QStringLiteral("IpInterface")), device.ipInterface);
}

void NmConnectionState::onPropertiesChanged(const QDBusMessage& message)
{
    if (message.signature() != QLatin1String("sa{sv}as")) {
        qWarning().noquote() << "tavlor: PropertiesChanged of" << message.path() << "with signature"
                             << message.signature() << "ignored";
        return;
    }
    const QString interface = message.arguments().at(0).toString();
    const QVariantMap values = qdbus_cast<QVariantMap>(message.arguments().at(1));
    const QString path = message.path();
    if (path == kManagerPath && interface == kManagerIface &&
        values.contains(QStringLiteral("ActiveConnections"))) {
        PathList paths;
        if (NmProxy::readPaths(values.value(QStringLiteral("ActiveConnections")), paths)) {
            setActivePaths(paths);
        } else {
            qWarning("tavlor: NetworkManager's ActiveConnections is not a list of paths; ignored");
        }
    } else if (interface == kActiveIface && m_actives.contains(path)) {
        applyActive(m_actives[path], values);
        notify();
    } else if (interface == kDeviceIface && m_devices.contains(path)) {
        applyDevice(m_devices[path], values);
        notify();
    }
}

void NmConnectionState::onActiveStateChanged(const QDBusMessage& message)
{
    auto it = m_actives.find(message.path());
    if (message.signature() != QLatin1String("uu") || it == m_actives.end()) {
        return;
    }
    it->state = message.arguments().at(0).toUInt();
    it->reason = message.arguments().at(1).toUInt();
    notify();
}

} // namespace tavlor::platform::nm
