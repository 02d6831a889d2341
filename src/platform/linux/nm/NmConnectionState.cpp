#include "platform/linux/nm/NmConnectionState.h"

#include "platform/linux/nm/NmProfile.h"

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

constexpr uint kDeviceFailed = 120; // NM_DEVICE_STATE_FAILED
constexpr uint kDevicePrepare = 40; // NM_DEVICE_STATE_PREPARE
constexpr uint kDeviceActivated = 100;

bool isDialUpType(const QString& type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe") ||
           type == QLatin1String("bluetooth");
}

// The device's StateReason, a (uu) structure of state and reason.
bool readStateReason(const QVariant& value, uint& state, uint& reason)
{
    if (!value.canConvert<QDBusArgument>()) {
        return false;
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(uu)")) {
        return false;
    }
    argument.beginStructure();
    argument >> state >> reason;
    argument.endStructure();
    return true;
}
} // namespace

NmConnectionState::NmConnectionState(NmProxy& proxy, QObject* parent, bool followAllDevices)
    : QObject(parent), m_proxy(proxy), m_followAllDevices(followAllDevices)
{
}

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
    m_primary.clear();
    m_metered = 0;
    m_order.clear();
    m_actives.clear();
    m_devices.clear();
    m_firstDevice.clear();
    notify();
}

void NmConnectionState::setRunning(bool running)
{
    ++m_generation;
    m_running = running;
    m_primary.clear();
    m_metered = 0;
    m_order.clear();
    m_actives.clear();
    m_devices.clear();
    m_firstDevice.clear();
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
        // Counted only what the entry list would list too: a Bluetooth PAN link is no dial-up.
        if (!a.loaded || a.state != kActivated || a.kind != Active::Kind::DialUp) {
            continue;
        }
        ActiveDialup dialup{path.toStdString(), a.id.toStdString(), {}, {}, a.uuid.toStdString()};
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

uint NmConnectionState::deviceFailure(const QString& activePath) const
{
    const auto device = m_firstDevice.constFind(activePath);
    return device == m_firstDevice.constEnd() ? 0 : m_devices.value(*device).failure;
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
            applyManager(values);
            PathList paths;
            if (!NmProxy::readPaths(values.value(QStringLiteral("ActiveConnections")), paths)) {
                qWarning("tavlor: NetworkManager's ActiveConnections is not a list of paths; ignored");
                notify();
                return;
            }
            setActivePaths(paths);
        });
}

void NmConnectionState::applyManager(const QVariantMap& values)
{
    const auto primary = values.constFind(QStringLiteral("PrimaryConnection"));
    if (primary != values.constEnd()) {
        m_primary =
            primary->canConvert<QDBusObjectPath>() ? primary->value<QDBusObjectPath>().path() : QString();
    }
    // A value of another type is no knowledge: unknown, and never metered.
    if (values.contains(QStringLiteral("Metered")) &&
        !NmProxy::readUInt(values.value(QStringLiteral("Metered")), m_metered)) {
        m_metered = 0;
    }
}

QString NmConnectionState::ipInterfaceOf(const Active& active) const
{
    if (active.devices.isEmpty()) {
        return {};
    }
    const Device device = m_devices.value(active.devices.constFirst().path());
    return device.ipInterface.isEmpty() ? device.interface : device.ipInterface;
}

std::optional<PrimaryConnection> NmConnectionState::primary() const
{
    const auto it = m_actives.constFind(m_primary);
    if (!m_running || it == m_actives.constEnd() || !it->loaded || it->state != kActivated) {
        return std::nullopt;
    }
    // NMMetered: 0 unknown, 1 yes, 2 no, 3 guess-yes, 4 guess-no.
    static constexpr Metering kMetering[] = {Metering::Unknown, Metering::Yes, Metering::No,
                                             Metering::GuessYes, Metering::GuessNo};
    PrimaryConnection primary;
    primary.id = m_primary.toStdString();
    primary.profileId = it->uuid.toStdString();
    primary.name = it->id.toStdString();
    primary.interfaceName = ipInterfaceOf(*it).toStdString();
    primary.metering = m_metered < std::size(kMetering) ? kMetering[m_metered] : Metering::Unknown;
    return primary;
}

