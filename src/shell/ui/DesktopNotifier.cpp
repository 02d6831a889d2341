#include "shell/ui/DesktopNotifier.h"

#include <QtCore/qglobal.h>
#if QT_CONFIG(dbus)
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#endif

namespace tavlor {

DesktopNotifier::DesktopNotifier(Show fallback, QObject* parent)
    : QObject(parent), m_fallback(std::move(fallback))
{
}

void DesktopNotifier::notify(const QString& title, const QString& text)
{
#if !QT_CONFIG(dbus)
    // Windows: the tray icon's message is the system's own notification there.
    m_fallback(title, text);
    emit delivered(false);
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_fallback(title, text);
        emit delivered(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Tavlor") << 0u << QStringLiteral("dialog-warning") << title << text
         << QStringList() << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}} << -1;
    // Asking whether the service exists would wait on the bus; an error answer says the same.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, title, text](QDBusPendingCallWatcher* w) {
                const bool failed = w->isError();
                if (failed) {
                    m_fallback(title, text);
                }
                emit delivered(!failed);
                w->deleteLater();
            });
#endif
}

} // namespace tavlor
