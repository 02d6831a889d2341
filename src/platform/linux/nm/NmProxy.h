#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace tavlor::platform::nm {

// NetworkManager's connection description: setting name -> key -> value (a{sa{sv}}).
// Values NetworkManager sends in shapes Qt does not convert by itself (arrays of structures,
// "au") stay QDBusArgument and are sent back unchanged.
using NmSettings = QMap<QString, QVariantMap>;
using PathList = QList<QDBusObjectPath>;

// A thin proxy over NetworkManager's D-Bus API; the method names are NetworkManager's own.
// Every call is asynchronous: `done` runs on the window thread with the error set when the call
// failed. A reply whose signature is not the documented one is such a failure (logged once per
// call), so no reader ever walks data of a shape it does not expect.
class NmProxy final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCallTimeoutMs = 10000;
    template <typename T> using Done = std::function<void(const QDBusError& error, T value)>;
    using Finished = std::function<void(const QDBusError& error)>;

    explicit NmProxy(QObject* parent = nullptr);
    void setBus(const QDBusConnection& bus) { m_bus = bus; }
    QDBusConnection& bus() { return m_bus; }

    // org.freedesktop.DBus
    void NameHasOwner(Done<bool> done);
    // org.freedesktop.NetworkManager.Settings
    void ListConnections(Done<PathList> done);
    void AddConnection(const NmSettings& settings, Finished done);
    // org.freedesktop.NetworkManager.Settings.Connection
    void GetSettings(const QString& connection, Done<NmSettings> done);
    void GetSecrets(const QString& connection, const QString& settingName, Done<NmSettings> done);
    void Update(const QString& connection, const NmSettings& settings, Finished done);
    void Delete(const QString& connection, Finished done);
    // org.freedesktop.NetworkManager: both answer the active connection's path.
    void ActivateConnection(const QString& connection, Done<QString> done);
    void AddAndActivateConnection2(const NmSettings& settings, const QVariantMap& options,
                                   Done<QString> done);
    void DeactivateConnection(const QString& active, Finished done);
    // org.freedesktop.DBus.Properties.GetAll of one of NetworkManager's interfaces.
    void GetAll(const QString& path, const QString& interface, Done<QVariantMap> done);

    // Typed reads of a property value; false when the value has another type.
    static bool readPaths(const QVariant& value, PathList& out);
    static bool readString(const QVariant& value, QString& out);
    static bool readUInt(const QVariant& value, uint& out);

private:
    using Handler = std::function<void(const QDBusError& error, const QDBusMessage& reply)>;
    void call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, const char* signature, Handler handler,
              const QString& service = {});

    QDBusConnection m_bus;
};

} // namespace tavlor::platform::nm
