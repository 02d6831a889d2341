#include "shell/ui/TrayController.h"

#include "shell/TrayHint.h"
#include "shell/ui/TrayIcons.h"

#include <QApplication>
#include <QtCore/qglobal.h>
#if QT_CONFIG(dbus)
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#endif
#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace tavlor {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

TrayController::TrayController(QWidget* window, const QIcon& icon, std::function<bool()> trayAvailable,
                               QObject* parent)
    : QObject(parent), m_window(window), m_trayAvailable(std::move(trayAvailable)),
      m_icon(new QSystemTrayIcon(icon, this)), m_popup(new QMenu(window)), m_normalIcon(icon)
{
    m_injected = static_cast<bool>(m_trayAvailable);
    if (!m_injected) {
        watchStatusNotifierHost();
    }
    m_popup->setObjectName(QStringLiteral("popup"));
    m_historyItem = m_popup->addAction(QStringLiteral("Verlauf und Volumenwarner\u2026"));
    m_historyItem->setObjectName(QStringLiteral("Verlauf1"));
    connect(m_historyItem, &QAction::triggered, this, &TrayController::historyRequested);
    m_showItem = m_popup->addAction(QStringLiteral("Tavlor zeigen"));
    m_showItem->setObjectName(QStringLiteral("Beenden1"));
    m_quitItem = m_popup->addAction(QStringLiteral("Tavlor beenden"));
    m_quitItem->setObjectName(QStringLiteral("Tavlorbeenden1"));
    connect(m_showItem, &QAction::triggered, this, &TrayController::showRequested);
    connect(m_quitItem, &QAction::triggered, this, &TrayController::quitRequested);

    m_icon->setObjectName(QStringLiteral("TrayIcon"));
    m_icon->setContextMenu(m_popup);
    m_icon->installEventFilter(this);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayController::onActivated);
    m_icon->show();
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
    // On the D-Bus path Qt's own question makes blocking bus calls; the watcher's presence is
    // known from its signals. On the XEmbed path it is one look at the X selection owner.
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
    auto* watcher = new QDBusServiceWatcher(
        kWatcherService, bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        m_statusNotifierHost = false;
        checkHost();
    });
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_statusNotifierHost = true;
        // A new host knows nothing of our item: register it again.
        if (m_statusNotifierMode) {
            m_icon->hide();
            m_icon->show();
        }
    });
    auto* pending = new QDBusPendingCallWatcher(
        bus.interface()->asyncCall(QStringLiteral("NameHasOwner"), kWatcherService), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<bool> reply = *call;
        // Qt picks the D-Bus tray when the watcher is there at start.
        m_statusNotifierMode = reply.isValid() && reply.value();
        m_statusNotifierHost = m_statusNotifierMode;
        call->deleteLater();
    });
#endif // without D-Bus (Windows) the shell's own notification area is the only tray
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