std::string NmConnectionState::profileOver(const std::string& interfaceName) const
{
    if (interfaceName.empty()) {
        return {};
    }
    const QString wanted = QString::fromStdString(interfaceName);
    for (const QString& path : m_order) {
        const Active& a = m_actives[path];
        if (a.loaded && a.state == kActivated && ipInterfaceOf(a) == wanted) {
            return a.id.toStdString();
        }
    }
    return {};
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
    for (auto it = m_firstDevice.begin(); it != m_firstDevice.end();) {
        it = order.contains(it.key()) ? std::next(it) : m_firstDevice.erase(it);
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
            applyActive(path, *it, values);
            it->loaded = true;
        }
        notify();
    });
}

void NmConnectionState::applyActive(const QString& path, Active& active, const QVariantMap& values)
{
    NmProxy::readString(values.value(QStringLiteral("Id")), active.id);
    NmProxy::readString(values.value(QStringLiteral("Uuid")), active.uuid);
    NmProxy::readString(values.value(QStringLiteral("Type")), active.type);
    NmProxy::readUInt(values.value(QStringLiteral("State")), active.state);
    if (values.contains(QStringLiteral("Connection"))) {
        const QVariant value = values.value(QStringLiteral("Connection"));
        if (value.canConvert<QDBusObjectPath>()) {
            active.connection = value.value<QDBusObjectPath>().path();
        }
    }
    if (active.kind == Active::Kind::Unknown && !active.type.isEmpty()) {
        if (!isDialUpType(active.type)) {
            active.kind = Active::Kind::Other;
        } else if (active.type != QLatin1String("bluetooth")) {
            active.kind = Active::Kind::DialUp;
        } else if (!active.connection.isEmpty() && !active.kindAsked) {
            active.kindAsked = true;
            loadKind(path, active.connection);
        }
    }
    if (values.contains(QStringLiteral("Devices")) &&
        NmProxy::readPaths(values.value(QStringLiteral("Devices")), active.devices) &&
        (m_followAllDevices || isDialUpType(active.type))) {
        for (const QDBusObjectPath& device : active.devices) {
            if (!m_devices.contains(device.path())) {
                m_devices.insert(device.path(), Device{});
                loadDevice(device.path());
            }
        }
        if (!active.devices.isEmpty()) {
            m_firstDevice.insert(path, active.devices.constFirst().path());
        }
    }
}

void NmConnectionState::loadKind(const QString& path, const QString& connection)
{
    const int generation = m_generation;
    m_proxy.GetSettings(connection, [this, generation, path](const QDBusError& error, NmSettings settings) {
        auto it = m_actives.find(path);
        if (generation != m_generation || it == m_actives.end()) {
            return;
        }
        it->kind = !error.isValid() && dialUpKind(settings) == QLatin1String("bluetooth")
                       ? Active::Kind::DialUp
                       : Active::Kind::Other;
        notify();
    });
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
    uint state = 0;
    uint reason = 0;
    if (values.contains(QStringLiteral("StateReason")) &&
        readStateReason(values.value(QStringLiteral("StateReason")), state, reason)) {
        // The reason of a failure outlives the device's next state (disconnected, reason none);
        // a new start forgets it.
        if (state == kDeviceFailed) {
            device.failure = reason;
        } else if (state >= kDevicePrepare && state <= kDeviceActivated) {
            device.failure = 0;
        }
    }
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
        (values.contains(QStringLiteral("PrimaryConnection")) ||
         values.contains(QStringLiteral("Metered"))) &&
        !values.contains(QStringLiteral("ActiveConnections"))) {
        applyManager(values);
        notify();
    } else if (path == kManagerPath && interface == kManagerIface &&
               values.contains(QStringLiteral("ActiveConnections"))) {
        applyManager(values);
        PathList paths;
        if (NmProxy::readPaths(values.value(QStringLiteral("ActiveConnections")), paths)) {
            setActivePaths(paths);
        } else {
            qWarning("tavlor: NetworkManager's ActiveConnections is not a list of paths; ignored");
        }
    } else if (interface == kActiveIface && m_actives.contains(path)) {
        applyActive(path, m_actives[path], values);
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
