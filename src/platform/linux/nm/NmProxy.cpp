#include "platform/linux/nm/NmProxy.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDebug>

namespace tavlor::platform::nm {

namespace {
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kManagerIface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsIface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnectionIface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kPropertiesIface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");

void registerTypes()
{
    static const bool done = [] {
        // QTBUG-108822: signals carrying object paths are dropped until the type is known.
        qRegisterMetaType<QDBusObjectPath>();
        qDBusRegisterMetaType<NmSettings>();
        qDBusRegisterMetaType<PathList>();
        return true;
    }();
    (void)done;
}

QDBusArgument argumentOf(const QVariant& value)
{
    return value.value<QDBusArgument>();
}

NmSettings settingsOf(const QDBusMessage& reply)
{
    return qdbus_cast<NmSettings>(reply.arguments().constFirst());
}

QVariant unwrap(const QVariant& value)
{
    return value.userType() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}
} // namespace

NmProxy::NmProxy(QObject* parent) : QObject(parent), m_bus(QString())
{
    registerTypes();
}

void NmProxy::call(const QString& path, const QString& interface, const QString& method,
                   const QVariantList& arguments, const char* signature, Handler handler,
                   const QString& service)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(service.isEmpty() ? kService : service, path, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    const QString expected = QString::fromLatin1(signature);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this,
        [watcher, expected, method, handler = std::move(handler)] {
            watcher->deleteLater();
            const QDBusMessage reply = watcher->reply();
            if (reply.type() != QDBusMessage::ReplyMessage) {
                handler(watcher->error(), reply);
                return;
            }
            if (reply.signature() != expected) {
                qWarning().noquote() << "tavlor: NetworkManager answered" << method << "with signature"
                                     << reply.signature() << "instead of" << expected << "- call failed";
                handler(
                    QDBusError(QDBusError::InvalidSignature,
                               QStringLiteral("NetworkManager hat unerwartet geantwortet (%1).").arg(method)),
                    reply);
                return;
            }
            handler(QDBusError(), reply);
        });
}

void NmProxy::NameHasOwner(Done<bool> done)
{
    call(
        QStringLiteral("/org/freedesktop/DBus"), kBusService, QStringLiteral("NameHasOwner"), {kService}, "b",
        [done](const QDBusError& error, const QDBusMessage& reply) {
            done(error, !error.isValid() && reply.arguments().constFirst().toBool());
        },
        kBusService);
}

void NmProxy::ListConnections(Done<PathList> done)
{
    call(kSettingsPath, kSettingsIface, QStringLiteral("ListConnections"), {}, "ao",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             PathList paths;
             if (!error.isValid()) {
                 readPaths(reply.arguments().constFirst(), paths);
             }
             done(error, paths);
         });
}

void NmProxy::AddConnection(const NmSettings& settings, Finished done)
{
    call(kSettingsPath, kSettingsIface, QStringLiteral("AddConnection"), {QVariant::fromValue(settings)}, "o",
         [done](const QDBusError& error, const QDBusMessage&) { done(error); });
}

void NmProxy::GetSettings(const QString& connection, Done<NmSettings> done)
{
    call(connection, kConnectionIface, QStringLiteral("GetSettings"), {}, "a{sa{sv}}",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             done(error, error.isValid() ? NmSettings() : settingsOf(reply));
         });
}

void NmProxy::GetSecrets(const QString& connection, const QString& settingName, Done<NmSettings> done)
{
    call(connection, kConnectionIface, QStringLiteral("GetSecrets"), {settingName}, "a{sa{sv}}",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             done(error, error.isValid() ? NmSettings() : settingsOf(reply));
         });
}

void NmProxy::Update(const QString& connection, const NmSettings& settings, Finished done)
{
    call(connection, kConnectionIface, QStringLiteral("Update"), {QVariant::fromValue(settings)}, "",
         [done](const QDBusError& error, const QDBusMessage&) { done(error); });
}

void NmProxy::Delete(const QString& connection, Finished done)
{
    call(connection, kConnectionIface, QStringLiteral("Delete"), {}, "",
         [done](const QDBusError& error, const QDBusMessage&) { done(error); });
}

void NmProxy::ActivateConnection(const QString& connection, Done<QString> done)
{
    const QVariant any = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    call(kManagerPath, kManagerIface, QStringLiteral("ActivateConnection"),
         {QVariant::fromValue(QDBusObjectPath(connection)), any, any}, "o",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             done(error, error.isValid() ? QString()
                                         : reply.arguments().constFirst().value<QDBusObjectPath>().path());
         });
}

void NmProxy::AddAndActivateConnection2(const NmSettings& settings, const QVariantMap& options,
                                        Done<QString> done)
{
    const QVariant any = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    call(kManagerPath, kManagerIface, QStringLiteral("AddAndActivateConnection2"),
         {QVariant::fromValue(settings), any, any, options}, "ooa{sv}",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             done(error,
                  error.isValid() ? QString() : reply.arguments().at(1).value<QDBusObjectPath>().path());
         });
}

void NmProxy::DeactivateConnection(const QString& active, Finished done)
{
    call(kManagerPath, kManagerIface, QStringLiteral("DeactivateConnection"),
         {QVariant::fromValue(QDBusObjectPath(active))}, "",
         [done](const QDBusError& error, const QDBusMessage&) { done(error); });
}

void NmProxy::GetAll(const QString& path, const QString& interface, Done<QVariantMap> done)
{
    call(path, kPropertiesIface, QStringLiteral("GetAll"), {interface}, "a{sv}",
         [done](const QDBusError& error, const QDBusMessage& reply) {
             QVariantMap values;
             if (!error.isValid()) {
                 values = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
             }
             done(error, values);
         });
}

bool NmProxy::readPaths(const QVariant& value, PathList& out)
{
    const QVariant v = unwrap(value);
    if (v.userType() == qMetaTypeId<PathList>()) {
        out = v.value<PathList>();
        return true;
    }
    if (v.userType() != qMetaTypeId<QDBusArgument>()) {
        return false;
    }
    const QDBusArgument argument = argumentOf(v);
    // Checked first: walking an a{sv} as an array of paths never ends.
    if (argument.currentSignature() != QLatin1String("ao")) {
        return false;
    }
    out = qdbus_cast<PathList>(argument);
    return true;
}

bool NmProxy::readString(const QVariant& value, QString& out)
{
    const QVariant v = unwrap(value);
    if (v.userType() != QMetaType::QString) {
        return false;
    }
    out = v.toString();
    return true;
}

bool NmProxy::readUInt(const QVariant& value, uint& out)
{
    const QVariant v = unwrap(value);
    if (v.userType() != QMetaType::UInt) {
        return false;
    }
    out = v.toUInt();
    return true;
}

} // namespace tavlor::platform::nm
