#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace tavlor::platform::nm {

// NetworkManager's connection description: setting name -> key -> value (a{sa{sv}}).
// Values NetworkManager sends in shapes Qt does not convert by itself (arrays of structures,
// "au") stay QDBusArgument and are sent back unchanged.
using NmSettings = QMap<QString, QVariantMap>;

// A thin proxy over NetworkManager's D-Bus API on one bus; the method names are NetworkManager's
// own. Every call blocks without running the event loop; a failed call returns false (or an
// empty value) and leaves its error in lastError().
class NmProxy
{
public:
    static constexpr int kCallTimeoutMs = 10000;

    explicit NmProxy(QDBusConnection bus);

    // Whether org.freedesktop.NetworkManager has an owner on the bus.
    bool isRunning();
    QDBusConnection& bus() { return m_bus; }
    const QDBusError& lastError() const { return m_lastError; }

    // org.freedesktop.NetworkManager.Settings
    bool ListConnections(QList<QDBusObjectPath>& out);
    bool AddConnection(const NmSettings& settings, QDBusObjectPath& out);
    // org.freedesktop.NetworkManager.Settings.Connection
    bool GetSettings(const QDBusObjectPath& connection, NmSettings& out);
    bool GetSecrets(const QDBusObjectPath& connection, const QString& settingName, NmSettings& out);
    bool Update(const QDBusObjectPath& connection, const NmSettings& settings);
    bool Delete(const QDBusObjectPath& connection);
    bool Flags(const QDBusObjectPath& connection, uint& out);
    // org.freedesktop.NetworkManager
    bool AddAndActivateConnection2(const NmSettings& settings, const QVariantMap& options,
                                   QDBusObjectPath& connection, QDBusObjectPath& active);
    bool DeactivateConnection(const QDBusObjectPath& active);
    bool ActiveConnections(QList<QDBusObjectPath>& out);
    // org.freedesktop.NetworkManager.Connection.Active: every property at once.
    bool ActiveConnectionProperties(const QDBusObjectPath& active, QVariantMap& out);
    bool ActiveConnectionState(const QDBusObjectPath& active, uint& out);
    // org.freedesktop.NetworkManager.Device.Interface
    bool DeviceInterface(const QDBusObjectPath& device, QString& out);

    static QList<QDBusObjectPath> toPathList(const QVariant& value);

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    bool property(const QString& path, const QString& interface, const QString& name, QVariant& out);

    QDBusConnection m_bus;
    QDBusError m_lastError;
};

} // namespace tavlor::platform::nm
