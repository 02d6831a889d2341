// The status snapshot: filled from what the tick leaves behind, published once a second on the
// session bus for tavlor-status and panels.
#include "shell/ui/TavlorApp.h"

#include "history/UsageWatch.h"
#include "status/StatusFeed.h"

#include <QtCore/qglobal.h>
#if QT_CONFIG(dbus)
#include "shell/dbus/StatusService.h"
#endif

namespace tavlor {

StatusSnapshot TavlorApp::statusSnapshot()
{
    std::string connection;
    if (m_state.onLAN) {
        connection = "Internet Gateway";
    } else if (const auto active = m_services.dialup->activeConnections(); !active.empty()) {
        connection = active.front().entry;
    } else if (m_tick->reading().connection.kind == CountedKind::Metered) {
        connection = m_tick->reading().connection.name;
    }
    const CalendarDay today = CalendarDay::of(m_services.clock->nowLocal());
    const UsageWatch* watch = m_history->watch();
    const StatusPeriod period = watch ? PeriodStatus(watch->warner().settings(), watch->history(), today)
                                      : PeriodStatus(WarnerSettings{}, UsageHistory{}, today);
    const TickReading& reading = m_tick->reading();
    return LiveStatus(
        {m_state, reading.online, m_tick->countedLinkText(), connection, reading.downSpeed, reading.upSpeed},
        period);
}

void TavlorApp::startStatusService()
{
#if QT_CONFIG(dbus)
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_statusService = new StatusService(bus, this);
    }
#endif
}

void TavlorApp::publish(const StatusSnapshot& status)
{
#if QT_CONFIG(dbus)
    if (m_statusService != nullptr) {
        m_statusService->publish(status);
    }
#else
    (void)status;
#endif
}

} // namespace tavlor
