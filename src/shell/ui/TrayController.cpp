#include "shell/ui/TrayController.h"
#include "text/WidgetNames.h"

#include "shell/TrayHint.h"
#include "shell/ui/TrayIcons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtCore/qglobal.h>
#if QT_CONFIG(dbus)
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#endif
#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace tavlor {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
} // namespace

TrayController::TrayController(QWidget* window, const QIcon& icon, std::function<bool()> trayAvailable,
                               QObject* parent)
    : QObject(parent), m_window(window), m_trayAvailable(std::move(trayAvailable)),
      m_icon(new QSystemTrayIcon(icon, this)), m_popup(new QMenu(window)), m_normalIcon(icon)
{
    m_injected = static_cast<bool>(m_trayAvailable);
    m_popup->setObjectName(QLatin1String(names::popup));
    m_historyItem = m_popup->addAction(QStringLiteral("Verlauf und Volumenwarner\u2026"));
    m_historyItem->setObjectName(QStringLiteral("Verlauf1"));
    connect(m_historyItem, &QAction::triggered, this, &TrayController::historyRequested);
    m_showItem = m_popup->addAction(QStringLiteral("Tavlor zeigen"));
    m_showItem->setObjectName(QLatin1String(names::Beenden1));
    m_quitItem = m_popup->addAction(QStringLiteral("Tavlor beenden"));
    m_quitItem->setObjectName(QStringLiteral("Tavlorbeenden1"));
    connect(m_showItem, &QAction::triggered, this, &TrayController::showRequested);
    connect(m_quitItem, &QAction::triggered, this, &TrayController::quitRequested);

    m_icon->setObjectName(QLatin1String(names::TrayIcon));
    m_icon->setContextMenu(m_popup);
    m_icon->installEventFilter(this);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayController::onActivated);
    m_icon->show();
    // Asked after show(): on the D-Bus path Qt has registered our item by then.
    if (!m_injected) {
        watchStatusNotifierHost();
    }
}

TrayController::~TrayController()
{
    m_icon->hide();
}

bool TrayController::available() const
{
    return hostPresent();
}

bool TrayController::hostPresent() const
{
    if (m_injected) {
        return m_trayAvailable();
    }
    // On the D-Bus path Qt's own question makes blocking bus calls and takes a watcher for a
    // host; whether a host is registered is known from the watcher's signals. On the XEmbed
    // path it is one look at the X selection owner.
    if (m_statusNotifierMode) {
        return m_statusNotifierHost;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayController::checkHost()
{
    const bool present = hostPresent();
    if (present) {
        m_hostSeen = true;
    } else if (m_hostSeen) {
        m_hostSeen = false;
        emit hostLost();
    }
}

void TrayController::watchStatusNotifierHost()
{
#if QT_CONFIG(dbus)
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return;
    }
    // A watcher alone is no tray: a KDE program may run one on a desktop that shows nothing
    // (GNOME without its AppIndicator extension). A tray exists once a host has registered
    // with the watcher, which is also what Qt asks before it chooses the D-Bus path.
    auto* watcher = new QDBusServiceWatcher(
        kWatcherService, bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        m_statusNotifierHost = false;
        checkHost();
    });
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        // A new watcher knows nothing of our item: register it again.
        if (m_statusNotifierMode) {
            m_icon->hide();
            m_icon->show();
        }
        askHostRegistered();
    });
    bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(onStatusNotifierHostRegistered()));
    bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                QStringLiteral("StatusNotifierHostUnregistered"), this,
                SLOT(onStatusNotifierHostUnregistered()));

    // Which path Qt took shows on the bus: on the D-Bus path it owns an item name with our
    // process number.
    auto* names = new QDBusPendingCallWatcher(bus.interface()->asyncCall(QStringLiteral("ListNames")), this);
    connect(names, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        const QString ours =
            QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
        const QStringList owned = reply.isValid() ? reply.value() : QStringList();
        m_statusNotifierMode = std::any_of(owned.begin(), owned.end(),
                                           [&ours](const QString& name) { return name.startsWith(ours); });
        call->deleteLater();
    });
    askHostRegistered();
#endif // without D-Bus (Windows) the shell's own notification area is the only tray
}

void TrayController::askHostRegistered()
{
#if QT_CONFIG(dbus)
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        m_statusNotifierHost = reply.isValid() && reply.value().variant().toBool();
        call->deleteLater();
        checkHost();
    });
#endif
}

void TrayController::onStatusNotifierHostRegistered()
{
    m_statusNotifierHost = true;
    checkHost();
}

void TrayController::onStatusNotifierHostUnregistered()
{
    // Another host may still be there: ask rather than assume.
    askHostRegistered();
}

void TrayController::HideToTray()
{
    if (!available()) {
        return;
    }
    m_window->hide();
}

void TrayController::ShowFromTray()
{
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
}

void TrayController::setHint(const std::string& hint)
{
    m_hint = QString::fromStdString(hint);
    const QString tip = toolTip();
    if (m_icon->toolTip() != tip) {
        m_icon->setToolTip(tip);
    }
}

QString TrayController::toolTip() const
{
    QString tip = QString::fromStdString(TrayTooltipText(m_hint.toStdString()));
    for (const QString& line : m_limitLines) {
        tip += QStringLiteral("\r\n") + line;
    }
    return tip;
}

void TrayController::setLimitLines(const QStringList& lines)
{
    if (lines != m_limitLines) {
        m_limitLines = lines;
        setHint(m_hint.toStdString());
    }
}

void TrayController::setWarnLevel(int level)
{
    if (level != m_warnLevel) {
        m_warnLevel = level;
        m_icon->setIcon(WarnLevelIcon(m_normalIcon, level));
    }
}

bool TrayController::eventFilter(QObject* watched, QEvent* event)
{
    // The xcb tray forwards its tooltip request to the icon before showing toolTip(): composing
    // here puts current figures into the tooltip about to appear.
    if (watched == m_icon && event->type() == QEvent::ToolTip) {
        emit mouseMoved();
    }
    return QObject::eventFilter(watched, event);
}

bool TrayController::deliversDoubleClicks() const
{
    // The xcb tray embeds a widget of its own; the D-Bus tray has none and no double-clicks.
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget* w) { return w->inherits("QSystemTrayIconSys"); });
}

void TrayController::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick ||
        (reason == QSystemTrayIcon::Trigger && !deliversDoubleClicks())) {
        emit doubleClicked();
    }
}

} // namespace tavlor
