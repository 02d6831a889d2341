#include "platform/linux/nm/NmRasProvider.h"

#include "dialup/RasFields.h"
#include "platform/linux/nm/NmActivationWait.h"
#include "platform/linux/nm/NmErrors.h"

#include <QUuid>

// The connection side of the provider: dialling, hang-up and the active connections.
namespace tavlor::platform::nm {

namespace {
constexpr uint kActivated = 2;

// NMActiveConnectionStateReason -> the provider's codes.
RasDword codeForReason(uint reason)
{
    switch (reason) {
    case 9:  // no secrets
    case 10: // login failed
        return kNmAuthenticationFailed;
    case 6: // connect timeout
    case 7: // service start timeout
        return kNmTimeout;
    case 3:  // device disconnected
    case 13: // device realize failed
    case 14: // device removed
        return kNmNoDevice;
    default:
        return kNmDeviceError;
    }
}

bool isDialUpType(const QString& type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe") ||
           type == QLatin1String("bluetooth");
}

// The in-memory copy that carries the dialled values; NetworkManager forgets it once it is down.
NmSettings dialCopy(DialUpProfile profile, const RASDIALPARAMSA& params)
{
    applyDialValues(profile, QString::fromStdString(rasfields::text(params.szUserName)),
                    QString::fromStdString(rasfields::text(params.szPassword)),
                    QString::fromStdString(rasfields::text(params.szPhoneNumber)));
    QVariantMap& connection = profile.settings[QStringLiteral("connection")];
    connection.insert(QStringLiteral("uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    connection.insert(QStringLiteral("autoconnect"), false);
    return profile.settings;
}
} // namespace

RasHandle NmRasProvider::handleFor(const QString& activePath)
{
    for (const auto& [handle, path] : m_handles) {
        if (path == activePath) {
            return handle;
        }
    }
    if (m_nextHandle == 0) {
        m_nextHandle = 1;
    }
    m_handles[m_nextHandle] = activePath;
    return m_nextHandle++;
}

RasDword NmRasProvider::waitForActivation(const QDBusObjectPath& active)
{
    NmActivationWait wait(m_proxy, active);
    switch (wait.run(m_dialTimeoutMs)) {
    case NmActivationWait::Outcome::Activated:
        return 0;
    case NmActivationWait::Outcome::TimedOut:
        return kNmTimeout;
    case NmActivationWait::Outcome::Failed:
        break;
    }
    return codeForReason(wait.reason());
}

RasDword NmRasProvider::dial(RASDIALPARAMSA* params, RasHandle* connection)
{
    if (params == nullptr || connection == nullptr || params->dwSize != sizeof(RASDIALPARAMSA)) {
        return kNmInvalidSize;
    }
    *connection = 0;
    DialUpProfile profile;
    RasDword rc = 0;
    if (!findProfile(rasfields::text(params->szEntryName), profile, rc)) {
        return rc;
    }
    const QVariantMap options{{QStringLiteral("persist"), QStringLiteral("volatile")}};
    QDBusObjectPath copy;
    QDBusObjectPath active;
    if (!m_proxy.AddAndActivateConnection2(dialCopy(std::move(profile), *params), options, copy, active)) {
        const QString name = m_proxy.lastError().name();
        if (name.endsWith(QLatin1String("UnknownDevice")) ||
            name.endsWith(QLatin1String("ConnectionNotAvailable"))) {
            return kNmNoDevice;
        }
        return failure();
    }
    *connection = handleFor(active.path());
    return waitForActivation(active);
}

RasDword NmRasProvider::hangUp(RasHandle connection)
{
    auto it = m_handles.find(connection);
    if (it == m_handles.end()) {
        return kNmInvalidHandle;
    }
    const QDBusObjectPath active(it->second);
    m_handles.erase(it);
    if (!m_proxy.DeactivateConnection(active)) {
        const RasDword rc = failure();
        return rc == kNmServiceUnavailable ? rc : kNmInvalidHandle;
    }
    return 0;
}

RasDword NmRasProvider::enumConnections(RASCONNA* connections, RasDword* byteCount, RasDword* count)
{
    if (connections == nullptr || byteCount == nullptr || count == nullptr ||
        connections[0].dwSize != sizeof(RASCONNA)) {
        return kNmInvalidSize;
    }
    QList<QDBusObjectPath> paths;
    if (!m_proxy.ActiveConnections(paths)) {
        return failure();
    }
    const std::size_t room = *byteCount / sizeof(RASCONNA);
    std::size_t found = 0;
    for (const QDBusObjectPath& path : paths) {
        QVariantMap properties;
        if (!m_proxy.ActiveConnectionProperties(path, properties) ||
            !isDialUpType(properties.value(QStringLiteral("Type")).toString()) ||
            properties.value(QStringLiteral("State")).toUInt() != kActivated) {
            continue;
        }
        if (found < room) {
            RASCONNA& record = connections[found];
            record.dwSize = sizeof(RASCONNA);
            record.hrasconn = handleFor(path.path());
            const QString type = properties.value(QStringLiteral("Type")).toString();
            rasfields::assign(record.szDeviceType, type == QLatin1String("pppoe") ? "pppoe" : "modem");
            const std::string id = properties.value(QStringLiteral("Id")).toString().toStdString();
            rasfields::assign(record.szEntryName, id.substr(0, kRasMaxEntryName));
            QString device;
            const auto devices = NmProxy::toPathList(properties.value(QStringLiteral("Devices")));
            if (!devices.isEmpty()) {
                m_proxy.DeviceInterface(devices.constFirst(), device);
            }
            rasfields::assign(record.szDeviceName, device.toStdString().substr(0, kRasMaxDeviceName));
        }
        ++found;
    }
    // Handles of connections that are gone are forgotten.
    std::erase_if(m_handles,
                  [&paths](const auto& item) { return !paths.contains(QDBusObjectPath(item.second)); });
    *count = static_cast<RasDword>(found);
    if (found > room) {
        *byteCount = static_cast<RasDword>(found * sizeof(RASCONNA));
        return kNmBufferTooSmall;
    }
    return 0;
}

} // namespace tavlor::platform::nm
