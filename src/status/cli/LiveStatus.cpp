#include "status/cli/LiveStatus.h"

#include "status/bus/StatusBus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>

namespace tavlor {

namespace {

LiveStatus ask(QDBusConnection& bus, int timeoutMs)
{
    // Asked first: Qt 6.4 answers a call to a name nobody owns with "Trying to construct an
    // instance of an invalid type" on stderr, which cron would mail every time.
    QDBusMessage owned = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    owned << kStatusBusName;
    const QDBusMessage ownedReply = bus.call(owned, QDBus::Block, timeoutMs);
    if (ownedReply.type() == QDBusMessage::ReplyMessage && !ownedReply.arguments().isEmpty() &&
        !ownedReply.arguments().constFirst().toBool()) {
        return {};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kStatusBusName, kStatusObjectPath,
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << QString::fromLatin1(kStatusInterface);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QDBusError error(reply);
        if (error.type() == QDBusError::ServiceUnknown) {
            return {};
        }
        return {LiveStatus::Outcome::Failed,
                {},
                "Tavlor antwortet nicht auf dem Sitzungsbus (" + error.name().toStdString() + ": " +
                    error.message().toStdString() + ")."};
    }
    if (reply.arguments().isEmpty()) {
        return {LiveStatus::Outcome::Failed, {}, "Tavlor hat eine leere Antwort gegeben."};
    }
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
    return {LiveStatus::Outcome::Answered, StatusFromProperties(properties), {}};
}

} // namespace

LiveStatus AskRunningProgram(int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return {};
    }
    return ask(bus, timeoutMs);
}

} // namespace tavlor
