#include "platform/linux/nm/NmProxy.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>

namespace tavlor::platform::nm {

namespace {
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kManagerIface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsIface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnectionIface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kActiveIface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kDeviceIface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kPropertiesIface = QStringLiteral("org.freedesktop.DBus.Properties");

void registerTypes()
{
    static const bool done = [] {
        // QTBUG-108822: signals carrying object paths are dropped until the type is known.
        qRegisterMetaType<QDBusObjectPath>();
        qDBusRegisterMetaType<NmSettings>();
        qDBusRegisterMetaType<QList<QDBusObjectPath>>();
        return true;
    }();
    (void)done;
}

QVariant unwrap(const QVariant& value)
{
    if (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>()) {
        return value.value<QDBusVariant>().variant();
    }
    return value;
}

template <typename T> bool firstArgument(const QDBusMessage& reply, T& out)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    const QVariant first = reply.arguments().constFirst();
    if (first.userType() == qMetaTypeId<QDBusArgument>()) {
        out = qdbus_cast<T>(first.value<QDBusArgument>());
    } else {
        out = first.value<T>();
    }
    return true;
}
} // namespace

NmProxy::NmProxy(QDBusConnection bus) : m_bus(std::move(bus))
{
    registerTypes();
}

bool NmProxy::isRunning()
{
    if (!m_bus.isConnected() || m_bus.interface() == nullptr) {
        return false;
    }
    const QDBusReply<bool> owned = m_bus.interface()->isServiceRegistered(kService);
    return owned.isValid() && owned.value();
}

QDBusMessage NmProxy::call(const QString& path, const QString& interface, const QString& method,
                           const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        m_lastError = QDBusError(reply);
    } else if (reply.type() != QDBusMessage::ReplyMessage) {
        m_lastError = m_bus.lastError();
    }
    return reply;
}

bool NmProxy::property(const QString& path, const QString& interface, const QString& name, QVariant& out)
{
    const QDBusMessage reply = call(path, kPropertiesIface, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    out = unwrap(reply.arguments().constFirst());
    return true;
}

QList<QDBusObjectPath> NmProxy::toPathList(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        return qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    }
    return value.value<QList<QDBusObjectPath>>();
}

bool NmProxy::ListConnections(QList<QDBusObjectPath>& out)
{
    return firstArgument(call(kSettingsPath, kSettingsIface, QStringLiteral("ListConnections")), out);
}

bool NmProxy::AddConnection(const NmSettings& settings, QDBusObjectPath& out)
{
    return firstArgument(
        call(kSettingsPath, kSettingsIface, QStringLiteral("AddConnection"), {QVariant::fromValue(settings)}),
        out);
}

bool NmProxy::GetSettings(const QDBusObjectPath& connection, NmSettings& out)
{
    return firstArgument(call(connection.path(), kConnectionIface, QStringLiteral("GetSettings")), out);
}

bool NmProxy::GetSecrets(const QDBusObjectPath& connection, const QString& settingName, NmSettings& out)
{
    return firstArgument(
        call(connection.path(), kConnectionIface, QStringLiteral("GetSecrets"), {settingName}), out);
}

bool NmProxy::Update(const QDBusObjectPath& connection, const NmSettings& settings)
{
    return call(connection.path(), kConnectionIface, QStringLiteral("Update"),
                {QVariant::fromValue(settings)})
               .type() == QDBusMessage::ReplyMessage;
}

bool NmProxy::Delete(const QDBusObjectPath& connection)
{
    return call(connection.path(), kConnectionIface, QStringLiteral("Delete")).type() ==
           QDBusMessage::ReplyMessage;
}

bool NmProxy::Flags(const QDBusObjectPath& connection, uint& out)
{
    QVariant value;
    if (!property(connection.path(), kConnectionIface, QStringLiteral("Flags"), value)) {
        return false;
    }
    out = value.toUInt();
    return true;
}

bool NmProxy::AddAndActivateConnection2(const NmSettings& settings, const QVariantMap& options,
                                        QDBusObjectPath& connection, QDBusObjectPath& active)
{
    const QVariant anyDevice = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    const QDBusMessage reply = call(kManagerPath, kManagerIface, QStringLiteral("AddAndActivateConnection2"),
                                    {QVariant::fromValue(settings), anyDevice, anyDevice, options});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2) {
        return false;
    }
    connection = reply.arguments().at(0).value<QDBusObjectPath>();
    active = reply.arguments().at(1).value<QDBusObjectPath>();
    return true;
}

bool NmProxy::DeactivateConnection(const QDBusObjectPath& active)
{
    return call(kManagerPath, kManagerIface, QStringLiteral("DeactivateConnection"),
                {QVariant::fromValue(active)})
               .type() == QDBusMessage::ReplyMessage;
}

bool NmProxy::ActiveConnections(QList<QDBusObjectPath>& out)
{
    QVariant value;
    if (!property(kManagerPath, kManagerIface, QStringLiteral("ActiveConnections"), value)) {
        return false;
    }
    out = toPathList(value);
    return true;
}

bool NmProxy::ActiveConnectionProperties(const QDBusObjectPath& active, QVariantMap& out)
{
    return firstArgument(call(active.path(), kPropertiesIface, QStringLiteral("GetAll"), {kActiveIface}),
                         out);
}

bool NmProxy::ActiveConnectionState(const QDBusObjectPath& active, uint& out)
{
    QVariant value;
    if (!property(active.path(), kActiveIface, QStringLiteral("State"), value)) {
        return false;
    }
    out = value.toUInt();
    return true;
}

bool NmProxy::DeviceInterface(const QDBusObjectPath& device, QString& out)
{
    QVariant value;
    if (!property(device.path(), kDeviceIface, QStringLiteral("Interface"), value)) {
        return false;
    }
    out = value.toString();
    return true;
}

} // namespace tavlor::platform::nm
